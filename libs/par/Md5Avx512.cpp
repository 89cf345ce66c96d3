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

// One step: a = b + ((a + k + m + f(b, c, d)) <<< s), with x = a + k + m taken beforehand.
// The next step's x is taken from d beforehand, so that d is dead once f is taken and f
// can take its register: the longest chain is f, one addition, the rotation and one
// addition, with no copy. The empty asm keeps the compiler from adding the terms in
// another order, which would keep d alive. f by its ternary-logic table on (d, b, c).
#define PASO(a, b, c, d, tabla, i)                                                                           \
    do {                                                                                                     \
        __m512i siguiente = x;                                                                               \
        if ((i) < 63)                                                                                        \
            siguiente = _mm512_add_epi32(                                                                    \
                _mm512_add_epi32(d, _mm512_set1_epi32(static_cast<int>(ConstantesMd5[((i) + 1) % 64]))),     \
                m[PalabrasMd5[((i) + 1) % 64]]);                                                             \
        __asm__("" : "+v"(siguiente));                                                                       \
        const __m512i f = _mm512_ternarylogic_epi32(d, b, c, tabla);                                         \
        a = _mm512_add_epi32(b, _mm512_rol_epi32(_mm512_add_epi32(x, f), GirosMd5[i]));                      \
        x = siguiente;                                                                                       \
    } while (false)
#define CUATRO(tabla, i)                                                                                     \
    PASO(a, b, c, d, tabla, i);                                                                              \
    PASO(d, a, b, c, tabla, (i) + 1);                                                                        \
    PASO(c, d, a, b, tabla, (i) + 2);                                                                        \
    PASO(b, c, d, a, tabla, (i) + 3)

inline void Comprimir(__m512i& ea, __m512i& eb, __m512i& ec, __m512i& ed, const __m512i* m) {
    __m512i a = ea, b = eb, c = ec, d = ed;
    __m512i x =
        _mm512_add_epi32(_mm512_add_epi32(a, _mm512_set1_epi32(static_cast<int>(ConstantesMd5[0]))), m[0]);
    CUATRO(0xB8, 0);
    CUATRO(0xB8, 4);
    CUATRO(0xB8, 8);
    CUATRO(0xB8, 12);
    CUATRO(0xCA, 16);
    CUATRO(0xCA, 20);
    CUATRO(0xCA, 24);
    CUATRO(0xCA, 28);
    CUATRO(0x96, 32);
    CUATRO(0x96, 36);
    CUATRO(0x96, 40);
    CUATRO(0x96, 44);
    CUATRO(0x65, 48);
    CUATRO(0x65, 52);
    CUATRO(0x65, 56);
    CUATRO(0x65, 60);
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
