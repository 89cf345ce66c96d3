// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Outputs: every file a run creates or empties (pieces, the joined file, the SFV file, PAR
// outputs, the settings). An output is created relative to a folder opened once for the run
// (files/Carpeta.h), never through a link and never onto a FIFO, socket, device or folder;
// an existing file is checked first and emptied last; a run never writes a file it reads.
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

// Creates or empties the output `nombre` (a single component) in carpeta, open for reading
// and writing at position 0. A name taken by anything but a regular file is refused without
// opening it (the system's EISDIR for a folder, NoEsFichero for a link, FIFO, socket or
// device). An existing file is opened without following links or blocking, must still be the
// file that was checked, and is refused as Intocable when it is one of protegidos; one with
// other names (hard links) is not emptied but its name is given a new file, so that the write
// never reaches another name. Hecho, or why not (a bad name is EINVAL, a folder that is not
// open its error); nothing is changed on failure.
Desenlace CrearSalida(Fichero& fichero, const Carpeta& carpeta, const std::string& nombre,
                      const Protegidos& protegidos = {});

// Creates the output only when the name is free; the system's EEXIST when anything is there
// (a link included). Hecho or the system's error.
Desenlace CrearSalidaNueva(Fichero& fichero, const Carpeta& carpeta, const std::string& nombre);

// Opens for writing an output the run made itself, by the same rules; nothing is emptied.
// Hecho, NoEsFichero, or the system's error (ENOENT when it is gone).
Desenlace AbrirSalida(Fichero& fichero, const Carpeta& carpeta, const std::string& nombre);

// CrearSalida for a path the user chose: its folder part (links followed; "" is the current
// folder) is opened and the file-name part created in it. Its outcomes are CrearSalida's.
Desenlace CrearFichero(Fichero& fichero, const std::string& ruta, const Protegidos& protegidos = {});

} // namespace quimbel
