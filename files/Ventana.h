// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one narrow way an engine reaches the window that runs it. The Qt window,
// the command-line companion and the tests' recorder each implement it.
//
// An engine names what it means (a memo, a page, a field, a plan), never a widget: each
// face maps these names to what it has. A face must carry out the pure methods; the others
// have empty bodies that are their whole contract for a face without that part (the
// command-line companion has no focus, pages, cursor, bar or list of pieces).
#include <cstdint>
#include <string_view>

namespace quimbel {

// The question after the message of a join that may rebuild its set first (RepararYUnir).
inline constexpr std::string_view PreguntaReparar = "¿ Reparar los trozos con su juego PAR2 y unir ?";

// The result memos, one per page.
enum class Memo { Cortar, Unir, Verificar, Reparar };

// The pages of the page control ("Extraer" has no tab of its own).
enum class Pagina { Cortar, Unir, Verificar, Reparar, Extraer };

// The inputs a message can send the keyboard focus to, by what they hold.
enum class Campo {
    FicheroCortar,    // the file to cut ("Cortar")
    Tamano,           // the piece size ("Cortar")
    FicheroUnir,      // the base piece of a set ("Unir")
    FicheroUnido,     // the joined file ("Unir")
    FicheroVerificar, // the SFV file ("Verificar")
    FicheroReparar,   // the PAR2 index ("Reparar")
};

// Answer to the one question the program asks ("&Yes", "&No", "Cancel").
enum class Respuesta { Si, No, Cancelar };

// What a split would produce, as the split plans it (split/Plan.h); only the split makes one.
struct PlanCorte;

class Ventana {
  public:
    virtual ~Ventana() = default;

    // Appends one line (possibly empty) to a page's result memo.
    virtual void AnadirLinea(Memo memo, std::string_view linea) = 0;
    // Modal error box: title "Error", error icon, one "OK" button; returns once it is closed.
    virtual void Error(std::string_view texto) = 0;
    // Modal information box: title "Information", information icon, "OK".
    virtual void Informacion(std::string_view texto) = 0;
    // Modal error-kind box with "&Yes", "&No" and "Cancel"; the button chosen. A face with
    // nobody to ask shows the text and answers as its own contract says.
    virtual Respuesta Pregunta(std::string_view texto) = 0;
    // Asks once before a run replaces files that stand at names it writes; ruta is the first of
    // them, by its full path. True to replace them. A face with nobody to ask answers as its
    // own contract says.
    virtual bool Reemplazar(std::string_view ruta) = 0;

    // Asks once, when a join finds a piece of its set missing or wrong and the set came with a
    // PAR2 set (motivo: the message the join would stop with), whether to rebuild the pieces
    // from the PAR2 set and then join. True to repair. A face with nobody to ask answers as its
    // own contract says; one that never repairs leaves it false.
    // The window asks it under the message as "¿ Reparar los trozos con su juego PAR2 y unir ?".
    virtual bool RepararYUnir(std::string_view motivo) {
        static_cast<void>(motivo);
        return false;
    }
    // Empties a page's result memo. A face that writes lines as a stream, with nothing to
    // take back, leaves it empty.
    virtual void LimpiarMemo(Memo memo) { static_cast<void>(memo); }
    // Moves the keyboard focus to the input that holds a field. A face without focus leaves
    // it empty.
    virtual void Enfocar(Campo campo) { static_cast<void>(campo); }
    // Makes a page the active one. A face without pages leaves it empty.
    virtual void ActivarPagina(Pagina pagina) { static_cast<void>(pagina); }
    // Busy (hourglass) cursor on and off; not nested. A face without a cursor leaves both empty.
    virtual void CursorOcupado() {}
    virtual void CursorNormal() {}
    // Lets the window process its pending messages (repaint, input) between two steps of a
    // run. A face with no queue of its own leaves it empty (or flushes what it wrote).
    virtual void ProcesarMensajes() {}
    // Shows and keeps the plan a split made for itself (its labels, its list of pieces with
    // every line checked, and the inputs it was made for), as a plan the user asked for
    // would be. A face without a list of pieces leaves it empty.
    virtual void MostrarPlan(const PlanCorte& plan) { static_cast<void>(plan); }

    // The two calls of a long step (files/Avance.h), which a face without a window or a bar may
    // leave as they are: let the window paint and answer the window system (expose, resize,
    // the desktop's "are you alive" ping) without handling the user's input, which stays
    // queued for the next ProcesarMensajes; and show the run's progress, hechos of total
    // bytes (a total below 0 hides the bar: the run is over).
    virtual void Repintar() {}
    // Whether the run must stop at its next block: the window was asked to close, or a signal
    // came. A run that sees it removes its temporaries, restores what it moved, says so in its
    // memo ("¡ Proceso interrumpido !") and shows no box. A face that is never interrupted
    // leaves it false.
    virtual bool Interrumpido() const { return false; }
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
