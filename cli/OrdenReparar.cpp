// SPDX-License-Identifier: GPL-3.0-or-later
#include "Consola.h"
#include "Ordenes.h"

#include <string>
#include <vector>

#include "parity/Reparacion.h"

namespace quimbel {

int OrdenReparar(std::span<const std::string> args) {
    EntradaReparacion entrada;
    std::vector<std::string> posicionales;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--carpeta") {
            if (i + 1 >= args.size() || args[i + 1].empty())
                return ErrorDeUso("--carpeta necesita una carpeta");
            entrada.carpeta = args[++i];
        } else if (a == "--solo-comprobar") {
            entrada.soloComprobar = true;
        } else if (a == "--buscar") {
            // Every file up to the next option.
            const size_t desde = i + 1;
            while (i + 1 < args.size() && !args[i + 1].starts_with("--"))
                entrada.buscar.push_back(args[++i]);
            if (i + 1 == desde) return ErrorDeUso("--buscar necesita algún fichero");
        } else if (a.starts_with("--")) {
            return ErrorDeUso("opción desconocida: " + a);
        } else {
            posicionales.push_back(a);
        }
    }
    if (posicionales.size() != 1 || posicionales[0].empty())
        return ErrorDeUso("reparar necesita un fichero PAR2");
    entrada.indice = posicionales[0];
    Consola consola;
    return Reparar(consola, entrada).estado;
}

} // namespace quimbel
