#pragma once
// How a set is cut into slices, how the slices are read in stripes so that the buffers
// stay small, and how work is handed to the threads in groups.
#include "libs/par/Limites.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace quimbel::par {

struct Reparto {
    uint64_t tamano = 0;   // slice size, a multiple of 4
    uint32_t porTrozo = 0; // most slices in one piece: the recovery slices of each volume
    uint32_t total = 0;    // input slices of the whole set
};

// Slices of a file of n bytes.
uint64_t RebanadasDe(uint64_t n, uint64_t tamanoRebanada);

// One slice per piece, the largest piece rounded up to a multiple of 4, while that piece
// fits in rebanadaMaxima; a larger one is cut into the fewest equal slices of at most
// rebanadaMaxima (rounded up to a multiple of 4), k per piece. The slice grows further
// only when the set's input slices, or its `volumenes` * k recovery slices, would pass
// rebanadasMaximas. None when even one slice per piece is too many, or when there is no
// byte to slice.
std::optional<Reparto> Repartir(std::span<const uint64_t> tamanos, uint64_t volumenes,
                                const Limites& limites);

// The slices are read stripe by stripe: the same byte range of every slice, then the
// next range. A thread reads the stripe of a group of up to `carriles` slices at once
// and keeps its sums of the stripe for every recovery slice, in two sets (even and odd
// stripes).
struct Franjas {
    uint64_t ancho = 0;  // bytes of every slice in a stripe (the last stripe may have fewer)
    uint64_t fila = 0;   // room of one slice's stripe or one recovery slice's sums, a multiple of 64
    uint64_t numero = 1; // stripes
};

// Stripes narrow enough that a thread's data and sums stay in its cache and all threads'
// buffers stay within the memory bound; at least 64 bytes, a multiple of 64 unless one
// stripe takes whole slices.
Franjas PlanearFranjas(uint64_t tamanoRebanada, uint32_t recuperacion, unsigned hilos, unsigned carriles,
                       const Limites& limites);

// n items cut into consecutive groups of at most `carriles`, as even as can be, their
// number a multiple of `hilos` so that the threads get equal shares.
struct Grupo {
    size_t desde = 0, hasta = 0;
};
std::vector<Grupo> Agrupar(size_t n, unsigned hilos, unsigned carriles);

} // namespace quimbel::par
