// SPDX-License-Identifier: GPL-3.0-or-later
#include "SumaCrc.h"

#include "Procesador.h"

#include <array>
#include <isa-l/crc.h>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace quimbel::par {
namespace {

// ISA-L leaves the upper halves of the wide vector registers dirty; the SSE code of
// GF-Complete that runs next on the thread then goes about three times slower. Clearing
// them after each sum avoids it.
#if defined(__x86_64__)
__attribute__((target("avx"))) void LimpiarRegistrosAnchos() {
    _mm256_zeroupper();
}
#endif

// Polynomials of the CRC modulo its own, reflected: bit 31 is x^0.
constexpr uint32_t Polinomio = 0xEDB88320;

constexpr uint32_t MultiplicarModulo(uint32_t a, uint32_t b) {
    uint32_t producto = 0;
    for (uint32_t m = uint32_t{1} << 31; m != 0; m >>= 1) {
        if (a & m) producto ^= b;
        b = b & 1 ? (b >> 1) ^ Polinomio : b >> 1;
    }
    return producto;
}

// x^(2^k) for k < 64, built by the compiler.
constexpr std::array<uint32_t, 64> PotenciasDeX = [] {
    std::array<uint32_t, 64> p{};
    p[0] = uint32_t{1} << 30; // x
    for (size_t k = 1; k < p.size(); ++k)
        p[k] = MultiplicarModulo(p[k - 1], p[k - 1]);
    return p;
}();

// x^(8n): the shift of n zero bytes.
uint32_t DesplazamientoDeBytes(uint64_t n) {
    uint32_t p = uint32_t{1} << 31;
    for (size_t k = 3; n != 0; n >>= 1, ++k)
        if (n & 1) p = MultiplicarModulo(PotenciasDeX[k % 64], p);
    return p;
}

} // namespace

uint32_t SumarCrc(uint32_t crc, const void* datos, size_t n) {
    if (n == 0) return crc;
    crc = crc32_gzip_refl(crc, static_cast<const unsigned char*>(datos), n);
#if defined(__x86_64__)
    if (ExtensionesDelProcesador().avx) LimpiarRegistrosAnchos();
#endif
    return crc;
}

uint32_t SumarCerosCrc(uint32_t crc, uint64_t n) {
    // Zero bytes only shift the register.
    return n == 0 ? crc : ~MultiplicarModulo(DesplazamientoDeBytes(n), ~crc);
}

CrcDeslizante::CrcDeslizante(uint64_t ventana) {
    for (uint32_t b = 0; b < 256; ++b) {
        uint32_t c = b;
        for (int i = 0; i < 8; ++i)
            c = c & 1 ? (c >> 1) ^ Polinomio : c >> 1;
        entrada_[b] = c;
    }
    // When the window moves, its first byte b leaves behind b's step shifted by `ventana`
    // bytes, and the register's start value (all ones) one shift of its own: both go.
    const uint32_t desplazamiento = DesplazamientoDeBytes(ventana);
    const uint32_t inicio = MultiplicarModulo(DesplazamientoDeBytes(ventana), ~uint32_t{0}) ^
                            MultiplicarModulo(DesplazamientoDeBytes(ventana + 1), ~uint32_t{0});
    for (uint32_t b = 0; b < 256; ++b)
        salida_[b] = MultiplicarModulo(desplazamiento, entrada_[b]) ^ inicio;
}

} // namespace quimbel::par
