#pragma once
// Progress lines of a job. Worker threads queue them; the calling thread alone hands
// them to the caller's callback, while it waits for the workers.
#include "libs/par/Fallo.h"
#include "libs/par/Limites.h"
#include "parity/LlamadaPar.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>

namespace quimbel::par {

class Avisos {
  public:
    explicit Avisos(ProgresoParFuncion progreso) : progreso_(progreso) {}

    // On the calling thread: the line goes to the callback now.
    void Decir(const std::string& linea) const;
    // On a worker: the line is queued for the calling thread.
    void Enviar(std::string linea);

    // Runs tarea(0) .. tarea(hilos - 1) on as many threads and passes their lines on
    // until all have ended. A task returns nothing or the line of its failure; the first
    // failure is returned, and Parar() turns true as soon as one fails so that the
    // others can give up early. When a thread cannot be started, sinArrancar is called
    // once for it and each later one, so that the started ones never wait for them.
    Fallo EnParalelo(unsigned hilos, const std::function<Fallo(unsigned)>& tarea,
                     const std::function<void()>& sinArrancar = {});
    bool Parar() const { return parar_.load(std::memory_order_relaxed); }

    // The bytes a job will read, for the texts that say how far it is ("Calculando: 45 %"),
    // sent every `intervalo` while EnParalelo waits; 0 bytes sends none.
    void Medir(uint64_t total, std::chrono::milliseconds intervalo) {
        total_ = total;
        intervalo_ = intervalo;
    }
    // On any thread: bytes more of the job are done.
    void Avanzar(uint64_t bytes) { hechos_.fetch_add(bytes, std::memory_order_relaxed); }

  private:
    void Terminar(Fallo fallo);
    // The progress text, when one is due.
    void DecirAvance(std::chrono::steady_clock::time_point& ultimo);

    ProgresoParFuncion progreso_;
    std::mutex mutex_;
    std::condition_variable aviso_;
    std::deque<std::string> cola_;
    unsigned vivos_ = 0;
    Fallo primerError_;
    std::atomic<bool> parar_{false};
    uint64_t total_ = 0;
    std::chrono::milliseconds intervalo_ = IntervaloAvance;
    std::atomic<uint64_t> hechos_{0};
};

// The line of a failed allocation.
inline constexpr const char* ErrorMemoria = "¡ Error, memoria insuficiente para crear el PAR !";

} // namespace quimbel::par
