// SPDX-License-Identifier: GPL-3.0-or-later
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

// Runs a join: checks the two boxes, then that every piece of the plan is there with the size
// its set records (the first that is not stops the run, its message naming it), and creates
// the joined file (a name without a folder goes beside the chosen piece) under a temporary
// name in its folder, appending, in ascending number, the data of every piece of the plan,
// headers skipped, one memo line each; a piece that yields fewer bytes than it held when
// opened is a failed copy. Only when every piece is in and flushed does the file take the
// destination's name: a stop leaves the destination as it was, or absent. A file that stands
// at the destination is replaced only when the window's question (Ventana::Reemplazar) is
// answered yes, and never when it is one of the set's pieces (the chosen one, those of the
// plan, and every file of the folder named like a piece of the set), a link, FIFO or device.
// Every stop shows its message and closes what the run opened. True when the run ended with
// "¡ Proceso finalizado !".
bool Unir(Ventana& ventana, EntradaUnir entrada);

} // namespace quimbel
