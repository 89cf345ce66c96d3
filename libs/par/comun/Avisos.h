// SPDX-License-Identifier: GPL-3.0-or-later
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

// How often a job's calling thread asks whether to stop while its workers run.
inline constexpr std::chrono::milliseconds IntervaloDetener{50};

class Avisos {
  public:
    // salida: the caller's callback, as the call's record wants the texts; detener: the caller's
    // question whether the job must stop (none: never). Both on the calling thread only.
    explicit Avisos(std::function<void(const char*)> salida, std::function<bool()> detener = {})
        : salida_(std::move(salida)), detener_(std::move(detener)) {}

    // On the calling thread: the text goes to the callback now.
    void Decir(const std::string& texto) const;
    // A failure's line; nothing for a job stopped by its caller.
    void Decir(const FalloPar& fallo) const {
        if (fallo.codigo != CodigoFallo::Interrumpido) Decir(fallo.linea);
    }
    // On a worker: the text is queued for the calling thread.
    void Enviar(std::string texto);

    // On the calling thread: whether the caller asked the job to stop, asking it now. Once it
    // did, the answer stays true, Parar() is true and every EnParalelo returns at once.
    bool Detenido();

    // Runs tarea(0) .. tarea(hilos - 1) on as many threads and passes their texts on until
    // all have ended. A task returns nothing or its failure; the first failure is returned,
    // and Parar() turns true as soon as one fails so that the others can give up early.
    // While they run, the calling thread asks whether to stop (Detenido) at least every
    // IntervaloDetener and whenever texts come; then Parar() turns true too, and the
    // result is FalloInterrumpido(), whatever the tasks returned. A task should look at
    // Parar() before each block of its work.
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
    std::function<bool()> detener_;
    bool detenido_ = false;
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
