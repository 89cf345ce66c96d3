// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The multiply-add kernels of GF(2^16), one per instruction set, each in a source compiled
// for that set alone. Such a source includes nothing with inline code but this header and
// the compiler's intrinsics: an inline function compiled there could be the copy the
// linker keeps for the whole library, and run where the set is missing. (This header's one
// template lies in an unnamed namespace: each source keeps its own copy.)
//
// Data are in the alternate layout, in blocks of 32 bytes: the high bytes of 16 words,
// then their low bytes. A product of a word w = lo | hi << 8 by c splits by nibbles:
// c*w = P0(lo & 15) ^ P1(lo >> 4) ^ P2(hi & 15) ^ P3(hi >> 4), Pp(v) = c * (v << 4p).
#include <cstddef>
#include <cstdint>

namespace quimbel::par {

// What the kernels need of one factor c, prepared by portable code.
struct FactorGalois {
    // Byte tables by 16-byte half (the high-byte half of a block first): [hi(P2) | hi(P0)],
    // [hi(P3) | hi(P1)], [lo(P2) | lo(P0)], [lo(P3) | lo(P1)], indexed by a nibble.
    alignas(32) uint8_t tablas[4][32];
    // 8x8 bit matrices of GF2P8AFFINEQB by 16-byte half: [high from high | low from low]
    // and [low from high | high from low]; the second's result lands in the wrong half,
    // so its sum over all sources has its halves swapped once at the end.
    alignas(32) uint64_t diagonal[4];
    alignas(32) uint64_t cruzada[4];
    // c is 1 (every factor of recovery slice 0): a kernel may add the source as it is.
    bool uno;
};

// The kernels unroll their loops over the U registers they work on at once ("GCC unroll",
// which clang honours too), so that those registers are never arrays in memory.
//
// destino = Σ factores[i] * origenes[i] over `bloques` blocks of 32 bytes, added to what
// destino holds when sumar. Any alignment; origenes never overlap destino.
using FuncionCombinar = void (*)(const uint8_t* const* origenes, const FactorGalois* factores, size_t cuantos,
                                 uint8_t* destino, size_t bloques, bool sumar);

void CombinarAvx2(const uint8_t* const* origenes, const FactorGalois* factores, size_t cuantos,
                  uint8_t* destino, size_t bloques, bool sumar);
void CombinarAvx512(const uint8_t* const* origenes, const FactorGalois* factores, size_t cuantos,
                    uint8_t* destino, size_t bloques, bool sumar);
void CombinarGfni(const uint8_t* const* origenes, const FactorGalois* factores, size_t cuantos,
                  uint8_t* destino, size_t bloques, bool sumar);
void CombinarGfni512(const uint8_t* const* origenes, const FactorGalois* factores, size_t cuantos,
                     uint8_t* destino, size_t bloques, bool sumar);

namespace {

// A kernel's walk over `bloques` blocks of 32 bytes: Grupo blocks at a time by ancho(desde),
// then Paso at a time by estrecho(desde), desde in bytes. Returns the blocks done (the rest
// are fewer than Paso).
template <size_t Grupo, size_t Paso, class Ancho, class Estrecho>
size_t RecorrerBloques(size_t bloques, Ancho ancho, Estrecho estrecho) {
    size_t b = 0;
    for (; b + Grupo <= bloques; b += Grupo)
        ancho(32 * b);
    for (; b + Paso <= bloques; b += Paso)
        estrecho(32 * b);
    return b;
}

} // namespace

} // namespace quimbel::par
