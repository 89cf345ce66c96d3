// SPDX-License-Identifier: GPL-3.0-or-later
// MD5 of 8 streams at once with AVX2: each lane's block is loaded whole and the 8 blocks
// transposed, so that register j holds word j of every lane.
#include "NucleosMd5.h"

#include <immintrin.h>

namespace quimbel::par {
namespace {

alignas(64) const uint8_t Vacio[64] = {};

// 8 rows of 8 words into 8 columns.
inline void Trasponer(__m256i f[8]) {
    __m256i t[8], u[8];
    for (int i = 0; i < 8; i += 2) {
        t[i] = _mm256_unpacklo_epi32(f[i], f[i + 1]);
        t[i + 1] = _mm256_unpackhi_epi32(f[i], f[i + 1]);
    }
    for (int g = 0; g < 8; g += 4) {
        u[g] = _mm256_unpacklo_epi64(t[g], t[g + 2]);
        u[g + 1] = _mm256_unpackhi_epi64(t[g], t[g + 2]);
        u[g + 2] = _mm256_unpacklo_epi64(t[g + 1], t[g + 3]);
        u[g + 3] = _mm256_unpackhi_epi64(t[g + 1], t[g + 3]);
    }
    // u[4g + m], 128-bit lane k: word 4k + m of rows 4g .. 4g + 3.
    for (int m = 0; m < 4; ++m) {
        f[m] = _mm256_permute2x128_si256(u[m], u[4 + m], 0x20);
        f[4 + m] = _mm256_permute2x128_si256(u[m], u[4 + m], 0x31);
    }
}

// f(b, c, d) added to x, the parts that do not wait for b first. G's two terms never share
// a bit, so each is added on its own, c & ~d beforehand.
inline __m256i MasF(__m256i x, __m256i b, __m256i c, __m256i d) {
    return _mm256_add_epi32(x, _mm256_xor_si256(_mm256_and_si256(_mm256_xor_si256(c, d), b), d));
}
inline __m256i MasG(__m256i x, __m256i b, __m256i c, __m256i d) {
    return _mm256_add_epi32(_mm256_add_epi32(x, _mm256_andnot_si256(d, c)), _mm256_and_si256(b, d));
}
inline __m256i MasH(__m256i x, __m256i b, __m256i c, __m256i d) {
    return _mm256_add_epi32(x, _mm256_xor_si256(b, _mm256_xor_si256(c, d)));
}
inline __m256i MasI(__m256i x, __m256i b, __m256i c, __m256i d) {
    return _mm256_add_epi32(
        x, _mm256_xor_si256(c, _mm256_or_si256(b, _mm256_xor_si256(d, _mm256_set1_epi32(-1)))));
}

// One step: a = b + ((a + k + m + f(b, c, d)) <<< s), with x = a + k + m taken beforehand
// (the next step's from d); the empty asm keeps the compiler from adding the terms in
// another order.
#define PASO(a, b, c, d, mas, i, s)                                                                          \
    do {                                                                                                     \
        __m256i siguiente = x;                                                                               \
        if ((i) < 63)                                                                                        \
            siguiente = _mm256_add_epi32(                                                                    \
                _mm256_add_epi32(d, _mm256_set1_epi32(static_cast<int>(ConstantesMd5[((i) + 1) % 64]))),     \
                m[PalabrasMd5[((i) + 1) % 64]]);                                                             \
        __asm__("" : "+x"(siguiente));                                                                       \
        const __m256i suma = mas(x, b, c, d);                                                                \
        a = _mm256_add_epi32(                                                                                \
            b, _mm256_or_si256(_mm256_slli_epi32(suma, s), _mm256_srli_epi32(suma, 32 - (s))));              \
        x = siguiente;                                                                                       \
    } while (false)
#define CUATRO(mas, i, s0, s1, s2, s3)                                                                       \
    PASO(a, b, c, d, mas, i, s0);                                                                            \
    PASO(d, a, b, c, mas, (i) + 1, s1);                                                                      \
    PASO(c, d, a, b, mas, (i) + 2, s2);                                                                      \
    PASO(b, c, d, a, mas, (i) + 3, s3)

inline void Comprimir(__m256i& ea, __m256i& eb, __m256i& ec, __m256i& ed, const __m256i* m) {
    __m256i a = ea, b = eb, c = ec, d = ed;
    __m256i x =
        _mm256_add_epi32(_mm256_add_epi32(a, _mm256_set1_epi32(static_cast<int>(ConstantesMd5[0]))), m[0]);
    CUATRO(MasF, 0, 7, 12, 17, 22);
    CUATRO(MasF, 4, 7, 12, 17, 22);
    CUATRO(MasF, 8, 7, 12, 17, 22);
    CUATRO(MasF, 12, 7, 12, 17, 22);
    CUATRO(MasG, 16, 5, 9, 14, 20);
    CUATRO(MasG, 20, 5, 9, 14, 20);
    CUATRO(MasG, 24, 5, 9, 14, 20);
    CUATRO(MasG, 28, 5, 9, 14, 20);
    CUATRO(MasH, 32, 4, 11, 16, 23);
    CUATRO(MasH, 36, 4, 11, 16, 23);
    CUATRO(MasH, 40, 4, 11, 16, 23);
    CUATRO(MasH, 44, 4, 11, 16, 23);
    CUATRO(MasI, 48, 6, 10, 15, 21);
    CUATRO(MasI, 52, 6, 10, 15, 21);
    CUATRO(MasI, 56, 6, 10, 15, 21);
    CUATRO(MasI, 60, 6, 10, 15, 21);
    ea = _mm256_add_epi32(ea, a);
    eb = _mm256_add_epi32(eb, b);
    ec = _mm256_add_epi32(ec, c);
    ed = _mm256_add_epi32(ed, d);
}

#undef CUATRO
#undef PASO

} // namespace

void Md5Avx2(uint32_t* estado, const uint8_t* const* datos, const size_t* bloques) {
    const auto cargar = [](const void* p) { return _mm256_loadu_si256(static_cast<const __m256i*>(p)); };
    __m256i a = cargar(estado), b = cargar(estado + 8), c = cargar(estado + 16), d = cargar(estado + 24);
    size_t maximo = 0;
    for (unsigned i = 0; i < CarrilesAvx2; ++i)
        maximo = bloques[i] > maximo ? bloques[i] : maximo;
    for (size_t t = 0; t < maximo; ++t) {
        __m256i bajas[8], altas[8], m[16];
        alignas(32) int32_t activos[8];
        for (unsigned i = 0; i < CarrilesAvx2; ++i) {
            const bool activo = t < bloques[i];
            activos[i] = activo ? -1 : 0;
            const uint8_t* p = activo ? datos[i] + 64 * t : Vacio;
            bajas[i] = cargar(p);
            altas[i] = cargar(p + 32);
        }
        Trasponer(bajas);
        Trasponer(altas);
        for (int j = 0; j < 8; ++j) {
            m[j] = bajas[j];
            m[8 + j] = altas[j];
        }
        __m256i na = a, nb = b, nc = c, nd = d;
        Comprimir(na, nb, nc, nd, m);
        const __m256i mascara = cargar(activos);
        a = _mm256_blendv_epi8(a, na, mascara);
        b = _mm256_blendv_epi8(b, nb, mascara);
        c = _mm256_blendv_epi8(c, nc, mascara);
        d = _mm256_blendv_epi8(d, nd, mascara);
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(estado), a);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(estado + 8), b);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(estado + 16), c);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(estado + 24), d);
}

} // namespace quimbel::par
