// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the sources of the kernels on AVX2 registers share; only they include it. Its helpers
// have internal linkage, so each source keeps its own copy, compiled for its own instruction set.
#include <immintrin.h>

namespace quimbel::par {
namespace {

// 32 bytes at any alignment.
inline __m256i Cargar(const void* p) {
    return _mm256_loadu_si256(static_cast<const __m256i*>(p));
}

} // namespace
} // namespace quimbel::par
