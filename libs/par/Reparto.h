#pragma once
// How a set is cut into slices, and how the slices are read in stripes so that the
// buffers stay small.
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

// The slices are read stripe by stripe: the same byte range of every slice, then the
// next range. Each thread keeps its sums of the stripe for every recovery slice.
struct Franjas {
    uint64_t ancho = 0;  // bytes of every slice in a stripe (the last stripe may have fewer)
    uint64_t fila = 0;   // room of one recovery slice's sums, a multiple of 64
    uint64_t numero = 1; // stripes
};

// Stripes narrow enough that a thread's sums and data stay in its cache and all threads'
// buffers stay within the memory bound; at least 64 bytes, a multiple of 64 unless one
// stripe takes whole slices.
Franjas PlanearFranjas(uint64_t tamanoRebanada, uint32_t recuperacion, unsigned hilos,
                       const Limites& limites);

} // namespace quimbel::par
