// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The engines' window interface, carried out on the Qt window.
#include "files/Ventana.h"

class QWidget;

namespace quimbel {

class TFormMain;

// The one table from the engines' names to this window's widgets: the input that holds a
// field, and the page of the page control that a page name stands for. Never null.
QWidget* ControlDe(const TFormMain& form, Campo campo);
QWidget* PaginaDe(const TFormMain& form, Pagina pagina);

class VentanaQt : public Ventana {
  public:
    explicit VentanaQt(TFormMain& form) : form_(form) {}

    void AnadirLinea(Memo memo, std::string_view linea) override;
    void LimpiarMemo(Memo memo) override;
    void Error(std::string_view texto) override;
    void Informacion(std::string_view texto) override;
    Respuesta Pregunta(std::string_view texto) override;
    bool Reemplazar(std::string_view ruta) override;
    bool RepararYUnir(std::string_view motivo) override;
    // A close request (Salir, Ctrl+Q, the title bar, SIGTERM) during the run.
    bool Interrumpido() const override;
    void Enfocar(Campo campo) override;
    void ActivarPagina(Pagina pagina) override;
    void CursorOcupado() override;
    void CursorNormal() override;
    void ProcesarMensajes() override;
    void MostrarPlan(const PlanCorte& plan) override;
    void Repintar() override;
    void Progreso(int64_t hechos, int64_t total) override;

  private:
    class TMemo* MemoDe(Memo memo) const;
    Respuesta Caja(bool error, std::string_view texto, bool preguntar);
    TFormMain& form_;
    bool ocupado_ = false;
};

} // namespace quimbel
