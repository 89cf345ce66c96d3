// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Piece sizes as people write them, the way `split -b` reads them: "4900000", "700MB", "4G";
// and, as before units, any whole number of the program's integer reading ("$FF", "-5").
#include <cstdint>
#include <optional>
#include <string_view>

namespace quimbel {

// Leading blanks, decimal digits, then at most one unit in either case: K, M, G, T (1024,
// 1024^2, 1024^3, 1024^4) or KB, MB, GB, TB (1000, 1000^2, 1000^3, 1000^4); nothing after it
// (no point, no blank). The byte count, from 0 to 2^63 - 1; a larger one is no size. Any
// other text is read by LeerEntero (files/Entero.h), so that a sign or a hexadecimal prefix
// gives its 32-bit value, as it always did; none when that refuses it too.
std::optional<int64_t> LeerTamano(std::string_view texto);

} // namespace quimbel
