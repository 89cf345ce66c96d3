// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The listed pieces, checked before anything is read or written.
#include "Disco.h"
#include "Fallo.h"
#include "OrdenPar.h"

#include <string>
#include <vector>

namespace quimbel::par {

struct Entrada {
    std::string nombre; // bare name, in the folder of the pieces
    uint64_t tamano = 0;
};

// Each piece must be a bare name that a set may carry (NombreJuegoValido), listed once (without
// regard to case under +C). Nothing or the refusal.
Fallo ExaminarNombres(const OrdenPar& orden);

// ExaminarNombres, and each piece an existing regular file in `carpeta`. Nothing (the pieces then
// in entradas), or the refusal.
Fallo ExaminarEntradas(const OrdenPar& orden, const quimbel::Carpeta& carpeta,
                       std::vector<Entrada>& entradas);

} // namespace quimbel::par
