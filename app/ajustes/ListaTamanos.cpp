// SPDX-License-Identifier: GPL-3.0-or-later
#include "ListaTamanos.h"

#include "files/Texto.h"

namespace quimbel {

Desenlace LeerListaTamanos(const std::string& ruta, std::vector<std::string>& items) {
    TextoEntrada texto;
    if (const Desenlace abierto = AbrirTexto(texto, ruta); !abierto.Bien()) return abierto;
    std::vector<std::string> leidos;
    std::string linea;
    while (texto.LeerLinea(linea))
        leidos.push_back(linea);
    if (!texto.Error().Bien()) return texto.Error();
    items = std::move(leidos);
    return Hecho;
}

Desenlace EscribirListaTamanos(const std::string& ruta, const std::vector<std::string>& items) {
    TextoSalida texto;
    if (const Desenlace creado = CrearTexto(texto, ruta); !creado.Bien()) return creado;
    for (const std::string& item : items)
        texto.EscribirLinea(item);
    return texto.Cerrar();
}

} // namespace quimbel
