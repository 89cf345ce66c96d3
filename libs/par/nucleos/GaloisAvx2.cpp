// SPDX-License-Identifier: GPL-3.0-or-later
// GF(2^16) multiply-add with AVX2: per block, the low nibbles of both halves index one
// table lookup and the high nibbles another, for each product half; the two halves of
// each sum are added at the end, once for all sources.
#include "NucleosAvx2.h"
#include "NucleosGalois.h"

#include <immintrin.h>

namespace quimbel::par {
namespace {

// U blocks from offset `desde` of every source into destino.
template <int U>
inline void Paso(const uint8_t* const* origenes, const FactorGalois* factores, size_t cuantos,
                 uint8_t* destino, size_t desde, bool sumar) {
    const __m256i nibble = _mm256_set1_epi8(0x0F);
    __m256i alto[U], bajo[U];
#pragma GCC unroll 4
    for (int u = 0; u < U; ++u)
        alto[u] = bajo[u] = _mm256_setzero_si256();
    for (size_t i = 0; i < cuantos; ++i) {
        const FactorGalois& f = factores[i];
        const __m256i ta = Cargar(f.tablas[0]), tb = Cargar(f.tablas[1]);
        const __m256i tc = Cargar(f.tablas[2]), td = Cargar(f.tablas[3]);
#pragma GCC unroll 4
        for (int u = 0; u < U; ++u) {
            const __m256i x = Cargar(origenes[i] + desde + 32 * u);
            const __m256i n0 = _mm256_and_si256(x, nibble);
            const __m256i n1 = _mm256_and_si256(_mm256_srli_epi16(x, 4), nibble);
            alto[u] = _mm256_xor_si256(
                alto[u], _mm256_xor_si256(_mm256_shuffle_epi8(ta, n0), _mm256_shuffle_epi8(tb, n1)));
            bajo[u] = _mm256_xor_si256(
                bajo[u], _mm256_xor_si256(_mm256_shuffle_epi8(tc, n0), _mm256_shuffle_epi8(td, n1)));
        }
    }
#pragma GCC unroll 4
    for (int u = 0; u < U; ++u) {
        __m256i r = _mm256_xor_si256(_mm256_permute2x128_si256(alto[u], bajo[u], 0x20),
                                     _mm256_permute2x128_si256(alto[u], bajo[u], 0x31));
        __m256i* d = reinterpret_cast<__m256i*>(destino + desde + 32 * u);
        if (sumar) r = _mm256_xor_si256(r, _mm256_loadu_si256(d));
        _mm256_storeu_si256(d, r);
    }
}

} // namespace

void CombinarAvx2(const uint8_t* const* origenes, const FactorGalois* factores, size_t cuantos,
                  uint8_t* destino, size_t bloques, bool sumar) {
    const auto ancho = [&](size_t desde) { Paso<4>(origenes, factores, cuantos, destino, desde, sumar); };
    const auto estrecho = [&](size_t desde) { Paso<1>(origenes, factores, cuantos, destino, desde, sumar); };
    RecorrerBloques<4, 1>(bloques, ancho, estrecho);
}

} // namespace quimbel::par
