#pragma once
// How many files a job may keep open from one stripe to the next.
#include "libs/par/Limites.h"

#include <cstdint>

namespace quimbel::par {

// Whether n files fit the bound on files kept open: the limits' own, or by default half the
// process's limit, leaving the rest to the caller.
bool CabenAbiertos(const Limites& limites, uint64_t n);

} // namespace quimbel::par
