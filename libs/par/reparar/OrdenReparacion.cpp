// SPDX-License-Identifier: GPL-3.0-or-later
#include "OrdenReparacion.h"

#include <vector>

namespace quimbel::par {

bool EsOrdenReparacion(std::span<const std::string> argumentos) {
    return argumentos.size() >= 2 && (argumentos[1] == "verify" || argumentos[1] == "repair");
}

Fallo LeerOrdenReparacion(std::span<const std::string> argumentos, OrdenReparacion& orden) {
    if (!EsOrdenReparacion(argumentos)) {
        return FalloPar{CodigoFallo::Argumentos, "¡ Error, falta la orden !"};
    }
    orden = {};
    orden.reparar = argumentos[1] == "repair";
    std::vector<std::string> ficheros;
    bool soloFicheros = false;
    for (size_t i = 2; i < argumentos.size(); ++i) {
        const std::string& a = argumentos[i];
        if (soloFicheros || a.empty() || a[0] != '-') {
            ficheros.push_back(a);
        } else if (a == "--") {
            soloFicheros = true;
        } else if (a == "-d" && i + 1 < argumentos.size() && !argumentos[i + 1].empty()) {
            orden.carpeta = argumentos[++i];
        } else {
            return FalloPar{CodigoFallo::Argumentos, "¡ Error, opción desconocida: " + a + " !"};
        }
    }
    if (ficheros.empty() || ficheros[0].empty()) {
        return FalloPar{CodigoFallo::Argumentos, "¡ Error, falta el fichero PAR2 !"};
    }
    orden.indice = ficheros[0];
    orden.otros.assign(ficheros.begin() + 1, ficheros.end());
    return std::nullopt;
}

} // namespace quimbel::par
