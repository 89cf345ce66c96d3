// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The job an argument vector describes: "add", the options -n<count>, -m and +C,
// "--", the PAR path and the pieces by bare name.
#include "Fallo.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quimbel::par {

struct OrdenPar {
    uint64_t pares = 0;             // pieces that can be rebuilt (-n); 0: the index alone
    bool renombrarViejos = false;   // -m: existing outputs become "<name>.old"
    bool mayusculasIguales = false; // +C: names differing only in case are the same file
    std::string rutaPar;            // the first file after "--"
    std::vector<std::string> trozos;
};

// Reads the vector, program name first. Nothing (the job then in orden), or the refusal.
Fallo LeerOrden(std::span<const std::string> argumentos, OrdenPar& orden);

} // namespace quimbel::par
