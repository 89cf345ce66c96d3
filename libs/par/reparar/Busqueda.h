// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The search for slices that are not intact at their place. Where the check found a listed
// file damaged, its damaged stretches (and what lies past its listed length) are scanned at
// every offset with a rolling CRC-32 over a window of the slice size, each hit confirmed by
// the slice's MD5, so that data moved by an insertion or a deletion are found again; a
// slice shorter than the slice size (a file's last) is looked for at the end of the file.
// Other files named by the caller are scanned whole in the same way; nothing else is read.
#include "Avisos.h"
#include "Comprobacion.h"
#include "Fallo.h"
#include "JuegoLeido.h"
#include "Limites.h"

#include <span>
#include <string>
#include <vector>

#include "files/Carpeta.h"
#include "files/Ficheros.h"

namespace quimbel::par {

// A file the search read besides the listed ones, as it was then.
struct OtroFichero {
    std::string ruta; // as the caller named it (from the process's current folder)
    bool leido = false;
    quimbel::IdFichero id;
    uint64_t tamano = 0;
};

// Where a slice was found: in a listed file (origen < the set's file count) or in other file
// origen - that count; at posicion. SinOrigen: not found.
struct Hallazgo {
    static constexpr size_t SinOrigen = SIZE_MAX;
    size_t origen = SinOrigen;
    uint64_t posicion = 0;
    bool Hallado() const { return origen != SinOrigen; }
};

// Looks for every slice of the set not intact at its place (estados from the check), by set
// index, in the listed files' damaged stretches and in `otros` (their state then filled in; one
// that is a listed or set file, by identity in `excluidos` or as checked, is passed over).
// hallazgos holds one entry per input slice. Nothing, or the line of a failure.
Fallo BuscarRebanadas(const JuegoLeido& juego, std::span<const EstadoFichero> estados,
                      const quimbel::Carpeta& carpeta, std::vector<OtroFichero>& otros,
                      std::span<const quimbel::IdFichero> excluidos, unsigned hilos, Avisos& avisos,
                      std::vector<Hallazgo>& hallazgos);

} // namespace quimbel::par
