#include "libs/par/Galois.h"

extern "C" {
#include <gf_complete.h>
}

#if defined(__x86_64__)
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <numeric>
#include <stdexcept>

namespace quimbel::par {

TablasGalois::TablasGalois() : exp_(OrdenGalois), log_(OrdenGalois + 1) {
    uint32_t x = 1;
    for (uint32_t i = 0; i < OrdenGalois; ++i) {
        exp_[i] = static_cast<uint16_t>(x);
        log_[x] = static_cast<uint16_t>(i);
        x <<= 1;
        if (x & 0x10000) x ^= 0x1100B;
    }
}

const TablasGalois& TablasGalois::Unicas() {
    static const TablasGalois tablas;
    return tablas;
}

uint16_t TablasGalois::Multiplicar(uint16_t a, uint16_t b) const {
    if (a == 0 || b == 0) return 0;
    return Potencia(uint32_t{log_[a]} + log_[b]);
}

std::vector<uint32_t> LogaritmosDeEntrada(uint32_t n) {
    std::vector<uint32_t> logaritmos;
    logaritmos.reserve(n);
    for (uint32_t l = 1; logaritmos.size() < n && l < OrdenGalois; ++l)
        if (std::gcd(l, OrdenGalois) == 1) logaritmos.push_back(l);
    if (logaritmos.size() < n) throw std::length_error("demasiadas rebanadas");
    return logaritmos;
}

namespace {

#if defined(__x86_64__)
// With AVX2 a block goes in one shuffle within each 16-byte half and one exchange of the
// middle 8-byte quarters; the exchange is its own inverse.
__attribute__((target("avx2"))) void AFormaAlternaAvx2(uint8_t* datos, size_t n) {
    const __m256i orden = _mm256_setr_epi8(1, 3, 5, 7, 9, 11, 13, 15, 0, 2, 4, 6, 8, 10, 12, 14, //
                                           1, 3, 5, 7, 9, 11, 13, 15, 0, 2, 4, 6, 8, 10, 12, 14);
    for (uint8_t* p = datos; p < datos + n; p += 32) {
        const __m256i a = _mm256_load_si256(reinterpret_cast<const __m256i*>(p));
        const __m256i b = _mm256_permute4x64_epi64(_mm256_shuffle_epi8(a, orden), 0xD8);
        _mm256_store_si256(reinterpret_cast<__m256i*>(p), b);
    }
}

__attribute__((target("avx2"))) void AFormaParAvx2(uint8_t* datos, size_t n) {
    const __m256i orden = _mm256_setr_epi8(8, 0, 9, 1, 10, 2, 11, 3, 12, 4, 13, 5, 14, 6, 15, 7, //
                                           8, 0, 9, 1, 10, 2, 11, 3, 12, 4, 13, 5, 14, 6, 15, 7);
    for (uint8_t* p = datos; p < datos + n; p += 32) {
        const __m256i a = _mm256_load_si256(reinterpret_cast<const __m256i*>(p));
        const __m256i b = _mm256_shuffle_epi8(_mm256_permute4x64_epi64(a, 0xD8), orden);
        _mm256_store_si256(reinterpret_cast<__m256i*>(p), b);
    }
}

const bool hayAvx2 = __builtin_cpu_supports("avx2");
#endif

} // namespace

void AFormaAlterna(uint8_t* datos, size_t n) {
#if defined(__x86_64__)
    if (hayAvx2) return AFormaAlternaAvx2(datos, n);
#endif
    for (uint8_t* p = datos; p < datos + n; p += 32) {
#ifdef __SSE2__
        const __m128i a = _mm_load_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i b = _mm_load_si128(reinterpret_cast<const __m128i*>(p + 16));
        const __m128i bajos = _mm_set1_epi16(0x00FF);
        const __m128i bajo = _mm_packus_epi16(_mm_and_si128(a, bajos), _mm_and_si128(b, bajos));
        const __m128i alto = _mm_packus_epi16(_mm_srli_epi16(a, 8), _mm_srli_epi16(b, 8));
        _mm_store_si128(reinterpret_cast<__m128i*>(p), alto);
        _mm_store_si128(reinterpret_cast<__m128i*>(p + 16), bajo);
#else
        uint8_t t[32];
        for (int i = 0; i < 16; ++i) {
            t[i] = p[2 * i + 1];
            t[16 + i] = p[2 * i];
        }
        std::copy(t, t + 32, p);
#endif
    }
}

void AFormaPar(uint8_t* datos, size_t n) {
#if defined(__x86_64__)
    if (hayAvx2) return AFormaParAvx2(datos, n);
#endif
    for (uint8_t* p = datos; p < datos + n; p += 32) {
#ifdef __SSE2__
        const __m128i alto = _mm_load_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i bajo = _mm_load_si128(reinterpret_cast<const __m128i*>(p + 16));
        _mm_store_si128(reinterpret_cast<__m128i*>(p), _mm_unpacklo_epi8(bajo, alto));
        _mm_store_si128(reinterpret_cast<__m128i*>(p + 16), _mm_unpackhi_epi8(bajo, alto));
#else
        uint8_t t[32];
        for (int i = 0; i < 16; ++i) {
            t[2 * i + 1] = p[i];
            t[2 * i] = p[16 + i];
        }
        std::copy(t, t + 32, p);
#endif
    }
}

RegionGalois::RegionGalois() : gf_(std::make_unique<gf>()) {
    if (gf_init_hard(gf_.get(), 16, GF_MULT_SPLIT_TABLE, GF_REGION_ALTMAP, GF_DIVIDE_DEFAULT, 0, 16, 4,
                     nullptr, nullptr) == 0)
        throw std::runtime_error("GF(2^16)");
}

RegionGalois::~RegionGalois() {
    gf_free(gf_.get(), 1);
}

void RegionGalois::Region(const uint8_t* origen, uint8_t* destino, uint16_t factor, size_t n, bool sumar) {
    if (n == 0 || (factor == 0 && sumar)) return;
    // The library takes an int count: large regions go in parts.
    constexpr size_t parteMaxima = size_t{1} << 30;
    while (n > 0) {
        const size_t parte = n < parteMaxima ? n : parteMaxima;
        gf_->multiply_region.w32(gf_.get(), const_cast<uint8_t*>(origen), destino, factor,
                                 static_cast<int>(parte), sumar ? 1 : 0);
        origen += parte;
        destino += parte;
        n -= parte;
    }
}

} // namespace quimbel::par
