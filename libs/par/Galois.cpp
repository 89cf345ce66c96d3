#include "libs/par/Galois.h"

extern "C" {
#include <gf_complete.h>
}

#ifdef __SSE2__
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

void AFormaAlterna(uint8_t* datos, size_t n) {
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
