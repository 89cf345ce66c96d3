#pragma once
// What the fuzz targets share: a check that stops the process (so that libFuzzer and the
// corpus replay both report it), and a window that records nothing.
#include <cstdlib>

#include "files/Ventana.h"

namespace quimbel::fuzz {

inline void Exigir(bool condicion) {
    if (!condicion) std::abort();
}

// Answers every question with Cancel, as nobody is there.
class VentanaMuda : public Ventana {
  public:
    void AnadirLinea(Memo, std::string_view) override {}
    void LimpiarMemo(Memo) override {}
    void Error(std::string_view) override { ++errores; }
    void Informacion(std::string_view) override {}
    Respuesta Pregunta(std::string_view) override { return Respuesta::Cancelar; }
    void Enfocar(std::string_view) override {}
    void ActivarPagina(Pagina) override {}
    void CursorOcupado() override {}
    void CursorNormal() override {}
    void ProcesarMensajes() override {}
    int errores = 0;
};

} // namespace quimbel::fuzz
