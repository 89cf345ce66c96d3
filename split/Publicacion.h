// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The pieces whose bytes are all written are flushed and given their names in order on a thread
// of their own, so that the writing of the next ones goes on while the disk catches up; those
// waiting together are all flushed before the first of them is named. The first failure ends
// the naming (the pieces after it are removed) and is told to the run, which stops; the run's
// thread alone speaks to the window.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "files/Ficheros.h"
#include "files/Salidas.h"
#include "files/Temporales.h"

namespace quimbel {

class Publicacion {
  public:
    // A piece written in full: its path (for messages), its name in the folder, the identity of
    // the file the user agreed to replace there, and its temporary.
    struct Trozo {
        std::string ruta, nombre;
        std::optional<IdFichero> reemplazable;
        SalidaTemporal salida;
    };

    // Names beside every file the run reads, `leido` (the source; identities stay as they were
    // while it is open, and are never replaced).
    explicit Publicacion(IdFichero leido);
    // Stops: the pieces not yet named are removed.
    ~Publicacion();
    Publicacion(const Publicacion&) = delete;
    Publicacion& operator=(const Publicacion&) = delete;

    // Hands a piece over; waits while a few are already waiting.
    void Anadir(Trozo trozo);
    // The message of the first failure so far, without waiting.
    std::optional<std::string> Fallo();
    // Waits until every piece handed over is named, or a failure; its message, if any.
    std::optional<std::string> Esperar();
    // Removes the pieces not yet named and waits for the one being named; those flushed with it
    // are not named.
    void Cancelar();

  private:
    void Hilo();

    Protegidos protegidos_;
    std::mutex mutex_;
    std::condition_variable cambio_;
    std::deque<Trozo> cola_;
    bool ocupado_ = false, fin_ = false, cancelado_ = false;
    std::optional<std::string> fallo_;
    std::thread hilo_;
};

} // namespace quimbel
