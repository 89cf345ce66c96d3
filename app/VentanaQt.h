#pragma once
// The engines' window interface, carried out on the Qt window.
#include "files/Ventana.h"

namespace quimbel {

class TFormMain;

class VentanaQt : public Ventana {
  public:
    explicit VentanaQt(TFormMain& form) : form_(form) {}

    void AnadirLinea(Memo memo, std::string_view linea) override;
    void LimpiarMemo(Memo memo) override;
    void Error(std::string_view texto) override;
    void Informacion(std::string_view texto) override;
    Respuesta Pregunta(std::string_view texto) override;
    void Enfocar(std::string_view control) override;
    void ActivarPagina(Pagina pagina) override;
    void CursorOcupado() override;
    void CursorNormal() override;
    void ProcesarMensajes() override;
    void MostrarProgreso(uint64_t hecho, uint64_t total) override;

  private:
    class TMemo* MemoDe(Memo memo) const;
    Respuesta Caja(bool error, std::string_view texto, bool preguntar);
    TFormMain& form_;
    bool ocupado_ = false;
};

} // namespace quimbel
