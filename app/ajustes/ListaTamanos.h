// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Sizes.txt: the items of the size box, one per line.
#include <string>
#include <vector>

#include "files/Resultado.h"

namespace quimbel {

// Reads every line as one item, as it stands (empty lines give empty items).
// Hecho, or why the file cannot be opened or read (the items are then left alone).
Desenlace LeerListaTamanos(const std::string& ruta, std::vector<std::string>& items);

// Writes the items, one per line ending in CR LF, replacing the file. Hecho, or
// why the file cannot be created or written.
Desenlace EscribirListaTamanos(const std::string& ruta, const std::vector<std::string>& items);

} // namespace quimbel
