// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// CRC-32 as zip and SFV compute it (ISA-L), carried from one call to the next:
// start from 0 and pass each result on.
#include <cstddef>
#include <cstdint>

namespace quimbel::par {

uint32_t SumarCrc(uint32_t crc, const void* datos, size_t n);
// The CRC-32 after n more zero bytes, in O(log n).
uint32_t SumarCerosCrc(uint32_t crc, uint64_t n);

// The CRC-32 of a window of fixed length sliding over data one byte at a time: the window's
// register moves in O(1) per byte, so that a slice can be looked for at every offset.
class CrcDeslizante {
  public:
    explicit CrcDeslizante(uint64_t ventana);

    // The register of a window from its CRC-32, and back.
    static uint32_t Registro(uint32_t crc) { return ~crc; }
    static uint32_t Crc(uint32_t registro) { return ~registro; }
    // The register after the window moves one byte: `sale` leaves at its start, `entra` comes
    // in at its end.
    uint32_t Mover(uint32_t registro, uint8_t sale, uint8_t entra) const {
        return (registro >> 8) ^ entrada_[(registro ^ entra) & 0xFF] ^ salida_[sale];
    }

  private:
    uint32_t entrada_[256]; // a byte's step (the polynomial's table)
    uint32_t salida_[256];  // a byte's share when it is the window's length behind
};

} // namespace quimbel::par
