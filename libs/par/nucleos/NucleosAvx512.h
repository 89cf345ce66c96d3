// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the sources of the AVX-512 kernels share; only they include it, after their own
// kernel header. Its helpers have internal linkage, so each source keeps its own copy,
// compiled for its own instruction set.

// GCC 12 takes the undefined operand inside its own AVX-512 intrinsics for an
// uninitialised use (fixed in GCC 13).
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#endif

#include <immintrin.h>

namespace quimbel::par {
namespace {

// 32 bytes in both halves of a register: a factor's tables or matrices.
inline __m512i Repetir32(const void* p) {
    return _mm512_broadcast_i64x4(_mm256_loadu_si256(static_cast<const __m256i*>(p)));
}

} // namespace
} // namespace quimbel::par
