// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The vector extensions the kernels need, as the processor offers them and the operating
// system saves their registers on a thread switch.
namespace quimbel::par {

struct Extensiones {
    bool avx = false; // with the YMM state saved
    bool avx2 = false;
    bool avx512bw = false; // AVX-512 F and BW, with the ZMM state saved
    bool gfni = false;     // GFNI usable on 256-bit registers (with AVX2)
};

// Read once, from cpuid and xgetbv; all false on other processors. The one record of them in
// the library, never changed after it is read.
const Extensiones& ExtensionesDelProcesador();

} // namespace quimbel::par
