// SPDX-License-Identifier: GPL-3.0-or-later
#include "Procesador.h"

#include <cstdint>

#if defined(__x86_64__)
#include <cpuid.h>
#endif

namespace quimbel::par {
namespace {

#if defined(__x86_64__)
// XCR0: which register states the operating system saves.
uint64_t EstadosGuardados() {
    uint32_t bajo = 0, alto = 0;
    __asm__ volatile("xgetbv" : "=a"(bajo), "=d"(alto) : "c"(0));
    return (uint64_t{alto} << 32) | bajo;
}

Extensiones Leer() {
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (__get_cpuid(1, &a, &b, &c, &d) == 0) return {};
    const bool osxsave = (c >> 27) & 1, avx = (c >> 28) & 1;
    if (!osxsave || !avx || __get_cpuid_max(0, nullptr) < 7) return {};
    const uint64_t xcr0 = EstadosGuardados();
    const bool estadoYmm = (xcr0 & 0x6) == 0x6;   // SSE and AVX
    const bool estadoZmm = (xcr0 & 0xE6) == 0xE6; // and opmask, ZMM halves, ZMM16-31
    __cpuid_count(7, 0, a, b, c, d);
    Extensiones e;
    e.avx = estadoYmm;
    e.avx2 = estadoYmm && ((b >> 5) & 1);
    e.avx512bw = e.avx2 && estadoZmm && ((b >> 16) & 1) && ((b >> 30) & 1);
    e.gfni = e.avx2 && ((c >> 8) & 1);
    return e;
}
#else
Extensiones Leer() {
    return {};
}
#endif

} // namespace

const Extensiones& ExtensionesDelProcesador() {
    static const Extensiones extensiones = Leer();
    return extensiones;
}

} // namespace quimbel::par
