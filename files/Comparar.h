// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one case-insensitive comparison of names, keys and extensions: only the letters A to Z
// fold, every other byte (UTF-8 sequences included) compares as it is, whatever the locale.
#include <string>
#include <string_view>

namespace quimbel {

// The byte with A to Z lowered; any other byte unchanged.
char MinusculaAscii(char c);

// The text with A to Z lowered: the form under which two texts compare without case.
std::string MinusculasAscii(std::string_view texto);

// Whether a and b are equal without regard to the case of A to Z.
bool IgualesSinMayusculas(std::string_view a, std::string_view b);

// Whether texto ends with sufijo without regard to the case of A to Z.
bool TerminaSinMayusculas(std::string_view texto, std::string_view sufijo);

} // namespace quimbel
