// SPDX-License-Identifier: GPL-3.0-or-later
#include "Plan.h"

#include "files/Ficheros.h"
#include "files/FormatoMiles.h"
#include "files/Tamanos.h"

namespace quimbel {

int64_t TrozosDelPlan(int64_t s, int64_t p) {
    return s > 0 ? NumeroTrozos(s, p) : 1;
}

PlanCorte PrepararCorte(Ventana& v, std::string_view fuente, std::string_view tamano, TipoCorte tipo,
                        std::string_view separadorMiles) {
    PlanCorte plan;
    if (fuente.empty()) return plan;
    const std::string ruta(fuente);
    int64_t s = -1;
    {
        Fichero f;
        if (AbrirFichero(f, ruta).Bien()) s = f.Tamano();
    }
    if (s < 0) {
        v.Error("¡ Error al abrir fichero " + ruta + " !");
        return plan;
    }
    plan.tamFichero = s;

    // A size the box should never hold (not a size, or below 1) plans nothing, like an empty box.
    const std::optional<int64_t> leido = LeerTamano(tamano);
    if (!leido || *leido < 1) return plan;
    const int64_t p = *leido;
    plan.tamTrozo = *leido;

    const int64_t n = TrozosDelPlan(s, p);
    if (n > MaxTrozos) {
        v.Error(ErrorDemasiadosTrozos());
        return plan;
    }
    plan.numTrozos = n;

    // Names as the split forms them, without the destination folder.
    plan.lineas.reserve(static_cast<size_t>(n));
    for (int64_t k = 1; k <= n; ++k) {
        const int64_t tam = k < n ? p : s - (n - 1) * p;
        std::string linea = NombreTrozo(ruta, "", k, n, tipo);
        linea += "  ";
        linea += FormatoMiles10(tam, separadorMiles);
        plan.lineas.push_back(std::move(linea));
    }
    plan.cortePreparado = true;
    plan.origen = {ruta, *leido, tipo, s};
    return plan;
}

} // namespace quimbel
