// SPDX-License-Identifier: GPL-3.0-or-later
// GF(2^16) multiply-add with GFNI on AVX-512 registers: the 256-bit GFNI method on two
// blocks per register, where an affine transform costs no more per register than on half
// as many bytes on some processors.
#include "NucleosGalois.h"

#include "NucleosAvx512.h"

namespace quimbel::par {
namespace {

// One source's U registers at offset `desde` added into suma and cruzada.
template <int U>
inline void Uno(const uint8_t* origen, const FactorGalois& factor, size_t desde, __mmask8 mascara,
                __m512i* suma, __m512i* cruzada) {
    if (factor.uno) {
#pragma GCC unroll 8
        for (int u = 0; u < U; ++u)
            suma[u] = _mm512_xor_si512(suma[u], _mm512_maskz_loadu_epi64(mascara, origen + desde + 64 * u));
        return;
    }
    const __m512i md = Repetir32(factor.diagonal), mc = Repetir32(factor.cruzada);
#pragma GCC unroll 8
    for (int u = 0; u < U; ++u) {
        const __m512i x = _mm512_maskz_loadu_epi64(mascara, origen + desde + 64 * u);
        suma[u] = _mm512_xor_si512(suma[u], _mm512_gf2p8affine_epi64_epi8(x, md, 0));
        cruzada[u] = _mm512_xor_si512(cruzada[u], _mm512_gf2p8affine_epi64_epi8(x, mc, 0));
    }
}

// U registers from offset `desde` of every source into destino; `mascara` picks the
// quadwords of a register that are read and written (all but for a last odd block).
// Sources go in pairs: one three-way XOR adds both products, and the XORs share the
// affine transforms' ports.
template <int U>
inline void Paso(const uint8_t* const* origenes, const FactorGalois* factores, size_t cuantos,
                 uint8_t* destino, size_t desde, bool sumar, __mmask8 mascara = 0xFF) {
    __m512i suma[U], cruzada[U];
#pragma GCC unroll 8
    for (int u = 0; u < U; ++u) {
        suma[u] =
            sumar ? _mm512_maskz_loadu_epi64(mascara, destino + desde + 64 * u) : _mm512_setzero_si512();
        cruzada[u] = _mm512_setzero_si512();
    }
    size_t i = 0;
    for (; i + 1 < cuantos; i += 2) {
        const FactorGalois &a = factores[i], &b = factores[i + 1];
        if (a.uno || b.uno) {
            Uno<U>(origenes[i], a, desde, mascara, suma, cruzada);
            Uno<U>(origenes[i + 1], b, desde, mascara, suma, cruzada);
            continue;
        }
        const __m512i da = Repetir32(a.diagonal), ca = Repetir32(a.cruzada);
        const __m512i db = Repetir32(b.diagonal), cb = Repetir32(b.cruzada);
#pragma GCC unroll 8
        for (int u = 0; u < U; ++u) {
            const __m512i x = _mm512_maskz_loadu_epi64(mascara, origenes[i] + desde + 64 * u);
            const __m512i y = _mm512_maskz_loadu_epi64(mascara, origenes[i + 1] + desde + 64 * u);
            suma[u] = _mm512_ternarylogic_epi64(suma[u], _mm512_gf2p8affine_epi64_epi8(x, da, 0),
                                                _mm512_gf2p8affine_epi64_epi8(y, db, 0), 0x96);
            cruzada[u] = _mm512_ternarylogic_epi64(cruzada[u], _mm512_gf2p8affine_epi64_epi8(x, ca, 0),
                                                   _mm512_gf2p8affine_epi64_epi8(y, cb, 0), 0x96);
        }
    }
    if (i < cuantos) Uno<U>(origenes[i], factores[i], desde, mascara, suma, cruzada);
#pragma GCC unroll 8
    for (int u = 0; u < U; ++u)
        _mm512_mask_storeu_epi64(
            destino + desde + 64 * u, mascara,
            _mm512_xor_si512(suma[u], _mm512_shuffle_i64x2(cruzada[u], cruzada[u], 0xB1)));
}

} // namespace

void CombinarGfni512(const uint8_t* const* origenes, const FactorGalois* factores, size_t cuantos,
                     uint8_t* destino, size_t bloques, bool sumar) {
    // Eight registers a step: the factors, read again at every step, cost a quarter as much.
    const auto ancho = [&](size_t desde) { Paso<8>(origenes, factores, cuantos, destino, desde, sumar); };
    const auto estrecho = [&](size_t desde) { Paso<1>(origenes, factores, cuantos, destino, desde, sumar); };
    const size_t b = RecorrerBloques<16, 2>(bloques, ancho, estrecho);
    if (b < bloques) Paso<1>(origenes, factores, cuantos, destino, 32 * b, sumar, 0x0F);
}

} // namespace quimbel::par
