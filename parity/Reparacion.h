// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The check and repair of a PAR2 set: the one home of what the "Reparar" page and
// quimbel-cli reparar do. The parity library does the work (its commands "verify" and
// "repair"); this side checks the inputs, hands it the vector, shows its lines in the
// "Reparar" memo and its progress through the window, and ends the run.
#include <string>
#include <vector>

#include "files/Ventana.h"

namespace quimbel {

// What a run reads from the page once, when it starts.
struct EntradaReparacion {
    std::string indice;         // the PAR2 file's path (the window strips its box's quotes)
    std::string carpeta;        // the folder box as typed; empty: the index's folder
    bool soloComprobar = false; // " Comprobar": nothing is written
    // Other files where the set's slices are looked for too ("Buscar en otros ficheros");
    // without them only the listed files are read.
    std::vector<std::string> buscar;
};

// How a run ended: 0 every file whole (after the repair), 1 something is not whole or a
// failure stopped the run, 2 no index given or no valid set in it. A check (soloComprobar)
// ends as par2 verify: 0 whole, 1 a repair would make every file whole, 2 it would not.
struct ResultadoReparacion {
    int estado = 2;
    bool llamada = false;         // the library was called
    bool interrumpida = false;    // the window asked the run to stop, and it stopped (estado 1)
    bool fallosMostrados = false; // a failure reached an error box
};

// Clears the memo. With no index: error box "¡ Debes indicar el fichero PAR2 !" and the focus
// on its box. Without the library: error box "¡ Error en la DLL Par.dll !". Otherwise, with the
// busy cursor, the library checks (and, unless soloComprobar, repairs) the set: its lines go
// to the "Reparar" memo, its progress to the window, which processes its messages at each
// step, and each failure it reports to an error box. The run ends with the information box
// "¡ Proceso finalizado !" unless a failure was shown. The window's Ventana::Interrumpido reaches
// the library: a run it stops leaves every file as it was (a rebuilt file takes its name only
// when all are whole) and ends the memo with "¡ Proceso interrumpido !", with no box.
ResultadoReparacion Reparar(Ventana& ventana, const EntradaReparacion& entrada);

// The repair as a step of another run (a join that rebuilds its pieces first): as Reparar, but
// its lines go to `memo`, which it does not clear, and it ends without the final box.
ResultadoReparacion RepararComoPaso(Ventana& ventana, const EntradaReparacion& entrada, Memo memo);

} // namespace quimbel
