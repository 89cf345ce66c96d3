// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The block copy through which the split and the join move all their data.
#include <cstddef>
#include <cstdint>
#include <functional>

#include "Avance.h"
#include "Ficheros.h"

namespace quimbel {

// Sees the bytes of one block a copy has written.
using VerBloque = std::function<void(const unsigned char* datos, size_t n)>;

// Size of a copy's transfer buffer, allocated by each copy (64 KiB when that fails).
inline constexpr int64_t TamBufferCopia = 1000000;

// Appends cuenta bytes of origen, from byte offset on, at destino's current position,
// in blocks of 1,000,000 bytes (of 64 KiB when memory is short). A range that runs past the end of origen
// copies what exists. 0 on success (also for cuenta <= 0, which touches nothing); -1 when a seek, read or
// write fails or stores fewer bytes than handed. When copiados is given it receives the bytes written, so
// that a caller that needs exactly cuenta can tell a source that ended early. Each block written counts in
// avance, when given (the window paints during a long piece), and a run asked to stop (Avance::Interrumpido)
// stops after that block with -1. Every block written is shown to `ver`, when given, in order (a checksum
// computed on the way, with no second read). Copies may run at once on distinct threads.
int CopiarBloque(Fichero& origen, Fichero& destino, int64_t offset, int64_t cuenta,
                 int64_t* copiados = nullptr, Avance* avance = nullptr, const VerBloque* ver = nullptr);

} // namespace quimbel
