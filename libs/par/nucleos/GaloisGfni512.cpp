// SPDX-License-Identifier: GPL-3.0-or-later
// GF(2^16) multiply-add with GFNI on AVX-512 registers: the 256-bit GFNI method on two
// blocks per register, where an affine transform costs no more per register than on half
// as many bytes on some processors.
#include "NucleosGalois.h"

#include "NucleosAvx512.h"

namespace quimbel::par {
namespace {

// U registers from offset `desde` of every source into destino; `mascara` picks the
// quadwords of a register that are read and written (all but for a last odd block).
template <int U>
inline void Paso(const uint8_t* const* origenes, const FactorGalois* factores, size_t cuantos,
                 uint8_t* destino, size_t desde, bool sumar, __mmask8 mascara = 0xFF) {
    __m512i suma[U], cruzada[U];
#pragma GCC unroll 4
    for (int u = 0; u < U; ++u) {
        suma[u] =
            sumar ? _mm512_maskz_loadu_epi64(mascara, destino + desde + 64 * u) : _mm512_setzero_si512();
        cruzada[u] = _mm512_setzero_si512();
    }
    for (size_t i = 0; i < cuantos; ++i) {
        if (factores[i].uno) {
#pragma GCC unroll 4
            for (int u = 0; u < U; ++u)
                suma[u] = _mm512_xor_si512(suma[u],
                                           _mm512_maskz_loadu_epi64(mascara, origenes[i] + desde + 64 * u));
            continue;
        }
        const __m512i md = Repetir32(factores[i].diagonal), mc = Repetir32(factores[i].cruzada);
#pragma GCC unroll 4
        for (int u = 0; u < U; ++u) {
            const __m512i x = _mm512_maskz_loadu_epi64(mascara, origenes[i] + desde + 64 * u);
            suma[u] = _mm512_xor_si512(suma[u], _mm512_gf2p8affine_epi64_epi8(x, md, 0));
            cruzada[u] = _mm512_xor_si512(cruzada[u], _mm512_gf2p8affine_epi64_epi8(x, mc, 0));
        }
    }
#pragma GCC unroll 4
    for (int u = 0; u < U; ++u)
        _mm512_mask_storeu_epi64(
            destino + desde + 64 * u, mascara,
            _mm512_xor_si512(suma[u], _mm512_shuffle_i64x2(cruzada[u], cruzada[u], 0xB1)));
}

} // namespace

void CombinarGfni512(const uint8_t* const* origenes, const FactorGalois* factores, size_t cuantos,
                     uint8_t* destino, size_t bloques, bool sumar) {
    const auto ancho = [&](size_t desde) { Paso<4>(origenes, factores, cuantos, destino, desde, sumar); };
    const auto estrecho = [&](size_t desde) { Paso<1>(origenes, factores, cuantos, destino, desde, sumar); };
    const size_t b = RecorrerBloques<8, 2>(bloques, ancho, estrecho);
    if (b < bloques) Paso<1>(origenes, factores, cuantos, destino, 32 * b, sumar, 0x0F);
}

} // namespace quimbel::par
