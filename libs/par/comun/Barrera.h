// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A barrier of the worker threads of a job: every phase ends when each thread still taking
// part has arrived, and a thread that stops leaves it, so that the others never wait for it.
// Each thread holds a PuestoEnBarrera, which leaves on every way out of its task (a return,
// a failure, an exception); Avisos::EnParalelo gives them out, and leaves for a thread that
// could not be started.
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <utility>

namespace quimbel::par {

class Barrera {
  public:
    // alCompletar runs once at the end of each phase, on the last thread to arrive, before
    // any thread goes on.
    Barrera(size_t participantes, std::function<void()> alCompletar)
        : esperados_(participantes), alCompletar_(std::move(alCompletar)) {}
    Barrera(const Barrera&) = delete;
    Barrera& operator=(const Barrera&) = delete;

    // Arrives and waits for the end of the phase.
    void Esperar();
    // Arrives for the last time: the phase and every later one go on without this thread.
    void Salir();

  private:
    void Completar(); // with the mutex held

    std::mutex mutex_;
    std::condition_variable fin_;
    size_t esperados_;
    size_t llegados_ = 0;
    uint64_t fase_ = 0;
    std::function<void()> alCompletar_;
};

// One thread's place in a barrier, left when it goes out of scope.
class PuestoEnBarrera {
  public:
    explicit PuestoEnBarrera(Barrera& barrera) : barrera_(barrera) {}
    ~PuestoEnBarrera() { Salir(); }
    PuestoEnBarrera(const PuestoEnBarrera&) = delete;
    PuestoEnBarrera& operator=(const PuestoEnBarrera&) = delete;

    // Waits for the others at the end of a phase; nothing once left.
    void Esperar() {
        if (!fuera_) barrera_.Esperar();
    }
    // Leaves now (once).
    void Salir() {
        if (!fuera_) barrera_.Salir();
        fuera_ = true;
    }

  private:
    Barrera& barrera_;
    bool fuera_ = false;
};

} // namespace quimbel::par
