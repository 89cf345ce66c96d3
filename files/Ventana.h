#pragma once
// The one narrow way an engine reaches the window that runs it. The Qt window,
// the command-line companion and the tests' recorder each implement it.
#include <cstdint>
#include <string_view>

namespace quimbel {

// The result memos, one per page.
enum class Memo { Cortar, Unir, Verificar, Reparar };

// The pages of the page control ("Extraer" has no tab of its own).
enum class Pagina { Cortar, Unir, Verificar, Reparar, Extraer };

// Answer to the one question the program asks ("&Yes", "&No", "Cancel").
enum class Respuesta { Si, No, Cancelar };

class Ventana {
  public:
    virtual ~Ventana() = default;

    // Appends one line (possibly empty) to a page's result memo.
    virtual void AnadirLinea(Memo memo, std::string_view linea) = 0;
    // Empties a page's result memo.
    virtual void LimpiarMemo(Memo memo) = 0;
    // Modal error box: title "Error", error icon, one "OK" button.
    virtual void Error(std::string_view texto) = 0;
    // Modal information box: title "Information", information icon, "OK".
    virtual void Informacion(std::string_view texto) = 0;
    // Modal error-kind box with "&Yes", "&No" and "Cancel".
    virtual Respuesta Pregunta(std::string_view texto) = 0;
    // Moves the keyboard focus to the control with that object name.
    virtual void Enfocar(std::string_view control) = 0;
    // Makes a page the active one.
    virtual void ActivarPagina(Pagina pagina) = 0;
    // Busy (hourglass) cursor on and off; not nested.
    virtual void CursorOcupado() = 0;
    virtual void CursorNormal() = 0;
    // Lets the window process its pending messages (repaint, input).
    virtual void ProcesarMensajes() = 0;

    // The two calls of a long step (files/Avance.h), which a face without a window or a bar may
    // leave as they are: let the window paint and answer the window system (expose, resize,
    // the desktop's "are you alive" ping) without handling the user's input, which stays
    // queued for the next ProcesarMensajes; and show the run's progress, hechos of total
    // bytes (a total below 0 hides the bar: the run is over).
    virtual void Repintar() {}
    virtual void Progreso(int64_t hechos, int64_t total) {
        static_cast<void>(hechos);
        static_cast<void>(total);
    }
};

// Sets the busy cursor for a scope and restores the normal one on every way out.
class CursorOcupadoMientras {
  public:
    explicit CursorOcupadoMientras(Ventana& v) : v_(v) { v_.CursorOcupado(); }
    ~CursorOcupadoMientras() { v_.CursorNormal(); }
    CursorOcupadoMientras(const CursorOcupadoMientras&) = delete;
    CursorOcupadoMientras& operator=(const CursorOcupadoMientras&) = delete;

  private:
    Ventana& v_;
};

} // namespace quimbel
