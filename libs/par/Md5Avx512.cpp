// MD5 of 16 streams at once with AVX-512: each lane's block is loaded whole and the 16
// blocks transposed, so that register j holds word j of every lane; the round functions
// are one ternary-logic instruction each.
#include "libs/par/NucleosMd5.h"

// GCC 12 takes the undefined operand inside its own AVX-512 intrinsics for an
// uninitialised use (fixed in GCC 13).
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include <immintrin.h>

namespace quimbel::par {
namespace {

alignas(64) const uint8_t Vacio[64] = {};

// 16 rows of 16 words into 16 columns.
inline void Trasponer(__m512i f[16]) {
    __m512i t[16], u[16];
    for (int i = 0; i < 16; i += 2) {
        t[i] = _mm512_unpacklo_epi32(f[i], f[i + 1]);
        t[i + 1] = _mm512_unpackhi_epi32(f[i], f[i + 1]);
    }
    for (int g = 0; g < 16; g += 4) {
        u[g] = _mm512_unpacklo_epi64(t[g], t[g + 2]);
        u[g + 1] = _mm512_unpackhi_epi64(t[g], t[g + 2]);
        u[g + 2] = _mm512_unpacklo_epi64(t[g + 1], t[g + 3]);
        u[g + 3] = _mm512_unpackhi_epi64(t[g + 1], t[g + 3]);
    }
    // u[4g + m], 128-bit lane k: word 4k + m of rows 4g .. 4g + 3.
    for (int m = 0; m < 4; ++m) {
        const __m512i x0 = _mm512_shuffle_i32x4(u[m], u[4 + m], 0x44);
        const __m512i x1 = _mm512_shuffle_i32x4(u[m], u[4 + m], 0xEE);
        const __m512i y0 = _mm512_shuffle_i32x4(u[8 + m], u[12 + m], 0x44);
        const __m512i y1 = _mm512_shuffle_i32x4(u[8 + m], u[12 + m], 0xEE);
        f[m] = _mm512_shuffle_i32x4(x0, y0, 0x88);
        f[4 + m] = _mm512_shuffle_i32x4(x0, y0, 0xDD);
        f[8 + m] = _mm512_shuffle_i32x4(x1, y1, 0x88);
        f[12 + m] = _mm512_shuffle_i32x4(x1, y1, 0xDD);
    }
}

// One step: a = b + ((a + f(b, c, d) + k + m) <<< s), f by its ternary-logic table.
#define PASO(a, b, c, d, tabla, i, g, s)                                                                     \
    a = _mm512_add_epi32(                                                                                    \
        b,                                                                                                   \
        _mm512_rol_epi32(                                                                                    \
            _mm512_add_epi32(_mm512_add_epi32(a, _mm512_ternarylogic_epi32(b, c, d, tabla)),                 \
                             _mm512_add_epi32(m[g], _mm512_set1_epi32(static_cast<int>(ConstantesMd5[i])))), \
            s))
#define CUATRO(tabla, i, g0, g1, g2, g3, s0, s1, s2, s3)                                                     \
    PASO(a, b, c, d, tabla, i, g0, s0);                                                                      \
    PASO(d, a, b, c, tabla, i + 1, g1, s1);                                                                  \
    PASO(c, d, a, b, tabla, i + 2, g2, s2);                                                                  \
    PASO(b, c, d, a, tabla, i + 3, g3, s3)

inline void Comprimir(__m512i& ea, __m512i& eb, __m512i& ec, __m512i& ed, const __m512i* m) {
    __m512i a = ea, b = eb, c = ec, d = ed;
    CUATRO(0xCA, 0, 0, 1, 2, 3, 7, 12, 17, 22);
    CUATRO(0xCA, 4, 4, 5, 6, 7, 7, 12, 17, 22);
    CUATRO(0xCA, 8, 8, 9, 10, 11, 7, 12, 17, 22);
    CUATRO(0xCA, 12, 12, 13, 14, 15, 7, 12, 17, 22);
    CUATRO(0xE4, 16, 1, 6, 11, 0, 5, 9, 14, 20);
    CUATRO(0xE4, 20, 5, 10, 15, 4, 5, 9, 14, 20);
    CUATRO(0xE4, 24, 9, 14, 3, 8, 5, 9, 14, 20);
    CUATRO(0xE4, 28, 13, 2, 7, 12, 5, 9, 14, 20);
    CUATRO(0x96, 32, 5, 8, 11, 14, 4, 11, 16, 23);
    CUATRO(0x96, 36, 1, 4, 7, 10, 4, 11, 16, 23);
    CUATRO(0x96, 40, 13, 0, 3, 6, 4, 11, 16, 23);
    CUATRO(0x96, 44, 9, 12, 15, 2, 4, 11, 16, 23);
    CUATRO(0x39, 48, 0, 7, 14, 5, 6, 10, 15, 21);
    CUATRO(0x39, 52, 12, 3, 10, 1, 6, 10, 15, 21);
    CUATRO(0x39, 56, 8, 15, 6, 13, 6, 10, 15, 21);
    CUATRO(0x39, 60, 4, 11, 2, 9, 6, 10, 15, 21);
    ea = _mm512_add_epi32(ea, a);
    eb = _mm512_add_epi32(eb, b);
    ec = _mm512_add_epi32(ec, c);
    ed = _mm512_add_epi32(ed, d);
}

#undef CUATRO
#undef PASO

} // namespace

void Md5Avx512(uint32_t* estado, const uint8_t* const* datos, const size_t* bloques) {
    __m512i a = _mm512_loadu_si512(estado), b = _mm512_loadu_si512(estado + 16);
    __m512i c = _mm512_loadu_si512(estado + 32), d = _mm512_loadu_si512(estado + 48);
    size_t maximo = 0;
    for (unsigned i = 0; i < CarrilesAvx512; ++i)
        maximo = bloques[i] > maximo ? bloques[i] : maximo;
    for (size_t t = 0; t < maximo; ++t) {
        __m512i m[16];
        __mmask16 activos = 0;
        for (unsigned i = 0; i < CarrilesAvx512; ++i) {
            const bool activo = t < bloques[i];
            activos = static_cast<__mmask16>(activos | (activo ? 1u << i : 0u));
            m[i] = _mm512_loadu_si512(activo ? datos[i] + 64 * t : Vacio);
        }
        Trasponer(m);
        __m512i na = a, nb = b, nc = c, nd = d;
        Comprimir(na, nb, nc, nd, m);
        a = _mm512_mask_mov_epi32(a, activos, na);
        b = _mm512_mask_mov_epi32(b, activos, nb);
        c = _mm512_mask_mov_epi32(c, activos, nc);
        d = _mm512_mask_mov_epi32(d, activos, nd);
    }
    _mm512_storeu_si512(estado, a);
    _mm512_storeu_si512(estado + 16, b);
    _mm512_storeu_si512(estado + 32, c);
    _mm512_storeu_si512(estado + 48, d);
}

} // namespace quimbel::par
