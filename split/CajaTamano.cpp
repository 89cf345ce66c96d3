#include "CajaTamano.h"

#include "files/Entero.h"

namespace quimbel {

CambioTamano AlCambiarTamano(std::string_view texto) {
    if (texto.empty()) return CambioTamano::VaciarPlan;
    // A size below 1 is still a whole number here ("0" may be on its way to "05000"); leaving
    // the box refuses it.
    return LeerEntero(texto) ? CambioTamano::Numero : CambioTamano::BorrarTexto;
}

SalidaTamano AlSalirDeTamano(Ventana& v, std::string_view texto, bool cortePreparado, int32_t tamTrozo) {
    if (texto.empty()) return SalidaTamano::VaciarPlan;
    const std::optional<int32_t> valor = LeerEntero(texto);
    if (!valor || *valor < 1) {
        v.Error("¡ Debes introducir un número válido !");
        return SalidaTamano::BorrarTexto;
    }
    if (*valor < 1000 && v.Pregunta("¡ El número es muy pequeño !, ¿ Estás seguro ?") != Respuesta::Si)
        return SalidaTamano::Nada;
    return cortePreparado && *valor == tamTrozo ? SalidaTamano::Conservar : SalidaTamano::Planificar;
}

} // namespace quimbel
