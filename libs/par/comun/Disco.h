// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The file-system operations a job needs beyond the program's access policy (files/), each
// relative to a folder the job holds open, and the one file handle they use, quimbel::Fichero:
// inputs never block and never read past their size at the open, outputs are never reached
// through a link or made onto a FIFO or device.
#include <cstdint>
#include <optional>
#include <string>

#include "files/Carpeta.h"
#include "files/Ficheros.h"

namespace quimbel::par {

// What a name in a folder is, links followed. Identity stays with files/ (Fichero::Id, Protegidos).
struct EstadoDisco {
    bool regular = false; // a regular file
    uint64_t tamano = 0;
};
// None when nothing exists there.
std::optional<EstadoDisco> EstadoEn(const quimbel::Carpeta& carpeta, const std::string& nombre);
// True when something (a link included, even a dangling one) is at the name.
bool HayAlgoEn(const quimbel::Carpeta& carpeta, const std::string& nombre);
// Removes a file of the job's at the name.
void BorrarEn(const quimbel::Carpeta& carpeta, const std::string& nombre);
// Removes the file at the name only while it is the file `id` (the job's own): a name taken
// over meanwhile is left alone.
void BorrarSiEs(const quimbel::Carpeta& carpeta, const std::string& nombre, const quimbel::IdFichero& id);

// The size of an open file; none when it cannot be read.
std::optional<uint64_t> TamanoDe(const quimbel::Fichero& fichero);

// The folder a job was handed: a descriptor of the versioned record's, or
// LLAMADA_PAR_CARPETA_ACTUAL, call_par's way (each path's folder part, from the current folder).
class CarpetaDelTrabajo {
  public:
    explicit CarpetaDelTrabajo(int descriptor);
    // Opens, once, the folder that holds the file a path of the vector names: a copy of the
    // handed folder (the path's folder part is only shown), or the path's folder part. Hecho
    // or the system's error.
    quimbel::Desenlace Abrir(const std::string& ruta, quimbel::Carpeta& carpeta) const;

  private:
    int descriptor_;
};

} // namespace quimbel::par
