// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whether the bytes of a piece give what its set's list records, from the bytes the join
// copies (no second read): the SFV file's CRC-32 of the whole file, or the PAR2 set's CRC-32 of
// each slice.
#include <cstdint>
#include <optional>
#include <string>

#include "ListaDelJuego.h"
#include "files/CopiarBloque.h"
#include "files/Ficheros.h"
#include "verify/Crc.h"

namespace quimbel {

class ComprobacionTrozo {
  public:
    // The piece at `nombre` (its path), checked when the list names it and a CRC-32 provider is
    // loaded; no list: nothing is checked.
    ComprobacionTrozo(const ListaDelJuego* lista, const std::string& nombre);
    ComprobacionTrozo(const ComprobacionTrozo&) = delete;
    ComprobacionTrozo& operator=(const ComprobacionTrozo&) = delete;

    // Whether the piece is listed and can be checked.
    bool Activa() const { return esperado_ != nullptr; }
    // Reads the header bytes the join skips (the first `inicio`): false when they cannot be read.
    bool Cabecera(const Fichero& trozo, int64_t inicio);
    // The observer of the bytes copied; null when the piece is not checked.
    const VerBloque* Ver() const { return Activa() ? &ver_ : nullptr; }
    // Once every byte went by: whether they give what the list records.
    bool Correcta();

  private:
    void Sumar(const unsigned char* datos, size_t n);
    // Ends the slice in progress: compares its CRC-32 with the next one listed.
    void CerrarRebanada();

    const EsperadoTrozo* esperado_ = nullptr;
    CrcEnCurso crc_;          // of the whole file, or of the slice in progress
    uint64_t enRebanada_ = 0; // bytes of the slice in progress
    size_t rebanada_ = 0;     // slices ended
    bool bien_ = true;
    VerBloque ver_ = [this](const unsigned char* datos, size_t n) { Sumar(datos, n); };
};

} // namespace quimbel
