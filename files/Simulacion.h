// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Fault injection for the tests: a failing device and a kernel without openat2. The file layer
// asks the hooks before each read, write and resolution; what ships defines them weakly to
// always pass, with no state at all, and the tests link the strong definitions of
// files/Simulacion.cpp (library quimbel_simulacion), which the seams below drive.
#include <cstddef>
#include <cstdint>

namespace quimbel {

// Whether n more bytes may be written, or read; false once a simulated allowance is spent.
bool CabeEnDisco(size_t n);
bool LecturaSimulada(size_t n);
// Whether names are resolved by the no-follow component walk instead of openat2.
bool RecorridoSinOpenat2();

// Test seams, as a failing device: once `bytes` more bytes have gone through Escribir or
// EscribirEn, every write fails with ENOSPC (a full disk); once `bytes` more have been
// read through Leer or LeerEn, every read fails with EIO. Negative: never (the default).
void SimularDiscoLleno(int64_t bytes);
void SimularFalloDeLectura(int64_t bytes);

// Test seam: resolve by walking the components with no-follow opens, as where the kernel's
// openat2 is unavailable (old kernels, some container filters).
void ForzarRecorridoSinOpenat2(bool forzar);

} // namespace quimbel
