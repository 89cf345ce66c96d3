// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// n rounded up to a multiple: the one rounding of slice sizes, stripes, kernel blocks and buffers.
#include <cstdint>

namespace quimbel::par {

constexpr uint64_t RedondearA(uint64_t n, uint64_t multiplo) {
    return (n + multiplo - 1) / multiplo * multiplo;
}

} // namespace quimbel::par
