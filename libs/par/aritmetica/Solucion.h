// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The GF(2^16) system of a repair. The missing input slices are the unknowns; each recovery
// slice at hand, less the share of the intact slices (its syndrome), gives one equation whose
// factors are the missing slices' constants raised to its exponent. When the exponents at hand
// hold a run of consecutive ones as long as the unknowns, the first such run is used: its
// matrix is a Vandermonde one scaled by columns, always invertible (the constants differ),
// and inverted in O(m^2). Otherwise Gauss-Jordan elimination runs on all the job's threads with
// the multiply-add kernels, taking the recovery slices in increasing exponent; one whose
// equation depends on those taken before (a singular choice) is passed over for the next.
#include "Avisos.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace quimbel::par {

struct Solucion {
    std::vector<uint32_t> exponentes; // the recovery slices used, one per missing slice
    // m × m: row k holds the factors that give missing slice k from the syndromes of those
    // recovery slices, in the order of exponentes.
    std::vector<uint16_t> factores;
};

// How a solve ended.
enum class Resuelto {
    Si,
    SinRango,   // fewer independent equations than unknowns
    SinMemoria, // the solve needs more than the bound given
};

// logaritmos: of the missing slices' constants, in the unknowns' order; disponibles: the
// exponents at hand, increasing. `memoria` bounds the bytes the solve takes (MemoriaResolver);
// the work goes on `hilos` threads of avisos (its stop request ends it, as SinRango). Si and
// the solution; otherwise rango tells how many independent equations were found (for
// SinMemoria, none were looked for: 0).
Resuelto Resolver(std::span<const uint32_t> logaritmos, std::span<const uint32_t> disponibles,
                  Solucion& solucion, size_t& rango, uint64_t memoria, unsigned hilos, Avisos& avisos);

// The bytes of memory Resolver takes for m unknowns and those exponents.
uint64_t MemoriaResolver(uint64_t m, std::span<const uint32_t> disponibles);

} // namespace quimbel::par
