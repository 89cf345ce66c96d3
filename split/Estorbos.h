// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What stands in the way of a split: files at the names the run writes, and pieces numbered
// past the new set's last one, which a join would take for part of it.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "files/Carpeta.h"
#include "files/Ficheros.h"
#include "files/Salidas.h"
#include "files/Trozos.h"

namespace quimbel {

struct Estorbos {
    // The regular files at names the run writes, by name (no folder), with their identity: the
    // files the user may agree to replace. The run's protected files are never among them.
    std::map<std::string, IdFichero> ocupados;
    // The first of them in the order the run writes: the one the question names.
    std::string primero;
    // The files of the set's stem numbered outside the new set (0 where the set starts at 1,
    // and past its last number) and the ".fin" or .0 head of another scheme's set, by name.
    std::vector<std::string> sobrantes;

    bool Vacios() const { return ocupados.empty() && sobrantes.empty(); }
};

// Looks in carpeta for what stands in the way of a set of n pieces of the file named `nombre`
// (no folder) under the scheme, of which the run writes the files `escritos` (names, in the
// order written).
Estorbos BuscarEstorbos(const Carpeta& carpeta, const std::string& nombre, TipoCorte tipo, int64_t n,
                        const std::vector<std::string>& escritos, const Protegidos& protegidos);

// A stray piece moved aside: its name and the one it took.
struct Apartado {
    std::string original;
    std::string nuevo;
};

// Renames each stray piece aside to the first free name "<name>.1", "<name>.2" ...; never
// deletes. Each one moved is added to apartados. The name of the first one that could not be
// moved; none when all were.
std::optional<std::string> ApartarSobrantes(const Carpeta& carpeta, const std::vector<std::string>& sobrantes,
                                            std::vector<Apartado>& apartados);

// Gives the stray pieces moved aside their names back (a run that was interrupted), where
// those names are still free.
void DevolverApartados(const Carpeta& carpeta, const std::vector<Apartado>& apartados);

} // namespace quimbel
