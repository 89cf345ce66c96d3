// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The names of an open folder's entries, read once and filtered as they are read, so that a
// folder of many other files costs no memory for them.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Carpeta.h"

namespace quimbel {

// The names (no "." or "..") of the entries of carpeta that `conservar` accepts, in the
// order the system lists them; none when the folder cannot be read.
std::optional<std::vector<std::string>> ListarCarpeta(const Carpeta& carpeta,
                                                      const std::function<bool(std::string_view)>& conservar);

} // namespace quimbel
