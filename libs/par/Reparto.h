#pragma once
// How a set is cut into slices, and how the recovery work is cut into passes so
// that the buffers stay within the memory bound.
#include "libs/par/Limites.h"

#include <cstdint>
#include <optional>
#include <span>

namespace quimbel::par {

struct Reparto {
    uint64_t tamano = 0;   // slice size, a multiple of 4
    uint32_t porTrozo = 0; // most slices in one piece
    uint32_t total = 0;    // input slices of the whole set
};

// Slices of a file of n bytes.
uint64_t RebanadasDe(uint64_t n, uint64_t tamanoRebanada);

// One slice per piece, the largest piece rounded up to a multiple of 4; a piece over
// rebanadaMaxima gives k = ceil(largest / rebanadaMaxima) slices per piece. The slice
// grows further when the set would exceed rebanadasMaximas; none when even one slice
// per piece is too many, or when there is no byte to slice.
std::optional<Reparto> Repartir(std::span<const uint64_t> tamanos, const Limites& limites);

struct Pasadas {
    uint64_t ancho = 0;  // bytes of every slice handled per pass (the last pass may have fewer)
    uint64_t fila = 0;   // distance between two recovery slices in a buffer, a multiple of 64
    uint32_t numero = 1; // passes over the slices
};

// The widest pass whose recovery buffers (one set per thread) fit in memory beside the
// read buffers. One pass when there is nothing to recover.
Pasadas PlanearPasadas(uint64_t tamanoRebanada, uint32_t recuperacion, unsigned hilos, const Limites& limites);

} // namespace quimbel::par
