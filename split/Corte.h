#pragma once
// The split engine: the click of "Cortar".
#include <optional>
#include <string>
#include <vector>

#include "files/Trozos.h"
#include "files/Ventana.h"

namespace quimbel {

// What a split reads from the "Cortar" page, taken once when the run starts.
struct EntradaCorte {
    std::string fuente;  // text of the source box (quotes still on)
    std::string destino; // text of the destination folder box, as typed
    std::string tamano;  // text of the size box
    TipoCorte tipo = TipoCorte::Normal;
    // Check marks of the plan in force (entry k - 1 stands for piece k); none when no
    // plan is in force for these inputs, and then every piece is written.
    std::optional<std::vector<bool>> marcas;
    bool sfv = false; // "Crear SFV": an SFV file lists the written pieces
};

// How a run ended.
struct ResultadoCorte {
    bool finalizado = false; // it ended with "¡ Proceso finalizado !"
    bool completo = false;   // and every step it was asked for was carried out
};

// Runs a split: checks the inputs, writes the marked pieces of the set into the
// destination folder under the scheme's names and headers, one memo line each, and
// ends with an information box. Every stop shows its message through the window,
// closes what the run opened and leaves what was written on disk. Never truncates
// the source.
ResultadoCorte Cortar(Ventana& ventana, const EntradaCorte& entrada);

} // namespace quimbel
