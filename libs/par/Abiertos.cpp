#include "libs/par/Abiertos.h"

#include <sys/resource.h>

namespace quimbel::par {

bool CabenAbiertos(const Limites& limites, uint64_t n) {
    uint64_t abiertos = limites.abiertos;
    if (abiertos == 0) {
        rlimit limite{};
        if (getrlimit(RLIMIT_NOFILE, &limite) != 0) return false;
        abiertos = limite.rlim_cur == RLIM_INFINITY ? 65536 : limite.rlim_cur / 2;
    }
    return n <= abiertos;
}

} // namespace quimbel::par
