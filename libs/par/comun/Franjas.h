// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How slices are read in stripes, so that the buffers stay small, and how work is handed to
// the threads in groups: one planner for the creation of a set and for its repair.
#include "Limites.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quimbel::par {

// Slices of a file of n bytes.
uint64_t RebanadasDe(uint64_t n, uint64_t tamanoRebanada);

// The slices are read stripe by stripe: the same byte range of every slice, then the next.
struct Franjas {
    uint64_t ancho = 0;  // bytes of every slice in a stripe (the last stripe may have fewer)
    uint64_t fila = 0;   // room of one slice's stripe (a row), a multiple of 64
    uint64_t numero = 1; // stripes
};

// The rows of a stripe a job keeps: per thread, all threads together besides, and those one
// thread works over at once, which should stay in its caches (0: no such bound).
struct FilasFranja {
    uint64_t porHilo = 0;
    uint64_t comunes = 0;
    uint64_t enCache = 0;
};

// Stripes narrow enough that a thread's working rows stay in its cache and all rows stay
// within the memory bound; at least 64 bytes, a multiple of 64 unless one stripe takes whole
// slices.
Franjas PlanearFranjas(uint64_t tamanoRebanada, const FilasFranja& filas, unsigned hilos,
                       const Limites& limites);

// n items cut into consecutive groups of at most `carriles`, as even as can be, their
// number a multiple of `hilos` so that the threads get equal shares.
struct Grupo {
    size_t desde = 0, hasta = 0;
};
std::vector<Grupo> Agrupar(size_t n, unsigned hilos, unsigned carriles);

} // namespace quimbel::par
