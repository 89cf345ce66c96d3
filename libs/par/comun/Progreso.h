// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The bytes done of a step of a job, reported through the caller's callback in the one
// progress format (LLAMADA_PAR_AVANCE: "%123/4567"): at most one text per thousandth, so that
// the caller's window can follow without being flooded. While it lasts it is the step whose
// percentage Avisos::DecirPorcentajes tells.
#include "Avisos.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <string>

namespace quimbel::par {

// The progress text of hecho bytes done out of total.
std::string TextoAvance(uint64_t hecho, uint64_t total);

class Progreso {
  public:
    // Starts a step of `total` bytes: its first text goes out now, on the calling thread.
    Progreso(Avisos& avisos, uint64_t total);
    ~Progreso();
    Progreso(const Progreso&) = delete;
    Progreso& operator=(const Progreso&) = delete;

    // n more bytes done; on a worker of Avisos::EnParalelo, which queues the text.
    void Sumar(uint64_t n);
    // The step is done: its last text, on the calling thread.
    void Terminar();

    uint64_t Hecho() const { return std::min(total_, hecho_.load(std::memory_order_relaxed)); }
    uint64_t Total() const { return total_; }

  private:
    Avisos& avisos_;
    const Progreso* anterior_;
    uint64_t total_;
    std::atomic<uint64_t> hecho_{0};
    std::atomic<uint64_t> milesimas_{0}; // the last thousandth reported
};

} // namespace quimbel::par
