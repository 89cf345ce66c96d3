// SPDX-License-Identifier: GPL-3.0-or-later
// MD5 of 32 streams at once with AVX-512, in two sets of 16 lanes whose steps interleave
// (one set's chain of dependent steps leaves the vector units half idle): each lane's
// block is loaded whole and the 16 blocks of a set transposed, so that register j holds
// word j of every lane; the round functions are one ternary-logic instruction each.
#include "NucleosMd5.h"

#include "NucleosAvx512.h"

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
// Each step runs for the S sets of 16 lanes side by side, whose chains are independent.
#define PASO(a, b, c, d, tabla, i, s)                                                                        \
    for (int k = 0; k < S; ++k) {                                                                            \
        __m512i siguiente = x[k];                                                                            \
        if ((i) < 63)                                                                                        \
            siguiente = _mm512_add_epi32(                                                                    \
                _mm512_add_epi32(d[k], _mm512_set1_epi32(static_cast<int>(ConstantesMd5[((i) + 1) % 64]))),  \
                m[k][PalabrasMd5[((i) + 1) % 64]]);                                                          \
        __asm__("" : "+v"(siguiente));                                                                       \
        const __m512i f = _mm512_ternarylogic_epi32(d[k], b[k], c[k], tabla);                                \
        a[k] = _mm512_add_epi32(b[k], _mm512_rol_epi32(_mm512_add_epi32(x[k], f), s));                       \
        x[k] = siguiente;                                                                                    \
    }
#define CUATRO(tabla, i, s0, s1, s2, s3)                                                                     \
    PASO(a, b, c, d, tabla, i, s0);                                                                          \
    PASO(d, a, b, c, tabla, (i) + 1, s1);                                                                    \
    PASO(c, d, a, b, tabla, (i) + 2, s2);                                                                    \
    PASO(b, c, d, a, tabla, (i) + 3, s3)

// The state of 16 lanes: a, b, c and d.
struct Grupo {
    __m512i h[4];
};

// One block of every lane of S sets, whose message words are m[set][word].
template <int S> inline void Comprimir(Grupo* e, const __m512i (*m)[16]) {
    __m512i a[S], b[S], c[S], d[S], x[S];
    for (int k = 0; k < S; ++k) {
        a[k] = e[k].h[0];
        b[k] = e[k].h[1];
        c[k] = e[k].h[2];
        d[k] = e[k].h[3];
        x[k] = _mm512_add_epi32(_mm512_add_epi32(a[k], _mm512_set1_epi32(static_cast<int>(ConstantesMd5[0]))),
                                m[k][0]);
    }
    CUATRO(0xB8, 0, 7, 12, 17, 22);
    CUATRO(0xB8, 4, 7, 12, 17, 22);
    CUATRO(0xB8, 8, 7, 12, 17, 22);
    CUATRO(0xB8, 12, 7, 12, 17, 22);
    CUATRO(0xCA, 16, 5, 9, 14, 20);
    CUATRO(0xCA, 20, 5, 9, 14, 20);
    CUATRO(0xCA, 24, 5, 9, 14, 20);
    CUATRO(0xCA, 28, 5, 9, 14, 20);
    CUATRO(0x96, 32, 4, 11, 16, 23);
    CUATRO(0x96, 36, 4, 11, 16, 23);
    CUATRO(0x96, 40, 4, 11, 16, 23);
    CUATRO(0x96, 44, 4, 11, 16, 23);
    CUATRO(0x65, 48, 6, 10, 15, 21);
    CUATRO(0x65, 52, 6, 10, 15, 21);
    CUATRO(0x65, 56, 6, 10, 15, 21);
    CUATRO(0x65, 60, 6, 10, 15, 21);
    for (int k = 0; k < S; ++k) {
        e[k].h[0] = _mm512_add_epi32(e[k].h[0], a[k]);
        e[k].h[1] = _mm512_add_epi32(e[k].h[1], b[k]);
        e[k].h[2] = _mm512_add_epi32(e[k].h[2], c[k]);
        e[k].h[3] = _mm512_add_epi32(e[k].h[3], d[k]);
    }
}

#undef CUATRO
#undef PASO

// Block t of the 16 lanes from `primero` on, transposed; the lanes that have it.
inline __mmask16 Cargar(const uint8_t* const* datos, const size_t* bloques, unsigned primero, size_t t,
                        __m512i m[16]) {
    __mmask16 activos = 0;
    for (unsigned i = 0; i < 16; ++i) {
        const bool activo = t < bloques[primero + i];
        activos = static_cast<__mmask16>(activos | (activo ? 1u << i : 0u));
        m[i] = _mm512_loadu_si512(activo ? datos[primero + i] + 64 * t : Vacio);
    }
    Trasponer(m);
    return activos;
}

// The S sets from `primero` (in sets) on, blocks desde .. hasta.
template <int S>
inline void Bloques(Grupo* grupos, const uint8_t* const* datos, const size_t* bloques, int primero,
                    size_t desde, size_t hasta) {
    for (size_t t = desde; t < hasta; ++t) {
        __m512i m[S][16];
        __mmask16 activos[S];
        Grupo nuevo[S];
        for (int k = 0; k < S; ++k) {
            activos[k] = Cargar(datos, bloques, 16 * static_cast<unsigned>(primero + k), t, m[k]);
            nuevo[k] = grupos[primero + k];
        }
        Comprimir<S>(nuevo, m);
        for (int k = 0; k < S; ++k)
            for (int w = 0; w < 4; ++w)
                grupos[primero + k].h[w] =
                    _mm512_mask_mov_epi32(grupos[primero + k].h[w], activos[k], nuevo[k].h[w]);
    }
}

} // namespace

// Two sets of 16 lanes go side by side while both have blocks, then the longer one alone.
void Md5Avx512(uint32_t* estado, const uint8_t* const* datos, const size_t* bloques) {
    Grupo grupos[2];
    size_t maximo[2] = {0, 0};
    for (int k = 0; k < 2; ++k) {
        for (int w = 0; w < 4; ++w)
            grupos[k].h[w] = _mm512_loadu_si512(estado + CarrilesAvx512 * static_cast<unsigned>(w) +
                                                16 * static_cast<unsigned>(k));
        for (unsigned i = 0; i < 16; ++i)
            maximo[k] = bloques[16 * static_cast<unsigned>(k) + i] > maximo[k]
                            ? bloques[16 * static_cast<unsigned>(k) + i]
                            : maximo[k];
    }
    const size_t juntos = maximo[0] < maximo[1] ? maximo[0] : maximo[1];
    Bloques<2>(grupos, datos, bloques, 0, 0, juntos);
    const int largo = maximo[0] > maximo[1] ? 0 : 1;
    Bloques<1>(grupos, datos, bloques, largo, juntos, maximo[largo]);
    for (int k = 0; k < 2; ++k)
        for (int w = 0; w < 4; ++w)
            _mm512_storeu_si512(estado + CarrilesAvx512 * static_cast<unsigned>(w) +
                                    16 * static_cast<unsigned>(k),
                                grupos[k].h[w]);
}

} // namespace quimbel::par
