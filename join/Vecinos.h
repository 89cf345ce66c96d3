// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The files beside a chosen piece that may belong to its set.
#include <string>
#include <vector>

namespace quimbel {

// What the folder of a piece holds under the piece's stem: the suffixes (what follows
// stem + ".") of the regular files, links followed, named stem + "." + at least one character.
struct Vecinos {
    bool listados = false; // false when the folder could not be read
    std::vector<std::string> sufijos;
};

// Lists, once, the folder of `trozo` (a path) for the files that share its stem.
Vecinos ListarVecinos(const std::string& trozo);

} // namespace quimbel
