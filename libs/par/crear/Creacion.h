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
// one line that says why, or LLAMADA_PAR_INTERRUMPIDA, without a line, when avisos was told to
// stop. Either way the set's files were never under their names and an earlier set (moved to
// ".old" with -m only once the new one is whole) is as it was.
int EjecutarPar(std::span<const std::string> argumentos, const CarpetaDelTrabajo& trabajo, Avisos& avisos,
                const Limites& limites);

} // namespace quimbel::par
