#pragma once
// Sizes.txt: the items of the size box, one per line.
#include <string>
#include <vector>

namespace quimbel {

// Reads every line as one item, as it stands (empty lines give empty items).
// 0, or the error number when the file cannot be opened or read.
int LeerListaTamanos(const std::string& ruta, std::vector<std::string>& items);

// Writes the items, one per line ending in CR LF, replacing the file. 0 or an error number.
int EscribirListaTamanos(const std::string& ruta, const std::vector<std::string>& items);

} // namespace quimbel
