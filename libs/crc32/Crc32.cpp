// SPDX-License-Identifier: GPL-3.0-or-later
// libcrc32.so: the CRC-32 provider the program loads at start-up. One export, crc32,
// with zlib's running-value contract; the work is done by ISA-L, which folds bytes in
// with carry-less multiplication instead of a table per byte.
#include <cstdint>
#include <type_traits>

#include <isa-l/crc.h>

#include "Crc32Contrato.h"

extern "C" __attribute__((visibility("default"))) uint32_t crc32(uint32_t valor, const unsigned char* buffer,
                                                                 uint32_t longitud) {
    // (0, null, 0) is the start; a length of 0 leaves any value as it is.
    if (longitud == 0 || buffer == nullptr) return valor;
    return crc32_gzip_refl(valor, buffer, longitud);
}

// The export has exactly the type the program calls it through.
static_assert(std::is_convertible_v<decltype(&crc32), Crc32Funcion>);
