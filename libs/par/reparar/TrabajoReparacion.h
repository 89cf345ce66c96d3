// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A whole check or repair job: the set's files read packet by packet, the listed files
// checked slice by slice, and, for a repair, the damaged and missing files rebuilt and put
// in place.
#include "Avisos.h"
#include "Disco.h"
#include "Limites.h"

#include <span>
#include <string>

namespace quimbel::par {

// Runs the job the vector ("par.exe", "verify" or "repair", [-d FOLDER], "--", INDEX)
// describes; its lines go through avisos: progress lines, then one line per listed file in
// name order ("  Correcto: ", "    Dañado: " path " (" n " bloques)", " No existe: "), the line
// "Bloques de recuperación: " m " disponibles, " n " necesarios", for a repair "  Reparado: "
// path per rebuilt file, and lines starting with "¡ " for failures. Nothing is written
// unless every missing slice can be solved. A file that cannot be read ("  Ilegible: " path
// " (" reason ")") is never rebuilt. A repair: 0 when every file is whole after it; 1 when one
// is not, or a failure stopped the job; 2 for a wrong vector, an index that cannot be opened,
// or a set in which no file holds a valid main packet. A check: 0 whole, 1 a repair would make
// every file whole, 2 it would not, or the same failures.
// The set's files are read in the job's folder (see LlamadaPar.h), by name.
int EjecutarReparacion(std::span<const std::string> argumentos, const CarpetaDelTrabajo& trabajo,
                       Avisos& avisos, const Limites& limites);

} // namespace quimbel::par
