// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The numbered pieces of a set, as the names in its folder show them.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quimbel {

// How a numbered set writes its numbers: at least `ancho` digits, zeros in front (1: plain
// numbers, as ".1" .. ".10"); and the numbers of the set that stand in its folder, ascending.
struct Numeracion {
    int ancho = 1;
    std::vector<int64_t> numeros;
};

// The number a suffix of digits only gives (at most 18 digits); none for anything else.
std::optional<int64_t> NumeroDeSufijo(std::string_view sufijo);

// Whether a suffix of digits can be written at that width: exactly `ancho` digits, or more and
// no zero in front (after .999 comes .1000).
bool EnNumeracion(std::string_view sufijo, int ancho);

// The numbering of the set that the suffix `elegido` (digits only) belongs to, among the suffixes
// of its folder. Every suffix belongs to one width: its own when it has a zero in front; else
// the widest width up to its length at which the folder holds a suffix with a zero in front
// (.100 and .1000 of .001 .. .1000); else plain. The set is the suffixes of the chosen one's.
Numeracion NumeracionDe(std::string_view elegido, const std::vector<std::string>& sufijos);

} // namespace quimbel
