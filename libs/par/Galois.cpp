#include "libs/par/Galois.h"

extern "C" {
#include <gf_complete.h>
}

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

RegionGalois::RegionGalois() : gf_(std::make_unique<gf>()) {
    if (gf_init_easy(gf_.get(), 16) == 0) throw std::runtime_error("GF(2^16)");
}

RegionGalois::~RegionGalois() { gf_free(gf_.get(), 1); }

void RegionGalois::MultiplicarSumar(const uint8_t* origen, uint8_t* destino, uint16_t factor, size_t n) {
    if (n == 0 || factor == 0) return;
    // The library takes an int count: large regions go in parts.
    constexpr size_t parteMaxima = size_t{1} << 30;
    while (n > 0) {
        const size_t parte = n < parteMaxima ? n : parteMaxima;
        gf_->multiply_region.w32(gf_.get(), const_cast<uint8_t*>(origen), destino, factor, static_cast<int>(parte),
                                 1);
        origen += parte;
        destino += parte;
        n -= parte;
    }
}

} // namespace quimbel::par
