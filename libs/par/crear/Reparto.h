// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a new set is cut into slices.
#include "Franjas.h"
#include "Limites.h"

#include <cstdint>
#include <optional>
#include <span>

namespace quimbel::par {

struct Reparto {
    uint64_t tamano = 0;   // slice size, a multiple of 4
    uint32_t porTrozo = 0; // most slices in one piece: the recovery slices of each volume
    uint32_t total = 0;    // input slices of the whole set
};

// One slice per piece, the largest piece rounded up to a multiple of 4, while that piece
// fits in rebanadaMaxima; a larger one is cut into the fewest equal slices of at most
// rebanadaMaxima (rounded up to a multiple of 4), k per piece. The slice grows further
// only when the set's input slices, or its `volumenes` * k recovery slices, would pass
// rebanadasMaximas. None when even one slice per piece is too many, or when there is no
// byte to slice.
std::optional<Reparto> Repartir(std::span<const uint64_t> tamanos, uint64_t volumenes,
                                const Limites& limites);

// The rows of a stripe a creation keeps: per thread, the stripe of each slice of a group of
// `carriles` and two sets of sums (one in use at a time), a row per recovery slice.
FilasFranja FilasDeCreacion(uint32_t recuperacion, unsigned carriles);

} // namespace quimbel::par
