// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The split engine: the click of "Cortar".
#include <optional>
#include <string>
#include <vector>

#include "files/Trozos.h"
#include "files/Ventana.h"
#include "split/Plan.h"

namespace quimbel {

// The plan in force and the check marks of its list.
// The message of a piece that would take the source's own name.
inline const std::string ErrorMismoNombre =
    "¡ Error, un trozo no puede llamarse igual que el fichero a trocear !";

struct PlanEnVigor {
    OrigenPlan origen;        // what the plan was made for (PlanCorte::origen)
    std::vector<bool> marcas; // entry k - 1 checked: piece k is written
};

// What a split reads from the "Cortar" page, taken once when the run starts.
struct EntradaCorte {
    std::string fuente;  // the source path, as it stands (the window strips its box's quotes)
    std::string destino; // text of the destination folder box, as typed
    std::string tamano;  // text of the size box
    TipoCorte tipo = TipoCorte::Normal;
    // The plan in force (CortePreparado); none when there is none.
    std::optional<PlanEnVigor> plan;
    // When there is no plan in force for these inputs, the split plans first and hands the
    // new plan (every line checked) to the window (Ventana::MostrarPlan); the lines use
    // separadorMiles.
    std::string separadorMiles = ",";
    bool sfv = false;      // "Crear SFV": an SFV file lists the written pieces
    bool par = false;      // "Crear PAR": the parity library builds a set for them
    std::string numeroPar; // text of the PAR count box
    // The most bytes of recovery data the PAR set computed while the pieces are written may hold
    // (ParEnFlujo); 0: a quarter of the machine's memory. Past it, the PAR step reads the pieces.
    uint64_t memoriaUnPaso = 0;
};

// How a run ended.
struct ResultadoCorte {
    bool finalizado = false; // it ended with "¡ Proceso finalizado !"
    bool completo = false;   // and every step it was asked for was carried out
};

// Runs a split. A plan is in force for the run's inputs when one was handed in, made for the
// same source path, size value and scheme, the source still has the size it measured and
// there is one mark per piece; otherwise the split plans first, shows that plan through the window
// whatever its outcome, and writes every piece.
// With a plan in force and no mark set, it stops with "¡ Debes seleccionar los trozos del
// fichero a extraer !" on the "Extraer" page, the memo untouched. Then it checks the inputs,
// writes the marked pieces of the set into the destination folder under the scheme's names
// and headers, one memo line each, and ends with an information box. Every stop shows its
// message through the window, closes what the run opened and leaves what was written on
// disk. Before the first piece, when files stand at the names the run writes (pieces, SFV file)
// or pieces of the stem lie outside the new set (which a join would take for part of it), the
// window is asked once (Ventana::Reemplazar, naming the first); on yes the strays are renamed
// aside to "<name>.1", "<name>.2" ..., on no nothing is written. Each piece is written under a
// temporary name in the destination folder opened once for the run, flushed, and given its
// name only when complete (replacing only a file the user agreed to), never through a link or
// onto a FIFO or device, never onto the source (by identity); it receives exactly its share
// of the source: a source that shrinks meanwhile stops the run with the piece's write error. With SFV asked
// for, a source name no SFV line can hold is refused before any piece is written. With PAR asked for, the set
// is computed from the pieces' bytes as they are written when the library can (ParEnFlujo), else by the PAR
// step reading them; the files, lines and boxes are the same either way.
ResultadoCorte Cortar(Ventana& ventana, const EntradaCorte& entrada);

} // namespace quimbel
