// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A split's inputs with a plan in force, as the window hands them in after planning.
#include <gtest/gtest.h>

#include <vector>

#include "files/Rutas.h"
#include "split/Corte.h"
#include "support/Grabadora.h"

namespace quimbel::prueba {

// Plans e's inputs and puts that plan in force with these marks (every piece when empty).
inline void PonerPlanEnVigor(EntradaCorte& e, std::vector<bool> marcas = {}) {
    Grabadora g;
    const PlanCorte plan = PrepararCorte(g, QuitarComillas(e.fuente), e.tamano, e.tipo, ",");
    ASSERT_TRUE(plan.cortePreparado);
    if (marcas.empty()) marcas.assign(plan.lineas.size(), true);
    e.plan = PlanEnVigor{plan.origen, std::move(marcas)};
}

} // namespace quimbel::prueba
