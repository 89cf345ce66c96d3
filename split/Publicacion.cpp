// SPDX-License-Identifier: GPL-3.0-or-later
#include "Publicacion.h"

#include "split/Corte.h"

#include <vector>

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
    cancelado_ = true;
    cambio_.wait(cerrojo, [this] { return !ocupado_; });
    cancelado_ = false;
}

void Publicacion::Hilo() {
    std::vector<Trozo> lote;
    for (;;) {
        lote.clear();
        {
            std::unique_lock<std::mutex> cerrojo(mutex_);
            cambio_.wait(cerrojo, [this] { return !cola_.empty() || fin_; });
            if (cola_.empty()) return;
            // Every piece waiting is taken, and all are flushed before any is named: with a
            // name given between two flushes, a split took a fifth longer on a slow disk.
            for (; !cola_.empty(); cola_.pop_front())
                lote.push_back(std::move(cola_.front()));
            ocupado_ = true;
        }
        std::optional<std::string> fallo;
        // A full disk may show only when a piece is flushed; only then does it take its name.
        size_t volcados = 0;
        while (volcados < lote.size() && lote[volcados].salida.Volcar().Bien())
            ++volcados;
        for (size_t i = 0; i < volcados && !fallo; ++i) {
            Trozo& t = lote[i];
            {
                const std::lock_guard<std::mutex> cerrojo(mutex_);
                if (cancelado_) break;
            }
            const Desenlace publicado = t.salida.Publicar(t.nombre, protegidos_, t.reemplazable);
            if (publicado.resultado == Resultado::Intocable)
                fallo = ErrorMismoNombre;
            else if (!publicado.Bien())
                fallo = "¡ Error al crear fichero " + t.ruta + " !";
        }
        if (!fallo && volcados < lote.size())
            fallo = "¡ Error al escribir en fichero " + lote[volcados].ruta + " !";
        // The temporaries not named (after a failure, or stopped) go.
        for (Trozo& t : lote)
            t.salida.Descartar();
        {
            const std::lock_guard<std::mutex> cerrojo(mutex_);
            ocupado_ = false;
            if (fallo && !fallo_ && !cancelado_) {
                fallo_ = fallo;
                // Removed before the failure shows: whoever waits for it finds them gone.
                cola_.clear();
            }
        }
        cambio_.notify_all();
    }
}

} // namespace quimbel
