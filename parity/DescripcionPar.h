// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a PAR2 set says of the files it lists, read by the parity library from the set's own
// files, so that a reader of those files can check them as it goes.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "files/Carpeta.h"

namespace quimbel {

// One file a PAR2 set lists.
struct FicheroPar {
    std::string nombre;          // beneath the set's folder, as the set lists it
    uint64_t tamano = 0;         // its listed length
    uint64_t tamanoRebanada = 0; // the set's slice size
    // The CRC-32 of each slice, the last padded with zeros to the slice size; empty when the
    // set holds no checksums for it.
    std::vector<uint32_t> crcs;
};

// The files the PAR2 set in carpeta lists, from its file named `indice` (no folder), in set
// order; none when the library is not loaded or lacks the entry, or no usable set is there.
std::optional<std::vector<FicheroPar>> DescribirJuegoPar(const Carpeta& carpeta, const std::string& indice);

} // namespace quimbel
