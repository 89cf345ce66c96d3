#pragma once
// The share of bytes done of a step of a job, reported through its lines as progress
// lines (parity/LlamadaPar.h): at most one per thousandth, so that the caller's window can
// follow without being flooded.
#include "libs/par/Avisos.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace quimbel::par {

// The progress line of hecho bytes done out of total.
std::string LineaAvance(uint64_t hecho, uint64_t total);

class Avance {
  public:
    // Starts a step of `total` bytes: its first line goes out now, on the calling thread.
    Avance(Avisos& avisos, uint64_t total);
    // n more bytes done; on a worker of Avisos::EnParalelo, which queues the line.
    void Sumar(uint64_t n);
    // The step is done: its last line, on the calling thread.
    void Terminar();

  private:
    Avisos& avisos_;
    uint64_t total_;
    std::atomic<uint64_t> hecho_{0};
    std::atomic<uint64_t> milesimas_{0}; // the last thousandth reported
};

} // namespace quimbel::par
