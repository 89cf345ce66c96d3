// SPDX-License-Identifier: GPL-3.0-or-later
#include "PropuestaDestino.h"

#include "files/Rutas.h"

namespace quimbel {

std::string NombrePropuesto(std::string_view base, const PlanUnir& plan) {
    std::string_view extension = plan.ExtFicUnido;
    extension = extension.substr(0, extension.find_first_of(std::string_view("/\0", 2)));
    return CambiarExtension(base, extension);
}

std::optional<std::string> PropuestaDestino(std::string_view textoBase, std::string_view textoDestino,
                                            const PlanUnir& plan) {
    if (textoBase.empty() || !textoDestino.empty()) return std::nullopt;
    const std::string base = QuitarComillas(textoBase);
    const std::string propuesta = NombrePropuesto(base, plan);
    if (base.size() != textoBase.size()) return "\"" + propuesta + "\"";
    return propuesta;
}

} // namespace quimbel
