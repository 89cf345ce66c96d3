#pragma once
// The listed pieces, checked before anything is read or written.
#include "libs/par/Disco.h"
#include "libs/par/Fallo.h"
#include "libs/par/Orden.h"

#include <string>
#include <vector>

namespace quimbel::par {

struct Entrada {
    std::string nombre; // bare name, in the current folder
    uint64_t tamano = 0;
};

// Each piece must be a bare name, listed once (without regard to case under +C), and
// an existing regular file. Nothing (the pieces then in entradas), or the line of the refusal.
Fallo ExaminarEntradas(const OrdenPar& orden, std::vector<Entrada>& entradas);

} // namespace quimbel::par
