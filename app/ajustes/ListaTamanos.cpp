#include "ListaTamanos.h"

#include "files/Texto.h"

namespace quimbel {

int LeerListaTamanos(const std::string& ruta, std::vector<std::string>& items) {
    TextoEntrada texto;
    if (const int abierto = AbrirTexto(texto, ruta); abierto != 0) return abierto;
    std::vector<std::string> leidos;
    std::string linea;
    while (texto.LeerLinea(linea))
        leidos.push_back(linea);
    if (texto.Error() != 0) return texto.Error();
    items = std::move(leidos);
    return 0;
}

int EscribirListaTamanos(const std::string& ruta, const std::vector<std::string>& items) {
    TextoSalida texto;
    if (const int creado = CrearTexto(texto, ruta); creado != 0) return creado;
    for (const std::string& item : items)
        texto.EscribirLinea(item);
    return texto.Cerrar();
}

} // namespace quimbel
