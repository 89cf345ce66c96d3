#pragma once
// The join engine: the click of "Unir".
#include <string>

#include "PlanUnir.h"
#include "files/Ventana.h"

namespace quimbel {

// What a join reads when it starts: the two boxes of the "Unir" page and the plan in force.
// Taken by value: later changes to the window's plan touch only later runs.
struct EntradaUnir {
    std::string base;    // text of the "Fichero base" box (quotes still on)
    std::string destino; // text of the "Fichero destino" box (quotes still on)
    PlanUnir plan;
};

// Runs a join: checks the two boxes, creates the destination (a name without a folder goes
// beside the chosen piece) and appends, in ascending number, the data of every piece of the
// plan, headers skipped, one memo line each. Never creates or empties a file that is one of the
// set's pieces, nor the joined file of a run still in progress (started from the window while
// that run lets it breathe: "¡ Error al crear fichero " + its name + " !"). Every stop shows its message,
// closes what the run opened and leaves what was written on disk. True when the run ended with "¡ Proceso
// finalizado !".
bool Unir(Ventana& ventana, EntradaUnir entrada);

} // namespace quimbel
