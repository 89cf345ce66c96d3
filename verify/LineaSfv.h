// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading one line of an SFV file, whatever program wrote it.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quimbel {

// The two parts of a line that names a file: the name as written and the CRC text.
struct LineaSfv {
    std::string nombre;
    std::string textoCrc;
};

// The entry a line carries. None for an empty line, a line whose first character is
// ";" (leading blanks are not skipped), a line without a blank before its last
// character and a line whose name holds a NUL byte. Otherwise the line is split at its last blank that is not
// its last character: the name is everything before it (blanks included, possibly empty), the CRC text
// everything after it.
std::optional<LineaSfv> LeerLineaSfv(std::string_view linea);

// The value of a CRC text: hexadecimal digits only, either case, any leading zeros, at
// most FFFFFFFF. None for anything else (a "0x" prefix, a blank, a sign...).
std::optional<uint32_t> LeerCrcSfv(std::string_view textoCrc);

} // namespace quimbel
