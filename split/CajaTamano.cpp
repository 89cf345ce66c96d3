// SPDX-License-Identifier: GPL-3.0-or-later
#include "CajaTamano.h"

#include "files/Tamanos.h"

namespace quimbel {

CambioTamano AlCambiarTamano(std::string_view texto) {
    if (texto.empty()) return CambioTamano::VaciarPlan;
    // A size below 1 is still a size here ("0" may be on its way to "05000"), and so is one
    // whose unit is half typed ("7M" on its way to "7MB"); leaving the box refuses 0.
    return LeerTamano(texto) ? CambioTamano::Tamano : CambioTamano::BorrarTexto;
}

SalidaTamano AlSalirDeTamano(Ventana& v, std::string_view texto, bool cortePreparado, int64_t tamTrozo) {
    if (texto.empty()) return SalidaTamano::VaciarPlan;
    const std::optional<int64_t> valor = LeerTamano(texto);
    if (!valor || *valor < 1) {
        v.Error("¡ Debes introducir un número válido !");
        return SalidaTamano::BorrarTexto;
    }
    if (*valor < 1000 && v.Pregunta("¡ El número es muy pequeño !, ¿ Estás seguro ?") != Respuesta::Si)
        return SalidaTamano::Nada;
    return cortePreparado && *valor == tamTrozo ? SalidaTamano::Conservar : SalidaTamano::Planificar;
}

} // namespace quimbel
