#pragma once
// The GF(2^16) system of a repair. The missing input slices are the unknowns; each recovery
// slice at hand, less the share of the intact slices (its syndrome), gives one equation whose
// factors are the missing slices' constants raised to its exponent. Gaussian elimination
// takes the recovery slices in increasing exponent; one whose equation depends on those taken
// before (a singular choice) is passed over for the next.
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

// logaritmos: of the missing slices' constants, in the unknowns' order; disponibles: the
// exponents at hand, increasing. True and the solution; false when fewer independent
// equations than unknowns were found, rango telling how many.
bool Resolver(std::span<const uint32_t> logaritmos, std::span<const uint32_t> disponibles, Solucion& solucion,
              size_t& rango);

// The bytes of memory Resolver takes for m unknowns.
uint64_t MemoriaResolver(uint64_t m);

} // namespace quimbel::par
