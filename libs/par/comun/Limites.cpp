// SPDX-License-Identifier: GPL-3.0-or-later
#include "Limites.h"

#include <sys/resource.h>

#include <algorithm>
#include <fstream>
#include <string>
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

namespace {

// A field of /proc/meminfo, in bytes; 0 when it cannot be read. A few short lines of the
// kernel's: the read ends.
uint64_t LeerMemoria(const std::string& campo) {
    std::ifstream meminfo("/proc/meminfo");
    std::string nombre;
    uint64_t kib = 0;
    while (meminfo >> nombre >> kib) {
        if (nombre == campo) return kib * 1024;
        meminfo.ignore(64, '\n');
    }
    return 0;
}

} // namespace

uint64_t MemoriaParaSistema(const Limites& limites) {
    if (limites.memoriaSistema != 0) return limites.memoriaSistema;
    uint64_t disponible = LeerMemoria("MemAvailable:");
    rlimit limite{};
    if (getrlimit(RLIMIT_AS, &limite) == 0 && limite.rlim_cur != RLIM_INFINITY)
        disponible = disponible == 0 ? limite.rlim_cur : std::min<uint64_t>(disponible, limite.rlim_cur);
    return disponible > limites.memoria ? disponible - limites.memoria : 0;
}

uint64_t MemoriaParaFlujo(const Limites& limites) {
    return limites.memoriaFlujo != 0 ? limites.memoriaFlujo : LeerMemoria("MemTotal:") / 4;
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
