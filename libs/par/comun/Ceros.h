// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A shared block of zero bytes, for the zero padding that digests and sums take in.
#include <cstddef>
#include <cstdint>

namespace quimbel::par {

inline constexpr size_t TamanoCeros = 65536;

// TamanoCeros zero bytes, never written.
const uint8_t* Ceros();

} // namespace quimbel::par
