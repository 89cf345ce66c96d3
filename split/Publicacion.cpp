// SPDX-License-Identifier: GPL-3.0-or-later
#include "Publicacion.h"

#include "split/Corte.h"

namespace quimbel {

namespace {

// The pieces that may wait to be named: two rounds of those written at once.
constexpr size_t EnEspera = 16;

} // namespace

Publicacion::Publicacion(IdFichero leido) {
    protegidos_.Anadir(leido);
    hilo_ = std::thread([this] { Hilo(); });
}

Publicacion::~Publicacion() {
    Cancelar();
    {
        const std::lock_guard<std::mutex> cerrojo(mutex_);
        fin_ = true;
    }
    cambio_.notify_all();
    hilo_.join();
}

void Publicacion::Anadir(Trozo trozo) {
    std::unique_lock<std::mutex> cerrojo(mutex_);
    cambio_.wait(cerrojo, [this] { return cola_.size() < EnEspera || fallo_; });
    if (fallo_) return; // the temporary goes with it
    cola_.push_back(std::move(trozo));
    cambio_.notify_all();
}

std::optional<std::string> Publicacion::Fallo() {
    const std::lock_guard<std::mutex> cerrojo(mutex_);
    return fallo_;
}

std::optional<std::string> Publicacion::Esperar() {
    std::unique_lock<std::mutex> cerrojo(mutex_);
    cambio_.wait(cerrojo, [this] { return (cola_.empty() && !ocupado_) || fallo_; });
    return fallo_;
}

void Publicacion::Cancelar() {
    std::deque<Trozo> quitados;
    std::unique_lock<std::mutex> cerrojo(mutex_);
    quitados.swap(cola_);
    cambio_.wait(cerrojo, [this] { return !ocupado_; });
}

void Publicacion::Hilo() {
    for (;;) {
        Trozo t;
        {
            std::unique_lock<std::mutex> cerrojo(mutex_);
            cambio_.wait(cerrojo, [this] { return !cola_.empty() || fin_; });
            if (cola_.empty()) return;
            t = std::move(cola_.front());
            cola_.pop_front();
            ocupado_ = true;
        }
        std::optional<std::string> fallo;
        // A full disk may show only when the piece is flushed; only then does it take its name.
        if (!t.salida.Volcar().Bien()) {
            fallo = "¡ Error al escribir en fichero " + t.ruta + " !";
        } else {
            const Desenlace publicado = t.salida.Publicar(t.nombre, protegidos_, t.reemplazable);
            if (publicado.resultado == Resultado::Intocable)
                fallo = ErrorMismoNombre;
            else if (!publicado.Bien())
                fallo = "¡ Error al crear fichero " + t.ruta + " !";
        }
        t.salida.Descartar();
        {
            const std::lock_guard<std::mutex> cerrojo(mutex_);
            ocupado_ = false;
            if (fallo && !fallo_) {
                fallo_ = fallo;
                // Removed before the failure shows: whoever waits for it finds them gone.
                cola_.clear();
            }
        }
        cambio_.notify_all();
    }
}

} // namespace quimbel
