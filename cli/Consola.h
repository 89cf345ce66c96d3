// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The command-line face of the window: memo lines go to standard output, the text
// of every message box to standard error. Nothing ever waits for input. It has no
// focus, pages, cursor, bar or list of pieces, and what it printed stays printed: it
// keeps the interface's empty bodies for those.
#include <cstdio>

#include "files/Ventana.h"

namespace quimbel {

class Consola : public Ventana {
  public:
    Consola(std::FILE* salida = stdout, std::FILE* errores = stderr) : salida_(salida), errores_(errores) {}

    void AnadirLinea(Memo memo, std::string_view linea) override;
    void Error(std::string_view texto) override;
    void Informacion(std::string_view texto) override;
    // The companion asks nothing: a question is shown and answered No.
    Respuesta Pregunta(std::string_view texto) override;
    // Replaces only what --reemplazar allowed (PermitirReemplazo); otherwise says so and refuses.
    bool Reemplazar(std::string_view ruta) override;
    // Repairs only when --reparar allowed it (PermitirReparar); otherwise answers no, silently.
    bool RepararYUnir(std::string_view motivo) override;
    // Flushes standard output, so that lines and messages keep their order.
    void ProcesarMensajes() override;
    // Whether SIGINT, SIGTERM or SIGHUP came (cli/Senales.h).
    bool Interrumpido() const override;

    int Errores() const { return errores_mostrados_; }
    // Whether files that stand at the names a run writes may be replaced (--reemplazar).
    void PermitirReemplazo(bool permitir) { reemplazar_ = permitir; }
    void PermitirReparar(bool permitir) { reparar_ = permitir; }

  private:
    std::FILE* salida_;
    std::FILE* errores_;
    int errores_mostrados_ = 0;
    bool reemplazar_ = false;
    bool reparar_ = false;
};

} // namespace quimbel
