// SPDX-License-Identifier: GPL-3.0-or-later
#include "PlanUnir.h"

#include "files/Cabeceras.h"
#include "files/Comparar.h"
#include "files/Rutas.h"

namespace quimbel {

namespace {

constexpr std::string_view ExtFin = ".fin";

// Size of the header in front of a ".fin" piece's data, for the extension it stores.
int64_t TamCabeceraCA(const PlanUnir& plan) {
    return static_cast<int64_t>(TamFijoCabeceraCA + plan.ExtFicUnido.size());
}

} // namespace

bool EsExtensionFin(std::string_view ext) {
    return IgualesSinMayusculas(ext, ExtFin);
}

std::string ExtensionDeTrozo(const PlanUnir& plan, int64_t n) {
    const std::string numero = std::to_string(n);
    if (!plan.CerosTrozos) return "." + numero;
    const size_t prefijo = plan.ExtTrozos.size() > numero.size() ? plan.ExtTrozos.size() - numero.size() : 0;
    // The dot is never dropped, so a set of three digits goes on at ".1000".
    if (prefijo == 0) return "." + numero;
    return plan.ExtTrozos.substr(0, prefijo) + numero;
}

bool EsTrozoFin(const PlanUnir& plan, int64_t n) {
    return n == plan.TrozoFin && plan.ExtTrozos == ExtFin;
}

std::string NombreTrozoUnir(std::string_view base, const PlanUnir& plan, int64_t n) {
    if (!EsTrozoFin(plan, n)) return CambiarExtension(base, ExtensionDeTrozo(plan, n));
    // File names tell case apart here: the ".fin" piece found as pelicula.FIN is that file.
    return CambiarExtension(base, plan.ExtFin.empty() ? ExtFin : std::string_view(plan.ExtFin));
}

int64_t InicioDatosTrozo(const PlanUnir& plan, int64_t n) {
    if (EsTrozoFin(plan, n)) return TamCabeceraCA(plan);
    if (n == 0 && plan.TamCabeceraHacha != 0) return plan.TamCabeceraHacha;
    return 0;
}

} // namespace quimbel
