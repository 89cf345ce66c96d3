// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The CRC-32 provider: the shipped library libcrc32.so, loaded once at start-up and released
// at the end (parity/Bibliotecas.h owns it), and CrcFichero, the one routine that computes a
// file's CRC-32 through it.
#include <cstdint>
#include <optional>
#include <string>

#include "files/Avance.h"
#include "files/Biblioteca.h"
#include "libs/crc32/include/Crc32Contrato.h"

namespace quimbel {

// Bytes read and folded in per step.
inline constexpr size_t BloqueCrc = 1000000;

// Loads the provider by its bare name (from carpetaPrimero, else by the system's order)
// and looks up its crc32 export. Silent: a missing library or export only leaves the
// provider unusable. Loading again first releases what was loaded before.
void CargarCrc(const std::string& carpetaPrimero = CarpetaDelEjecutable());

// Releases the provider; nothing happens when none was loaded.
void LiberarCrc();

// True once the library has been loaded (whether or not it had the export).
bool CrcCargada();

// A CRC-32 computed block by block through the provider, over bytes a run moves anyway.
class CrcEnCurso {
  public:
    CrcEnCurso();
    // Whether the provider can compute it (loaded, with its export); otherwise Sumar does nothing.
    bool Disponible() const { return funcion_ != nullptr; }
    // Folds n more bytes in.
    void Sumar(const void* datos, size_t n);
    // The CRC-32 of every byte folded in so far.
    uint32_t Valor() const { return valor_; }

  private:
    Crc32Funcion funcion_;
    uint32_t valor_ = 0;
};

// The CRC-32 of the whole file, read front to back in blocks of BloqueCrc bytes, each counted
// in avance when given. None when no provider with the export is loaded, the file cannot be
// opened, the buffer cannot be allocated or a read fails, and when the run is asked to stop
// (Avance::Interrumpido) before the file's last block.
std::optional<uint32_t> CrcFichero(const std::string& ruta, Avance* avance = nullptr);

} // namespace quimbel
