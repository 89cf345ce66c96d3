#pragma once
// The outputs of a set already on disk, and whether one of them is a file a run reads: the
// check both the program's PAR step and the parity library make before a job, so that no
// output replaces or moves the source or a piece.
#include <string>
#include <vector>

#include "files/Salidas.h"

namespace quimbel::par {

// The outputs of the set of `indice` (a path) found in its folder ("" or no folder: the
// current one), as paths with the index's folder part, sorted: the index, its volumes and,
// with viejas, either with ".old" behind. Names that are folders (links followed) are left out.
std::vector<std::string> SalidasPresentes(const std::string& indice, bool viejas);

// Whether the file at ruta, links followed, is one of protegidos (compared while open).
bool EsProtegido(const std::string& ruta, const Protegidos& protegidos);

// Whether a folder is at ruta (links followed).
bool EsCarpeta(const std::string& ruta);

// The line of a job refused because an output would be the file at ruta, a source or piece.
std::string LineaSobrescribiria(const std::string& ruta);

} // namespace quimbel::par
