// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one-pass PAR set of a split: the parity library's streamed creation, handed the pieces'
// bytes as the split writes them, so that the pieces are never read back. Whether a split takes
// it is decided here, once: when the library has the entry and takes the job (its recovery data
// within the bound); otherwise the split keeps the separate PAR step (PasoPar after the pieces).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "parity/Bibliotecas.h"
#include "parity/Par.h"
#include "parity/PasoPar.h"

namespace quimbel {

class ParEnFlujo {
  public:
    // The job of the PAR step `entrada` would call (its vector, in its folder, which must be
    // open), the pieces of the sizes given, in the entry's order. None, with nothing written or
    // shown, when the library lacks the streamed creation, the count is no number, a piece name
    // is refused, the pieces are more than MaxTrozosPar, or the library declines the job: a check
    // of its refuses it, or the recovery slices times the slice size pass `memoria` bytes (0: a
    // quarter of the machine's memory, as the library reads it).
    static std::unique_ptr<ParEnFlujo> Abrir(const EntradaPar& entrada, const std::vector<uint64_t>& tamanos,
                                             uint64_t memoria);
    // A job not ended is abandoned: nothing of the set is written.
    ~ParEnFlujo();
    ParEnFlujo(const ParEnFlujo&) = delete;
    ParEnFlujo& operator=(const ParEnFlujo&) = delete;

    // The first min(16 KiB, size) bytes of piece i, before any Datos; the job breaks when refused.
    void Principio(size_t i, const void* datos, size_t n);
    // The next bytes of the pieces, piece after piece; the job breaks when refused.
    void Datos(const void* datos, size_t n);
    // The pieces worth writing at once, one part of each per DatosDe: 1 when the library takes
    // one piece after another only.
    size_t Anchura() const { return funciones_.datosDe != nullptr ? LLAMADA_PAR_FLUJO_ANCHURA : 1; }
    struct Parte {
        int32_t trozo; // in the entry's order
        const void* datos;
        uint64_t n;
    };
    // The next bytes of each part's piece (at most Anchura, distinct pieces); each piece's bytes
    // in order. The job breaks when refused.
    void DatosDe(const std::vector<Parte>& partes);
    // Whether a refusal broke the job (the PAR step then calls the library as before).
    bool Roto() const { return roto_; }
    // Writes the set, the texts going through ProgresoPar with the context and the window's
    // stop question asked (DetenerPar), as LlamarPar's call does; its result. The job ends.
    int32_t Terminar(ContextoPar& contexto);

  private:
    ParEnFlujo(const FuncionesFlujoPar& funciones, ParFlujo* trabajo)
        : funciones_(funciones), trabajo_(trabajo) {}

    FuncionesFlujoPar funciones_;
    ParFlujo* trabajo_;
    bool roto_ = false;
};

} // namespace quimbel
