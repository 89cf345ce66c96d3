// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A choice of pieces written as text, such as "2,5,7-9": the pieces a split writes,
// numbered in the whole set.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace quimbel {

// Pieces desde to hasta, both included (1 <= desde <= hasta).
struct TramoTrozos {
    int64_t desde = 1;
    int64_t hasta = 1;
};

struct ListaTrozos {
    std::vector<TramoTrozos> tramos;
    // The highest piece named.
    int64_t Mayor() const;
    // The check marks for a set of n pieces: entry k - 1 set when the list names k.
    // Pieces above n are left out.
    std::vector<bool> Marcas(int64_t n) const;
};

// Reads items separated by commas, each a piece number or a range "a-b" with a <= b; numbers
// are decimal digits, 1 or more. No blanks, no empty items. None when the text is not such a list.
std::optional<ListaTrozos> LeerListaTrozos(std::string_view texto);

} // namespace quimbel
