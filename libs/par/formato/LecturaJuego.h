// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The files of a set found in its folder and read into one gathering (JuegoLeido.h). First the
// file named and those named like it (its index and volumes, ".par2" in any case); then, once
// their packets give the set, every other file of the folder whose name ends in ".par2" in any
// case (recovery data in "x.todo.par2", volumes named otherwise), of which only the packets
// of that set are kept. Each file is read once, on several threads, and only while it is
// still the file measured when the reading began.
#include "Avisos.h"
#include "Fallo.h"
#include "JuegoLeido.h"
#include "Limites.h"

#include <string>
#include <vector>

#include "files/Carpeta.h"
#include "files/Ficheros.h"

namespace quimbel::par {

// The set's files, in the order of their origin in the gathering.
struct FicherosPar {
    std::vector<std::string> nombres; // in the set's folder
    std::vector<std::string> rutas;   // as the lines show them
    std::vector<quimbel::IdFichero>
        ids; // as measured; zeros for a file not opened or holding nothing of the set
};

// Reads the set's files in carpeta from the file the path `indice` names (its folder part is
// only shown), with progress through avisos; a stop the caller asks for ends the reading.
// Nothing, or the failure: none of the files named like the set could be opened, memory ran
// short, or the job was stopped.
Fallo LeerFicherosPar(const quimbel::Carpeta& carpeta, const std::string& indice, const Limites& limites,
                      Avisos& avisos, Recogida& recogida, FicherosPar& ficheros);

// Reads the file the path `indice` names and no other: enough for a description of the set
// when that file is whole (an index holds every description and checksum packet). As
// LeerFicherosPar otherwise.
Fallo LeerIndicePar(const quimbel::Carpeta& carpeta, const std::string& indice, const Limites& limites,
                    Avisos& avisos, Recogida& recogida, FicherosPar& ficheros);

} // namespace quimbel::par
