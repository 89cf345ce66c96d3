// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// GF(2^16) as PAR 2.0 uses it: generator polynomial 0x1100B, generator 2.
// Input slice i gets the constant 2^l(i), l(i) the i-th power coprime with 65535;
// recovery slice e is the sum over i of (2^l(i))^e times input slice i, each slice
// read as little-endian 16-bit words.
#include "Nucleos.h"
#include "NucleosGalois.h"
#include "Redondeo.h"

#include <array>
#include <memory>
#include <span>
#include <vector>

struct gf;

namespace quimbel::par {

inline constexpr uint32_t OrdenGalois = 65535;

class TablasGalois {
  public:
    // The one set of tables, built by the compiler: read-only data, no state.
    static const TablasGalois& Unicas();

    uint16_t Potencia(uint32_t logaritmo) const { return exp_[logaritmo % OrdenGalois]; }
    // log2 of a (a non-zero), below OrdenGalois.
    uint16_t Logaritmo(uint16_t a) const { return log_[a]; }
    // a times 2^logaritmo, for a logarithm below OrdenGalois: no division on the way.
    uint16_t MultiplicarLog(uint16_t a, uint32_t logaritmo) const {
        if (a == 0) return 0;
        uint32_t l = uint32_t{log_[a]} + logaritmo;
        if (l >= OrdenGalois) l -= OrdenGalois;
        return exp_[l];
    }
    uint16_t Multiplicar(uint16_t a, uint16_t b) const;
    // (2^logConstante)^exponente: the factor of an input slice in a recovery slice.
    uint16_t Coeficiente(uint32_t logConstante, uint32_t exponente) const {
        return Potencia(static_cast<uint32_t>((uint64_t{logConstante} * exponente) % OrdenGalois));
    }

  private:
    constexpr TablasGalois() {
        uint32_t x = 1;
        for (uint32_t i = 0; i < OrdenGalois; ++i) {
            exp_[i] = static_cast<uint16_t>(x);
            log_[x] = static_cast<uint16_t>(i);
            x <<= 1;
            if (x & 0x10000) x ^= 0x1100B;
        }
    }
    std::array<uint16_t, OrdenGalois> exp_{};     // 2^i
    std::array<uint16_t, OrdenGalois + 1> log_{}; // log_[2^i] = i; log_[0] unused
};

// The logarithms of the constants of the first n input slices, in slice order.
std::vector<uint32_t> LogaritmosDeEntrada(uint32_t n);

// The kernels multiply faster in an alternate layout, where every 32 bytes hold the high
// bytes of 16 words and then their low bytes (GF-Complete's, for the portable kernel); a
// last part of m < 16 words holds its m high bytes, then its m low bytes. Data go into
// that layout once, on their way in, and back once, on their way out. n is even.
void AFormaAlterna(uint8_t* datos, size_t n);
void AFormaPar(uint8_t* datos, size_t n);

// n bytes completed with zeros to whole blocks of the alternate layout (32 bytes), as the
// kernels take them.
inline size_t EnBloques(uint64_t n) {
    return static_cast<size_t>(RedondearA(n, 32));
}

// Multiply-add over memory regions in the alternate layout, by the kernel chosen when it
// is made (see Nucleos.h); one per thread. Regions have any alignment and an even length,
// and a destination never overlaps a source.
class RegionGalois {
  public:
    explicit RegionGalois(NucleoGalois nucleo = NucleoGalois::Automatico);
    ~RegionGalois();
    RegionGalois(const RegionGalois&) = delete;
    RegionGalois& operator=(const RegionGalois&) = delete;

    // The kernel it runs.
    NucleoGalois Nucleo() const { return nucleo_; }

    // destino ^= factor * origen over n bytes.
    void MultiplicarSumar(const uint8_t* origen, uint8_t* destino, uint16_t factor, size_t n) {
        Combinar({&origen, 1}, {&factor, 1}, destino, n, true);
    }
    // destino = factor * origen, likewise.
    void Multiplicar(const uint8_t* origen, uint8_t* destino, uint16_t factor, size_t n) {
        Combinar({&origen, 1}, {&factor, 1}, destino, n, false);
    }
    // destino = the sum over i of factores[i] * origenes[i], plus what destino held when
    // sumar, over n bytes; one pass over destino for all sources. As many factors as sources.
    void Combinar(std::span<const uint8_t* const> origenes, std::span<const uint16_t> factores,
                  uint8_t* destino, size_t n, bool sumar) {
        CombinarVarios(origenes, factores, {&destino, 1}, n, sumar);
    }
    // Each destinos[d] = the sum over i of factores[d * origenes.size() + i] * origenes[i],
    // plus what it held when sumar, over n bytes. The regions go a part at a time, so that
    // the sources' part is read from the cache for every destination.
    void CombinarVarios(std::span<const uint8_t* const> origenes, std::span<const uint16_t> factores,
                        std::span<uint8_t* const> destinos, size_t n, bool sumar);

  private:
    void CombinarPortable(std::span<const uint8_t* const> origenes, std::span<const uint16_t> factores,
                          uint8_t* destino, size_t n, bool sumar);

    NucleoGalois nucleo_;
    FuncionCombinar funcion_ = nullptr; // none for the portable kernel
    std::unique_ptr<gf> gf_;
    // Reused from call to call: the factors prepared for the kernel, the sources' parts.
    std::vector<FactorGalois> factores_;
    std::vector<const uint8_t*> partes_;
};

} // namespace quimbel::par
