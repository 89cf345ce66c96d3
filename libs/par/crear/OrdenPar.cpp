// SPDX-License-Identifier: GPL-3.0-or-later
#include "OrdenPar.h"

#include "NombresPar.h"

#include <limits>

namespace quimbel::par {
namespace {

// "-n" followed by decimal digits only; values beyond 64 bits stay at the largest.
bool LeerPares(const std::string& opcion, uint64_t& pares) {
    if (opcion.size() <= 2) return false;
    uint64_t valor = 0;
    for (size_t i = 2; i < opcion.size(); ++i) {
        const char c = opcion[i];
        if (c < '0' || c > '9') return false;
        const auto digito = static_cast<uint64_t>(c - '0');
        constexpr uint64_t maximo = std::numeric_limits<uint64_t>::max();
        valor = valor > (maximo - digito) / 10 ? maximo : valor * 10 + digito;
    }
    pares = valor;
    return true;
}

} // namespace

Fallo LeerOrden(std::span<const std::string> argumentos, OrdenPar& orden) {
    if (argumentos.size() < 2) {
        return FalloPar{CodigoFallo::Argumentos, "¡ Error, falta la orden !"};
    }
    if (argumentos[1] != "add") {
        return FalloPar{CodigoFallo::Argumentos, "¡ Error, orden desconocida: " + argumentos[1] + " !"};
    }
    orden = {};
    std::vector<std::string> ficheros;
    bool soloFicheros = false;
    for (size_t i = 2; i < argumentos.size(); ++i) {
        const std::string& a = argumentos[i];
        const bool esOpcion = !soloFicheros && !a.empty() && (a[0] == '-' || a[0] == '+');
        if (!esOpcion) {
            ficheros.push_back(a);
        } else if (a == "--") {
            soloFicheros = true;
        } else if (a == "-m") {
            orden.renombrarViejos = true;
        } else if (a == "+C") {
            orden.mayusculasIguales = true;
        } else if (a.rfind("-n", 0) == 0) {
            if (!LeerPares(a, orden.pares)) {
                return FalloPar{CodigoFallo::Argumentos, "¡ Error en el número de pares " + a + " !"};
            }
        } else {
            return FalloPar{CodigoFallo::Argumentos, "¡ Error, opción desconocida: " + a + " !"};
        }
    }
    if (ficheros.empty() || NombreSinCarpeta(ficheros[0]).empty()) {
        return FalloPar{CodigoFallo::Argumentos, "¡ Error, falta el nombre del PAR !"};
    }
    if (ficheros.size() < 2) {
        return FalloPar{CodigoFallo::Argumentos, "¡ Error, no hay trozos para el PAR !"};
    }
    orden.rutaPar = ficheros[0];
    orden.trozos.assign(ficheros.begin() + 1, ficheros.end());
    return std::nullopt;
}

} // namespace quimbel::par
