// SPDX-License-Identifier: GPL-3.0-or-later
// GF(2^16) multiply-add with GFNI: multiplying by a constant is linear over GF(2), a 16x16
// bit matrix of four 8x8 blocks. One affine transform per block gives each half its part
// from itself, another the other half's part from it, in the wrong half: those are summed
// over all sources apart and their halves swapped once at the end.
#include "NucleosAvx2.h"
#include "NucleosGalois.h"

#include <immintrin.h>

namespace quimbel::par {
namespace {

// U blocks from offset `desde` of every source into destino.
template <int U>
inline void Paso(const uint8_t* const* origenes, const FactorGalois* factores, size_t cuantos,
                 uint8_t* destino, size_t desde, bool sumar) {
    __m256i suma[U], cruzada[U];
#pragma GCC unroll 4
    for (int u = 0; u < U; ++u) {
        suma[u] = sumar ? Cargar(destino + desde + 32 * u) : _mm256_setzero_si256();
        cruzada[u] = _mm256_setzero_si256();
    }
    for (size_t i = 0; i < cuantos; ++i) {
        if (factores[i].uno) {
#pragma GCC unroll 4
            for (int u = 0; u < U; ++u)
                suma[u] = _mm256_xor_si256(suma[u], Cargar(origenes[i] + desde + 32 * u));
            continue;
        }
        const __m256i md = Cargar(factores[i].diagonal), mc = Cargar(factores[i].cruzada);
#pragma GCC unroll 4
        for (int u = 0; u < U; ++u) {
            const __m256i x = Cargar(origenes[i] + desde + 32 * u);
            suma[u] = _mm256_xor_si256(suma[u], _mm256_gf2p8affine_epi64_epi8(x, md, 0));
            cruzada[u] = _mm256_xor_si256(cruzada[u], _mm256_gf2p8affine_epi64_epi8(x, mc, 0));
        }
    }
#pragma GCC unroll 4
    for (int u = 0; u < U; ++u)
        _mm256_storeu_si256(
            reinterpret_cast<__m256i*>(destino + desde + 32 * u),
            _mm256_xor_si256(suma[u], _mm256_permute2x128_si256(cruzada[u], cruzada[u], 0x01)));
}

} // namespace

void CombinarGfni(const uint8_t* const* origenes, const FactorGalois* factores, size_t cuantos,
                  uint8_t* destino, size_t bloques, bool sumar) {
    const auto ancho = [&](size_t desde) { Paso<4>(origenes, factores, cuantos, destino, desde, sumar); };
    const auto estrecho = [&](size_t desde) { Paso<1>(origenes, factores, cuantos, destino, desde, sumar); };
    RecorrerBloques<4, 1>(bloques, ancho, estrecho);
}

} // namespace quimbel::par
