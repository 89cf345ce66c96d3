#pragma once
// The join engine: the click of "Unir".
#include <string>

#include "PlanUnir.h"
#include "files/Ventana.h"

namespace quimbel {

// What a join reads when it starts: the two boxes of the "Unir" page and the plan in force.
// Taken by value: later changes to the window's plan touch only later runs.
struct EntradaUnir {
    std::string base;    // the chosen piece's path (the window strips its box's quotes)
    std::string destino; // the joined file's path
    PlanUnir plan;
};

// Runs a join: checks the two boxes, creates the destination (a name without a folder goes
// beside the chosen piece) and appends, in ascending number, the data of every piece of the
// plan, headers skipped, one memo line each; a piece that yields fewer bytes than it held when
// opened is a failed copy. The destination is an output of its folder (files/Salidas.h): never a
// link, FIFO or device, never by identity one of the set's pieces (the chosen one, those of the
// plan, and every file of the folder named like a piece of the set) nor the joined file of a run
// still in progress (started from the window while
// that run lets it breathe: "¡ Error al crear fichero " + its name + " !"). Every stop shows its message,
// closes what the run opened and leaves what was written on disk. True when the run ended with "¡ Proceso
// finalizado !".
bool Unir(Ventana& ventana, EntradaUnir entrada);

} // namespace quimbel
