// SPDX-License-Identifier: GPL-3.0-or-later
#include "Avisos.h"

#include "LlamadaPar.h"
#include "Progreso.h"

#include <algorithm>
#include <new>
#include <thread>
#include <vector>

namespace quimbel::par {

void Avisos::Decir(const std::string& texto) const {
    if (salida_) salida_(texto.c_str());
}

void Avisos::Enviar(std::string texto) {
    {
        std::lock_guard bloqueo(mutex_);
        cola_.push_back(std::move(texto));
    }
    aviso_.notify_one();
}

void Avisos::Terminar(Fallo fallo) {
    {
        std::lock_guard bloqueo(mutex_);
        if (fallo) {
            if (!primerError_) primerError_ = std::move(fallo);
            parar_ = true;
        }
        --vivos_;
    }
    aviso_.notify_one();
}

void Avisos::DecirPorcentaje(std::chrono::steady_clock::time_point& ultimo) {
    const auto ahora = std::chrono::steady_clock::now();
    if (!porcentajes_ || enCurso_ == nullptr || enCurso_->Total() == 0 || ahora - ultimo < intervalo_) return;
    ultimo = ahora;
    const uint64_t total = enCurso_->Total();
    const uint64_t hechos = std::min(enCurso_->Hecho(), total);
    Decir(LLAMADA_PAR_PROGRESO + std::to_string(hechos * 100 / total) + " %");
}

bool Avisos::Detenido() {
    if (!detenido_ && detener_ && detener_()) detenido_ = true;
    if (detenido_) parar_ = true;
    return detenido_;
}

Fallo Avisos::EnParalelo(unsigned hilos, const std::function<Fallo(unsigned)>& tarea) {
    return Ejecutar(hilos, tarea, {});
}

Fallo Avisos::EnParalelo(unsigned hilos, Barrera& barrera,
                         const std::function<Fallo(unsigned, PuestoEnBarrera&)>& tarea) {
    return Ejecutar(
        hilos,
        [&](unsigned h) {
            PuestoEnBarrera puesto(barrera);
            return tarea(h, puesto);
        },
        [&] { barrera.Salir(); });
}

Fallo Avisos::Ejecutar(unsigned hilos, const std::function<Fallo(unsigned)>& tarea,
                       const std::function<void()>& sinArrancar) {
    primerError_.reset();
    parar_ = false;
    if (Detenido()) return FalloInterrumpido();
    std::vector<std::thread> trabajadores;
    trabajadores.reserve(hilos);
    for (unsigned t = 0; t < hilos; ++t) {
        {
            std::lock_guard bloqueo(mutex_);
            ++vivos_;
        }
        try {
            trabajadores.emplace_back([this, &tarea, t] {
                Fallo error;
                try {
                    error = tarea(t);
                } catch (const std::bad_alloc&) {
                    error = FalloMemoria();
                } catch (const std::exception& e) {
                    error = FalloPar{CodigoFallo::Interno,
                                     std::string("¡ Error al crear el PAR: ") + e.what() + " !"};
                }
                Terminar(std::move(error));
            });
        } catch (const std::exception&) {
            Terminar(FalloPar{CodigoFallo::Hilo, "¡ Error, no se pudo arrancar un hilo para crear el PAR !"});
            if (sinArrancar)
                for (unsigned falta = t; falta < hilos; ++falta)
                    sinArrancar();
            break;
        }
    }
    // The calling thread passes the workers' texts on, and says how far the job is often
    // enough for the caller's window to stay live.
    auto ultimo = std::chrono::steady_clock::now();
    const auto espera =
        detener_ ? std::min(intervalo_, std::chrono::milliseconds(IntervaloDetener)) : intervalo_;
    std::unique_lock bloqueo(mutex_);
    for (;;) {
        aviso_.wait_for(bloqueo, espera, [this] { return !cola_.empty() || vivos_ == 0; });
        while (!cola_.empty()) {
            const std::string texto = std::move(cola_.front());
            cola_.pop_front();
            bloqueo.unlock();
            Decir(texto);
            bloqueo.lock();
        }
        if (vivos_ == 0) break;
        bloqueo.unlock();
        Detenido();
        DecirPorcentaje(ultimo);
        bloqueo.lock();
    }
    bloqueo.unlock();
    for (std::thread& t : trabajadores)
        t.join();
    if (detenido_) return FalloInterrumpido();
    return primerError_;
}

} // namespace quimbel::par
