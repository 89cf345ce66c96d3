// SPDX-License-Identifier: GPL-3.0-or-later
// GF(2^16) multiply-add with AVX-512BW: the AVX2 method on two blocks per register, the
// halves of each sum gathered by one two-source permutation each.
#include "NucleosGalois.h"

#include "NucleosAvx512.h"

namespace quimbel::par {
namespace {

// U registers (2U blocks) from offset `desde` of every source into destino.
template <int U>
inline void Paso(const uint8_t* const* origenes, const FactorGalois* factores, size_t cuantos,
                 uint8_t* destino, size_t desde, bool sumar) {
    const __m512i nibble = _mm512_set1_epi8(0x0F);
    __m512i alto[U], bajo[U];
#pragma GCC unroll 4
    for (int u = 0; u < U; ++u)
        alto[u] = bajo[u] = _mm512_setzero_si512();
    for (size_t i = 0; i < cuantos; ++i) {
        const FactorGalois& f = factores[i];
        const __m512i ta = Repetir32(f.tablas[0]), tb = Repetir32(f.tablas[1]);
        const __m512i tc = Repetir32(f.tablas[2]), td = Repetir32(f.tablas[3]);
#pragma GCC unroll 4
        for (int u = 0; u < U; ++u) {
            const __m512i x = _mm512_loadu_si512(origenes[i] + desde + 64 * u);
            const __m512i n0 = _mm512_and_si512(x, nibble);
            const __m512i n1 = _mm512_and_si512(_mm512_srli_epi16(x, 4), nibble);
            alto[u] = _mm512_ternarylogic_epi32(alto[u], _mm512_shuffle_epi8(ta, n0),
                                                _mm512_shuffle_epi8(tb, n1), 0x96);
            bajo[u] = _mm512_ternarylogic_epi32(bajo[u], _mm512_shuffle_epi8(tc, n0),
                                                _mm512_shuffle_epi8(td, n1), 0x96);
        }
    }
    // Quadwords: the first halves of both blocks of `alto` and `bajo`, then the second.
    const __m512i primeras = _mm512_setr_epi64(0, 1, 8, 9, 4, 5, 12, 13);
    const __m512i segundas = _mm512_setr_epi64(2, 3, 10, 11, 6, 7, 14, 15);
#pragma GCC unroll 4
    for (int u = 0; u < U; ++u) {
        uint8_t* d = destino + desde + 64 * u;
        const __m512i p = _mm512_permutex2var_epi64(alto[u], primeras, bajo[u]);
        const __m512i s = _mm512_permutex2var_epi64(alto[u], segundas, bajo[u]);
        const __m512i antes = sumar ? _mm512_loadu_si512(d) : _mm512_setzero_si512();
        _mm512_storeu_si512(d, _mm512_ternarylogic_epi32(antes, p, s, 0x96));
    }
}

// One block, the last when their number is odd, through the AVX2 layout of the tables.
inline void Bloque(const uint8_t* const* origenes, const FactorGalois* factores, size_t cuantos,
                   uint8_t* destino, size_t desde, bool sumar) {
    const __m256i nibble = _mm256_set1_epi8(0x0F);
    __m256i alto = _mm256_setzero_si256(), bajo = _mm256_setzero_si256();
    for (size_t i = 0; i < cuantos; ++i) {
        const FactorGalois& f = factores[i];
        const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(origenes[i] + desde));
        const __m256i n0 = _mm256_and_si256(x, nibble);
        const __m256i n1 = _mm256_and_si256(_mm256_srli_epi16(x, 4), nibble);
        const auto t = [&](int k) {
            return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(f.tablas[k]));
        };
        alto = _mm256_xor_si256(
            alto, _mm256_xor_si256(_mm256_shuffle_epi8(t(0), n0), _mm256_shuffle_epi8(t(1), n1)));
        bajo = _mm256_xor_si256(
            bajo, _mm256_xor_si256(_mm256_shuffle_epi8(t(2), n0), _mm256_shuffle_epi8(t(3), n1)));
    }
    __m256i r = _mm256_xor_si256(_mm256_permute2x128_si256(alto, bajo, 0x20),
                                 _mm256_permute2x128_si256(alto, bajo, 0x31));
    __m256i* d = reinterpret_cast<__m256i*>(destino + desde);
    if (sumar) r = _mm256_xor_si256(r, _mm256_loadu_si256(d));
    _mm256_storeu_si256(d, r);
}

} // namespace

void CombinarAvx512(const uint8_t* const* origenes, const FactorGalois* factores, size_t cuantos,
                    uint8_t* destino, size_t bloques, bool sumar) {
    const auto ancho = [&](size_t desde) { Paso<4>(origenes, factores, cuantos, destino, desde, sumar); };
    const auto estrecho = [&](size_t desde) { Paso<1>(origenes, factores, cuantos, destino, desde, sumar); };
    const size_t b = RecorrerBloques<8, 2>(bloques, ancho, estrecho);
    if (b < bloques) Bloque(origenes, factores, cuantos, destino, 32 * b, sumar);
}

} // namespace quimbel::par
