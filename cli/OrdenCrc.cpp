// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdio>

#include "Consola.h"
#include "Ordenes.h"

#include "files/Interrupcion.h"
#include "verify/Crc.h"

namespace quimbel {

int OrdenCrc(std::span<const std::string> ficheros) {
    if (ficheros.empty()) return ErrorDeUso("crc necesita al menos un FICHERO");
    Consola consola;
    int salida = SalidaBien;
    for (const std::string& ruta : ficheros) {
        if (Interrumpida(consola, Memo::Verificar)) return SalidaFallo;
        const std::optional<uint32_t> crc = CrcFichero(ruta);
        if (!crc) {
            consola.Error("¡ Error al calcular CRC del fichero " + ruta + " !");
            salida = SalidaFallo;
            continue;
        }
        char valor[9];
        std::snprintf(valor, sizeof valor, "%8.8x", *crc);
        consola.AnadirLinea(Memo::Verificar, std::string(valor) + "  " + ruta);
    }
    return salida;
}

} // namespace quimbel
