// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Outputs: the files a run creates (pieces, the joined file, the SFV file, PAR outputs, the
// settings), each relative to a folder opened once for the run (files/Carpeta.h), never
// through a link and never onto a FIFO, socket, device or folder; a run never writes a file it
// reads. They are written under temporary names and published (files/Temporales.h).
#include <string>
#include <vector>

#include "Carpeta.h"
#include "Ficheros.h"

namespace quimbel {

// The files a run reads and so must never write: its source, the pieces of a set. Each is
// compared by device and inode with an output while both are open, so that no identity is
// taken from a file that has left the cache (vfat and exFAT renumber such files).
class Protegidos {
  public:
    // A file the run holds open for as long as this set is used.
    void Anadir(const Fichero& abierto);
    // A file named by a path, links followed, opened for the comparison only.
    void Anadir(std::string ruta);
    // The identity of a file that stays open elsewhere (a join still writing it).
    void Anadir(IdFichero id);
    // Whether the open file is one of them.
    bool Contiene(const Fichero& abierto) const;

  private:
    std::vector<const Fichero*> abiertos_;
    std::vector<std::string> rutas_;
    std::vector<IdFichero> ids_;
};

// What stands at the name (a single component) in carpeta, links not followed: Hecho for a
// regular file (its identity in *id when given), the system's EISDIR for a folder, NoEsFichero
// for a link, FIFO, socket or device, else the system's error (ENOENT: nothing there).
Desenlace MirarNombre(const Carpeta& carpeta, const std::string& nombre, IdFichero* id = nullptr);

// Creates a new file at the name, only when it is free (EEXIST when anything stands there, a
// link included), open for reading and writing without blocking. Hecho or the system's error.
Desenlace CrearNuevo(Fichero& fichero, const Carpeta& carpeta, const std::string& nombre);

} // namespace quimbel
