#pragma once
// A whole creation job: the argument vector read and checked, the outputs made ready, the
// pieces read and the set written.
#include "Avisos.h"
#include "Disco.h"
#include "Limites.h"

#include <span>
#include <string>

namespace quimbel::par {

// Runs the job the vector (program name first) describes in the job's folder (see
// LlamadaPar.h); its texts go through avisos. 0 when the set was written; otherwise 1, after
// one line that says why, and no file of the set is left half-written.
int EjecutarPar(std::span<const std::string> argumentos, const CarpetaDelTrabajo& trabajo, Avisos& avisos,
                const Limites& limites);

} // namespace quimbel::par
