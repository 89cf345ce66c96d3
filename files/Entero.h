// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's one reading of an integer from text (piece size, PAR count, the
// CRC digits of an SFV line behind a "$").
#include <cstdint>
#include <optional>
#include <string_view>

namespace quimbel {

// Leading blanks are skipped; then either an optional "+" or "-" and decimal digits
// within the 32-bit signed range, or, without a sign, a "$", "x", "X", "0x" or "0X"
// prefix and hexadecimal digits in either case (any leading zeros, value at most
// FFFFFFFF, the 32 bits taken as a signed value). Nothing may follow; anything else
// gives no value.
std::optional<int32_t> LeerEntero(std::string_view texto);

// A decimal integer of 64 bits: optional sign and digits, nothing else (header size texts).
std::optional<int64_t> LeerDecimal64(std::string_view texto);

} // namespace quimbel
