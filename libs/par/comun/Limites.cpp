#include "Limites.h"

#include <sys/resource.h>

#include <algorithm>
#include <thread>

namespace quimbel::par {

uint64_t AbiertosPermitidos(const Limites& limites) {
    uint64_t abiertos = limites.abiertos;
    if (abiertos == 0) {
        rlimit limite{};
        if (getrlimit(RLIMIT_NOFILE, &limite) != 0) return 4;
        abiertos = limite.rlim_cur == RLIM_INFINITY ? 65536 : std::min<uint64_t>(limite.rlim_cur / 2, 65536);
    }
    return std::max<uint64_t>(abiertos, 4);
}

bool CabenAbiertos(const Limites& limites, uint64_t n) {
    return n <= AbiertosPermitidos(limites);
}

unsigned Hilos(const Limites& limites, uint64_t trabajos) {
    constexpr unsigned maximo = 16;
    const unsigned hilos = limites.hilos != 0
                               ? limites.hilos
                               : std::min(maximo, std::max(1u, std::thread::hardware_concurrency()));
    return static_cast<unsigned>(std::clamp<uint64_t>(trabajos, 1, hilos));
}

} // namespace quimbel::par
