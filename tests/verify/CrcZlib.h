// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The reference CRC-32 of the tests: zlib's crc32 over the whole data in one call.
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace quimbel::prueba {

inline uint32_t CrcZlib(const std::string& datos) {
    return static_cast<uint32_t>(
        ::crc32(0, reinterpret_cast<const Bytef*>(datos.data()), static_cast<uInt>(datos.size())));
}

// The same as an SFV file writes it ("%8.8x").
inline std::string Crc8(const std::string& datos) {
    char texto[9];
    std::snprintf(texto, sizeof texto, "%8.8x", CrcZlib(datos));
    return texto;
}

} // namespace quimbel::prueba
