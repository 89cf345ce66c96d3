// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The bounds a job works within. The library uses the defaults; tests lower them to
// reach several slices per piece, many stripes and several threads with small files, and
// force each kernel in turn.
#include "Nucleos.h"

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace quimbel::par {

// How often a working job says how far it is: under a second, each text being one line of
// the caller's log.
inline constexpr std::chrono::milliseconds IntervaloAvance{900};

// Input slices of a set, and recovery exponents: the count of the field's constants.
inline constexpr uint32_t RebanadasMaximas = 32768;

struct Limites {
    uint64_t rebanadaMaxima = uint64_t{16} << 20; // a larger piece is cut into several slices
    uint32_t rebanadasMaximas = RebanadasMaximas; // input slices of a set, and recovery slices
    uint64_t memoria = uint64_t{256} << 20;       // buffers of a job, all threads together
    uint64_t memoriaSistema = 0; // for a repair's linear system; 0: what the machine has free
    uint64_t memoriaFlujo = 0;   // recovery data a job fed its pieces may hold; 0: a quarter of the machine's
    uint64_t franjaMaxima = uint64_t{1} << 20; // bytes of a slice read at a time (a multiple of 64)
    uint64_t cache = uint64_t{4} << 20;        // data and sums a thread should keep in its caches
    unsigned hilos = 0;                        // worker threads; 0: one per core
    unsigned abiertos = 0; // files a job may keep open between stripes; 0: half the process's limit
    NucleoGalois nucleoGalois = NucleoGalois::Automatico; // the multiply-add kernel
    NucleoMd5 nucleoMd5 = NucleoMd5::Automatico;          // the MD5 kernel
    std::chrono::milliseconds avance = IntervaloAvance;   // between two texts of how far a job is
};

// The files a job may hold open at once: the limits' own, or by default half the process's
// soft limit (RLIMIT_NOFILE, read at each call), leaving the rest to the caller; at least 4.
uint64_t AbiertosPermitidos(const Limites& limites);

// The bytes a repair's linear system may take: the limits' own, or the memory the machine has
// available now (MemAvailable), within the process's soft address-space bound, less the job's
// buffers.
uint64_t MemoriaParaSistema(const Limites& limites);

// The recovery data a job fed the pieces' bytes may hold: the limits' own, or a quarter of the
// machine's memory (MemTotal).
uint64_t MemoriaParaFlujo(const Limites& limites);

// Whether n files fit the bound on files kept open (AbiertosPermitidos).
bool CabenAbiertos(const Limites& limites, uint64_t n);

// The worker threads of a step of `trabajos` parts of work: the bounds' count, or one per core
// up to 16; never more than the parts, never fewer than one.
unsigned Hilos(const Limites& limites, uint64_t trabajos);

} // namespace quimbel::par
