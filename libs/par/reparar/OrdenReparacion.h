// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The check and repair jobs an argument vector describes: "verify" or "repair", the
// option -d FOLDER, "--", the set's index and the other files to search for its slices.
#include "Fallo.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quimbel::par {

struct OrdenReparacion {
    bool reparar = false;               // "repair"; "verify" only checks
    std::string indice;                 // the index (or any file of the set) by its path
    std::optional<std::string> carpeta; // -d: the folder of the listed files; else the index's
    std::vector<std::string> otros;     // files after the index, where slices are looked for too
};

// Whether the vector (program name first) asks for a check or a repair.
bool EsOrdenReparacion(std::span<const std::string> argumentos);

// Reads the vector, program name first. Nothing (the job then in orden), or the refusal.
Fallo LeerOrdenReparacion(std::span<const std::string> argumentos, OrdenReparacion& orden);

} // namespace quimbel::par
