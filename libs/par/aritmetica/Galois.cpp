// SPDX-License-Identifier: GPL-3.0-or-later
#include "Galois.h"

#include "Procesador.h"

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

const TablasGalois& TablasGalois::Unicas() {
    static constexpr TablasGalois tablas;
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
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        const __m256i b = _mm256_permute4x64_epi64(_mm256_shuffle_epi8(a, orden), 0xD8);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), b);
    }
}

__attribute__((target("avx2"))) void AFormaParAvx2(uint8_t* datos, size_t n) {
    const __m256i orden = _mm256_setr_epi8(8, 0, 9, 1, 10, 2, 11, 3, 12, 4, 13, 5, 14, 6, 15, 7, //
                                           8, 0, 9, 1, 10, 2, 11, 3, 12, 4, 13, 5, 14, 6, 15, 7);
    for (uint8_t* p = datos; p < datos + n; p += 32) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        const __m256i b = _mm256_shuffle_epi8(_mm256_permute4x64_epi64(a, 0xD8), orden);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), b);
    }
}

#endif

void AFormaAlternaBloques(uint8_t* datos, size_t n) {
#if defined(__x86_64__)
    if (ExtensionesDelProcesador().avx2) return AFormaAlternaAvx2(datos, n);
#endif
    for (uint8_t* p = datos; p < datos + n; p += 32) {
#ifdef __SSE2__
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16));
        const __m128i bajos = _mm_set1_epi16(0x00FF);
        const __m128i bajo = _mm_packus_epi16(_mm_and_si128(a, bajos), _mm_and_si128(b, bajos));
        const __m128i alto = _mm_packus_epi16(_mm_srli_epi16(a, 8), _mm_srli_epi16(b, 8));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), alto);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 16), bajo);
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

void AFormaParBloques(uint8_t* datos, size_t n) {
#if defined(__x86_64__)
    if (ExtensionesDelProcesador().avx2) return AFormaParAvx2(datos, n);
#endif
    for (uint8_t* p = datos; p < datos + n; p += 32) {
#ifdef __SSE2__
        const __m128i alto = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i bajo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_unpacklo_epi8(bajo, alto));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 16), _mm_unpackhi_epi8(bajo, alto));
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

// The last part of m < 16 words: m high bytes, then m low bytes. Two arrays, not one of 32
// bytes, so that GCC sees at -O3 that no store passes them.
void RestoAFormaAlterna(uint8_t* p, size_t m) {
    uint8_t alto[16], bajo[16];
    for (size_t w = 0; w < m; ++w) {
        alto[w] = p[2 * w + 1];
        bajo[w] = p[2 * w];
    }
    std::copy(alto, alto + m, p);
    std::copy(bajo, bajo + m, p + m);
}

void RestoAFormaPar(uint8_t* p, size_t m) {
    uint8_t alto[16], bajo[16];
    std::copy(p, p + m, alto);
    std::copy(p + m, p + 2 * m, bajo);
    for (size_t w = 0; w < m; ++w) {
        p[2 * w + 1] = alto[w];
        p[2 * w] = bajo[w];
    }
}

// The word at index w of a region of n bytes in the alternate layout: where its high and
// low bytes lie.
struct Posiciones {
    size_t alto, bajo;
};
Posiciones PosicionDe(size_t w, size_t n) {
    const size_t bloque = w / 16 * 32, enBloque = w % 16;
    const size_t m = bloque + 32 <= n ? 16 : (n - bloque) / 2;
    return {bloque + enBloque, bloque + m + enBloque};
}

// destino (+)= Σ factores[i] * origenes[i] over the words from `desde` to the end, word by
// word with the tables.
void CombinarPalabras(std::span<const uint8_t* const> origenes, std::span<const uint16_t> factores,
                      uint8_t* destino, size_t desde, size_t n, bool sumar) {
    const TablasGalois& tablas = TablasGalois::Unicas();
    for (size_t w = desde / 2; w < n / 2; ++w) {
        const auto [alto, bajo] = PosicionDe(w, n);
        uint16_t suma = sumar ? static_cast<uint16_t>(destino[alto] << 8 | destino[bajo]) : 0;
        for (size_t i = 0; i < origenes.size(); ++i)
            suma ^= tablas.Multiplicar(static_cast<uint16_t>(origenes[i][alto] << 8 | origenes[i][bajo]),
                                       factores[i]);
        destino[alto] = static_cast<uint8_t>(suma >> 8);
        destino[bajo] = static_cast<uint8_t>(suma);
    }
}

// An 8x8 bit matrix given by columns (byte j: the images of input bit j), in the row
// order of GF2P8AFFINEQB (byte 7 - i: the input bits of output bit i).
constexpr uint64_t MatrizAfin(uint64_t columnas) {
    uint64_t x = columnas, t = 0;
    t = (x ^ (x >> 7)) & 0x00AA00AA00AA00AAull;
    x ^= t ^ (t << 7);
    t = (x ^ (x >> 14)) & 0x0000CCCC0000CCCCull;
    x ^= t ^ (t << 14);
    t = (x ^ (x >> 28)) & 0x00000000F0F0F0F0ull;
    x ^= t ^ (t << 28);
    return __builtin_bswap64(x);
}

// What the kernels take of a factor, besides whether it is 1: the nibble tables and the bit
// matrices. Both are linear in the factor (a product's bits are sums of the factor's), so a
// factor's are the sums of those of its four nibbles, which the compiler tabulates.
struct PreparadoGalois {
    uint8_t tablas[4][32];
    uint64_t altoAlto, bajoBajo, altoBajo, bajoAlto;
};

constexpr PreparadoGalois Preparar(uint16_t factor) {
    PreparadoGalois f{};
    // c * x^k for every bit k of a word: the columns of the product's matrix.
    uint16_t base[16]{};
    uint32_t b = factor;
    for (uint16_t& x : base) {
        x = static_cast<uint16_t>(b);
        b <<= 1;
        if (b & 0x10000) b ^= 0x1100B;
    }
    // Pp(v) for the four nibbles p, every v, built from the bits of v.
    uint16_t p[4][16]{};
    for (int q = 0; q < 4; ++q)
        for (int v = 1; v < 16; ++v) {
            const int bit = __builtin_ctz(static_cast<unsigned>(v));
            p[q][v] = static_cast<uint16_t>(p[q][v & (v - 1)] ^ base[4 * q + bit]);
        }
    for (int v = 0; v < 16; ++v) {
        f.tablas[0][v] = static_cast<uint8_t>(p[2][v] >> 8);
        f.tablas[0][16 + v] = static_cast<uint8_t>(p[0][v] >> 8);
        f.tablas[1][v] = static_cast<uint8_t>(p[3][v] >> 8);
        f.tablas[1][16 + v] = static_cast<uint8_t>(p[1][v] >> 8);
        f.tablas[2][v] = static_cast<uint8_t>(p[2][v]);
        f.tablas[2][16 + v] = static_cast<uint8_t>(p[0][v]);
        f.tablas[3][v] = static_cast<uint8_t>(p[3][v]);
        f.tablas[3][16 + v] = static_cast<uint8_t>(p[1][v]);
    }
    // The block from input byte `de` (0 low, 1 high) to output byte `a`.
    const auto bloque = [&](int a, int de) {
        uint64_t columnas = 0;
        for (int j = 0; j < 8; ++j)
            columnas |= uint64_t{static_cast<uint8_t>(base[8 * de + j] >> (8 * a))} << (8 * j);
        return MatrizAfin(columnas);
    };
    f.altoAlto = bloque(1, 1);
    f.bajoBajo = bloque(0, 0);
    f.altoBajo = bloque(1, 0);
    f.bajoAlto = bloque(0, 1);
    return f;
}

// Each nibble position's 16 values, prepared by the compiler.
struct PorCifra {
    PreparadoGalois cifra[4][16];
};
constexpr PorCifra PrepararCifras() {
    PorCifra t{};
    for (int q = 0; q < 4; ++q)
        for (int v = 0; v < 16; ++v)
            t.cifra[q][v] = Preparar(static_cast<uint16_t>(v << (4 * q)));
    return t;
}
constexpr PorCifra Cifras = PrepararCifras();

// What a kernel needs of a factor: the nibble tables, the bit matrices, or both; the sums of
// its nibbles' tabulated parts.
void PrepararFactor(uint16_t factor, bool tablas, bool matrices, FactorGalois& f) {
    f.uno = factor == 1;
    const PreparadoGalois* c[4];
    for (int q = 0; q < 4; ++q)
        c[q] = &Cifras.cifra[q][(factor >> (4 * q)) & 15];
    if (tablas)
        for (int t = 0; t < 4; ++t)
            for (int i = 0; i < 32; ++i)
                f.tablas[t][i] = static_cast<uint8_t>(c[0]->tablas[t][i] ^ c[1]->tablas[t][i] ^
                                                      c[2]->tablas[t][i] ^ c[3]->tablas[t][i]);
    if (matrices) {
        const auto suma = [&](uint64_t PreparadoGalois::*campo) {
            return c[0]->*campo ^ c[1]->*campo ^ c[2]->*campo ^ c[3]->*campo;
        };
        const uint64_t altoAlto = suma(&PreparadoGalois::altoAlto),
                       bajoBajo = suma(&PreparadoGalois::bajoBajo);
        const uint64_t altoBajo = suma(&PreparadoGalois::altoBajo),
                       bajoAlto = suma(&PreparadoGalois::bajoAlto);
        for (int q = 0; q < 2; ++q) {
            f.diagonal[q] = altoAlto;
            f.diagonal[2 + q] = bajoBajo;
            f.cruzada[q] = bajoAlto;
            f.cruzada[2 + q] = altoBajo;
        }
    }
}

FuncionCombinar FuncionDe(NucleoGalois nucleo) {
#if defined(__x86_64__)
    switch (nucleo) {
    case NucleoGalois::Avx2:
        return CombinarAvx2;
    case NucleoGalois::Avx512:
        return CombinarAvx512;
    case NucleoGalois::Gfni:
        return CombinarGfni;
    case NucleoGalois::Gfni512:
        return CombinarGfni512;
    default:
        return nullptr;
    }
#else
    (void)nucleo;
    return nullptr;
#endif
}

} // namespace

void AFormaAlterna(uint8_t* datos, size_t n) {
    const size_t enteros = n / 32 * 32;
    AFormaAlternaBloques(datos, enteros);
    RestoAFormaAlterna(datos + enteros, (n - enteros) / 2);
}

void AFormaPar(uint8_t* datos, size_t n) {
    const size_t enteros = n / 32 * 32;
    AFormaParBloques(datos, enteros);
    RestoAFormaPar(datos + enteros, (n - enteros) / 2);
}

RegionGalois::RegionGalois(NucleoGalois nucleo) : nucleo_(Elegir(nucleo)), funcion_(FuncionDe(nucleo_)) {
    if (funcion_ != nullptr) return;
    gf_ = std::make_unique<gf>();
    if (gf_init_hard(gf_.get(), 16, GF_MULT_SPLIT_TABLE, GF_REGION_ALTMAP, GF_DIVIDE_DEFAULT, 0, 16, 4,
                     nullptr, nullptr) == 0)
        throw std::runtime_error("GF(2^16)");
}

RegionGalois::~RegionGalois() {
    if (gf_) gf_free(gf_.get(), 1);
}

void RegionGalois::CombinarVarios(std::span<const uint8_t* const> origenes,
                                  std::span<const uint16_t> factores, std::span<uint8_t* const> destinos,
                                  size_t n, bool sumar) {
    const size_t k = origenes.size();
    // Parts of whole blocks whose sources' share fits the first-level cache with room to
    // spare; only the last part may end in a part of a block, laid out as in the whole.
    // GF-Complete takes one source at a time and costs more per call: whole regions.
    const size_t parte = funcion_ == nullptr
                             ? std::max<size_t>(n, 32)
                             : std::max<size_t>(1024, 16384 / std::max<size_t>(k, 1) / 32 * 32);
    const bool gfni = nucleo_ == NucleoGalois::Gfni || nucleo_ == NucleoGalois::Gfni512;
    // In one part each destination's factors serve once: prepared just before, while they
    // stay in the cache; over several parts all of them, once.
    const bool unaParte = n <= parte;
    if (funcion_ != nullptr && unaParte) {
        if (factores_.size() < k) factores_.resize(k);
        for (size_t d = 0; d < destinos.size(); ++d) {
            for (size_t i = 0; i < k; ++i)
                PrepararFactor(factores[d * k + i], !gfni, gfni, factores_[i]);
            funcion_(origenes.data(), factores_.data(), k, destinos[d], n / 32, sumar);
            CombinarPalabras(origenes, factores.subspan(d * k, k), destinos[d], n / 32 * 32, n, sumar);
        }
        return;
    }
    if (funcion_ != nullptr) {
        if (factores_.size() < factores.size()) factores_.resize(factores.size());
        for (size_t i = 0; i < factores.size(); ++i)
            PrepararFactor(factores[i], !gfni, gfni, factores_[i]);
    }
    partes_.resize(k);
    for (size_t desde = 0; desde < n; desde += parte) {
        const size_t m = std::min(parte, n - desde);
        for (size_t i = 0; i < k; ++i)
            partes_[i] = origenes[i] + desde;
        for (size_t d = 0; d < destinos.size(); ++d) {
            const std::span<const uint16_t> suyos = factores.subspan(d * k, k);
            if (funcion_ == nullptr) {
                CombinarPortable(partes_, suyos, destinos[d] + desde, m, sumar);
            } else {
                funcion_(partes_.data(), factores_.data() + d * k, k, destinos[d] + desde, m / 32, sumar);
                CombinarPalabras(partes_, suyos, destinos[d] + desde, m / 32 * 32, m, sumar);
            }
        }
    }
}

// GF-Complete wants both regions aligned to 16 bytes; otherwise the tables do the work.
void RegionGalois::CombinarPortable(std::span<const uint8_t* const> origenes,
                                    std::span<const uint16_t> factores, uint8_t* destino, size_t n,
                                    bool sumar) {
    const auto alineado = [](const uint8_t* p) { return reinterpret_cast<uintptr_t>(p) % 16 == 0; };
    bool todos = alineado(destino);
    for (const uint8_t* o : origenes)
        todos = todos && alineado(o);
    if (!todos) return CombinarPalabras(origenes, factores, destino, 0, n, sumar);
    const size_t enteros = n / 32 * 32;
    if (!sumar) std::fill(destino, destino + enteros, uint8_t{0});
    // The library takes an int count: large regions go in parts.
    constexpr size_t parteMaxima = size_t{1} << 30;
    for (size_t i = 0; i < origenes.size(); ++i)
        for (size_t desde = 0; desde < enteros; desde += parteMaxima) {
            const size_t parte = std::min(parteMaxima, enteros - desde);
            gf_->multiply_region.w32(gf_.get(), const_cast<uint8_t*>(origenes[i] + desde), destino + desde,
                                     factores[i], static_cast<int>(parte), 1);
        }
    CombinarPalabras(origenes, factores, destino, enteros, n, sumar);
}

} // namespace quimbel::par
