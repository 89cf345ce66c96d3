// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A set described from its own files, without reading what it lists: each file's name, length
// and slice checksums, for a caller that checks the files as it reads them itself.
#include "JuegoLeido.h"

#include <functional>
#include <string>

#include "files/Carpeta.h"

namespace quimbel::par {

// Reads the set in carpeta from the file named `indice` (no folder) and hands every described
// file, in set order, with the set's slice size, to `fichero`. 0, 2 when there is no usable
// set, 1 on any other failure; no line is sent.
int DescribirJuego(const quimbel::Carpeta& carpeta, const std::string& indice,
                   const std::function<void(const FicheroJuego&, uint64_t tamanoRebanada)>& fichero);

} // namespace quimbel::par
