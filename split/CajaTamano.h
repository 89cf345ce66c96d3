// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the piece-size box does with its text when it changes and when it is left.
// The window carries the decisions out on its widgets.
#include <cstdint>
#include <string_view>

#include "files/Ventana.h"

namespace quimbel {

// On every edit or choice in the size box.
enum class CambioTamano {
    VaciarPlan,  // empty: no plan in force, list and both labels emptied, "Elegir" disabled
    BorrarTexto, // no size (files/Tamanos.h): "Elegir" disabled and the text emptied (no
                 // message, no change handler run for it); the plan on show stays
    Tamano,      // a size: "Elegir" enabled exactly when a plan is in force
};
CambioTamano AlCambiarTamano(std::string_view texto);

// On leaving the size box.
enum class SalidaTamano {
    VaciarPlan,  // empty: as CambioTamano::VaciarPlan
    BorrarTexto, // refused with its error box: the window empties the text
    Nada,        // the question was not answered Yes: the text stays as typed, nothing else
    Conservar,   // confirmed, and the size of the plan in force: the plan and its marks stay
    Planificar,  // confirmed: plan again
};
// Conservar and Planificar are confirmed sizes: the window adds the text as typed to the
// drop-down list when no item equals it.
//
// Shows "¡ Debes introducir un número válido !" for a text that is no size or is
// below 1, and asks "¡ El número es muy pequeño !, ¿ Estás seguro ?" below 1,000 (only Yes
// goes on). tamTrozo is TamTrozo, compared only while a plan is in force.
SalidaTamano AlSalirDeTamano(Ventana& ventana, std::string_view texto, bool cortePreparado, int64_t tamTrozo);

} // namespace quimbel
