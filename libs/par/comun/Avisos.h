#pragma once
// The texts of a job on their way to the caller's callback, and the job's worker threads.
// Worker threads queue their texts; the calling thread alone hands them on, while it waits
// for the workers.
#include "Barrera.h"
#include "Fallo.h"
#include "Limites.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <utility>

namespace quimbel::par {

class Progreso;

class Avisos {
  public:
    // salida: the caller's callback, as the call's record wants the texts; calling thread only.
    explicit Avisos(std::function<void(const char*)> salida) : salida_(std::move(salida)) {}

    // On the calling thread: the text goes to the callback now.
    void Decir(const std::string& texto) const;
    void Decir(const FalloPar& fallo) const { Decir(fallo.linea); }
    // On a worker: the text is queued for the calling thread.
    void Enviar(std::string texto);

    // Runs tarea(0) .. tarea(hilos - 1) on as many threads and passes their texts on until
    // all have ended. A task returns nothing or its failure; the first failure is returned,
    // and Parar() turns true as soon as one fails so that the others can give up early.
    Fallo EnParalelo(unsigned hilos, const std::function<Fallo(unsigned)>& tarea);
    // The same for tasks that meet at a barrier of `hilos` places: each gets its place, left
    // on every way out of the task; a thread that cannot be started leaves its place too.
    Fallo EnParalelo(unsigned hilos, Barrera& barrera,
                     const std::function<Fallo(unsigned, PuestoEnBarrera&)>& tarea);
    bool Parar() const { return parar_.load(std::memory_order_relaxed); }

    // From now on, while EnParalelo waits, the line LLAMADA_PAR_PROGRESO + the whole
    // percentage of the step in course + " %" every `intervalo` ("Calculando: 45 %").
    void DecirPorcentajes(std::chrono::milliseconds intervalo) {
        porcentajes_ = true;
        intervalo_ = intervalo;
    }

  private:
    friend class Progreso;
    Fallo Ejecutar(unsigned hilos, const std::function<Fallo(unsigned)>& tarea,
                   const std::function<void()>& sinArrancar);
    void Terminar(Fallo fallo);
    // The percentage line, when one is due.
    void DecirPorcentaje(std::chrono::steady_clock::time_point& ultimo);

    std::function<void(const char*)> salida_;
    std::mutex mutex_;
    std::condition_variable aviso_;
    std::deque<std::string> cola_;
    unsigned vivos_ = 0;
    Fallo primerError_;
    std::atomic<bool> parar_{false};
    bool porcentajes_ = false;
    std::chrono::milliseconds intervalo_ = IntervaloAvance;
    const Progreso* enCurso_ = nullptr; // the step whose bytes the percentage counts
};

} // namespace quimbel::par
