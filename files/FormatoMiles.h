// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Byte counts as the window shows them: whole numbers with the locale's thousands
// separator, which the face hands in (QLocale::system().groupSeparator()).
#include <cstdint>
#include <string>
#include <string_view>

namespace quimbel {

// "%0.0n": the exact value with separador between groups of three digits (25000001 with
// "." gives "25.000.001"). separador may be empty or any UTF-8 text.
std::string FormatoMiles(int64_t valor, std::string_view separador);

// "%10.0n": the same, padded on the left with blanks to 10 characters (UTF-8 characters,
// not bytes, so a multi-byte separator keeps the column); a longer number is not cut.
std::string FormatoMiles10(int64_t valor, std::string_view separador);

} // namespace quimbel
