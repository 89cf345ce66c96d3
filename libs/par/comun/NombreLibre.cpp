// SPDX-License-Identifier: GPL-3.0-or-later
#include "NombreLibre.h"

#include <cerrno>

namespace quimbel::par {

quimbel::Desenlace PrimerNombreLibre(const std::string& prefijo,
                                     const std::function<quimbel::Desenlace(const std::string&)>& intento,
                                     std::string& libre) {
    libre.clear();
    quimbel::Desenlace hecho = quimbel::ErrorSistema(EEXIST);
    for (int k = 1; k <= IntentosNombre && hecho == quimbel::ErrorSistema(EEXIST); ++k) {
        const std::string nombre = prefijo + std::to_string(k);
        hecho = intento(nombre);
        if (hecho.Bien()) libre = nombre;
    }
    return hecho;
}

} // namespace quimbel::par
