// MD5 of 8 streams at once with AVX2: each lane's block is loaded whole and the 8 blocks
// transposed, so that register j holds word j of every lane.
#include "libs/par/NucleosMd5.h"

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

inline __m256i F(__m256i b, __m256i c, __m256i d) {
    return _mm256_xor_si256(_mm256_and_si256(_mm256_xor_si256(c, d), b), d);
}
inline __m256i G(__m256i b, __m256i c, __m256i d) {
    return _mm256_xor_si256(_mm256_and_si256(_mm256_xor_si256(b, c), d), c);
}
inline __m256i H(__m256i b, __m256i c, __m256i d) {
    return _mm256_xor_si256(_mm256_xor_si256(b, c), d);
}
inline __m256i I(__m256i b, __m256i c, __m256i d) {
    return _mm256_xor_si256(c, _mm256_or_si256(b, _mm256_xor_si256(d, _mm256_set1_epi32(-1))));
}

// One step: a = b + ((a + f(b, c, d) + k + m) <<< s).
#define PASO(a, b, c, d, f, i, g, s)                                                                         \
    do {                                                                                                     \
        const __m256i x =                                                                                    \
            _mm256_add_epi32(_mm256_add_epi32(a, f(b, c, d)),                                                \
                             _mm256_add_epi32(m[g], _mm256_set1_epi32(static_cast<int>(ConstantesMd5[i])))); \
        a = _mm256_add_epi32(b, _mm256_or_si256(_mm256_slli_epi32(x, s), _mm256_srli_epi32(x, 32 - (s))));   \
    } while (false)
#define CUATRO(f, i, g0, g1, g2, g3, s0, s1, s2, s3)                                                         \
    PASO(a, b, c, d, f, i, g0, s0);                                                                          \
    PASO(d, a, b, c, f, i + 1, g1, s1);                                                                      \
    PASO(c, d, a, b, f, i + 2, g2, s2);                                                                      \
    PASO(b, c, d, a, f, i + 3, g3, s3)

inline void Comprimir(__m256i& ea, __m256i& eb, __m256i& ec, __m256i& ed, const __m256i* m) {
    __m256i a = ea, b = eb, c = ec, d = ed;
    CUATRO(F, 0, 0, 1, 2, 3, 7, 12, 17, 22);
    CUATRO(F, 4, 4, 5, 6, 7, 7, 12, 17, 22);
    CUATRO(F, 8, 8, 9, 10, 11, 7, 12, 17, 22);
    CUATRO(F, 12, 12, 13, 14, 15, 7, 12, 17, 22);
    CUATRO(G, 16, 1, 6, 11, 0, 5, 9, 14, 20);
    CUATRO(G, 20, 5, 10, 15, 4, 5, 9, 14, 20);
    CUATRO(G, 24, 9, 14, 3, 8, 5, 9, 14, 20);
    CUATRO(G, 28, 13, 2, 7, 12, 5, 9, 14, 20);
    CUATRO(H, 32, 5, 8, 11, 14, 4, 11, 16, 23);
    CUATRO(H, 36, 1, 4, 7, 10, 4, 11, 16, 23);
    CUATRO(H, 40, 13, 0, 3, 6, 4, 11, 16, 23);
    CUATRO(H, 44, 9, 12, 15, 2, 4, 11, 16, 23);
    CUATRO(I, 48, 0, 7, 14, 5, 6, 10, 15, 21);
    CUATRO(I, 52, 12, 3, 10, 1, 6, 10, 15, 21);
    CUATRO(I, 56, 8, 15, 6, 13, 6, 10, 15, 21);
    CUATRO(I, 60, 4, 11, 2, 9, 6, 10, 15, 21);
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
