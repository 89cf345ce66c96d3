// SPDX-License-Identifier: GPL-3.0-or-later
#include "Consola.h"
#include "Ordenes.h"

#include <optional>
#include <vector>

#include "files/Rutas.h"
#include "join/AnalisisUnir.h"
#include "join/PropuestaDestino.h"
#include "join/Union.h"

namespace quimbel {

int OrdenUnir(std::span<const std::string> args) {
    std::vector<std::string> posicionales;
    std::optional<std::string> destino;
    bool reemplazar = false;
    bool reparar = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--destino") {
            if (i + 1 >= args.size()) return ErrorDeUso("--destino necesita un fichero");
            destino = RutaAbsoluta(args[++i]);
        } else if (a == "--reemplazar") {
            reemplazar = true;
        } else if (a == "--reparar") {
            reparar = true;
        } else if (a.starts_with("--")) {
            return ErrorDeUso("opción desconocida: " + a);
        } else {
            posicionales.push_back(a);
        }
    }
    if (posicionales.size() != 1) return ErrorDeUso("unir necesita un TROZO");
    if (destino && destino->empty()) return ErrorDeUso("--destino necesita un fichero");

    Consola consola;
    consola.PermitirReemplazo(reemplazar);
    consola.PermitirReparar(reparar);
    EntradaUnir entrada;
    entrada.base = RutaAbsoluta(posicionales[0]);
    const AnalisisUnir analisis = AnalizarFicheroUnir(consola, entrada.base);
    // A missing piece stops the join with the same message, unless it can be rebuilt first.
    if (!analisis.correcto) return SalidaFallo;
    entrada.plan = analisis.plan;
    // Without a destination, the name the window would show: the Hacha header's, or the proposal.
    if (destino)
        entrada.destino = *destino;
    else if (analisis.destino)
        entrada.destino = *analisis.destino;
    else
        entrada.destino = NombrePropuesto(entrada.base, entrada.plan);
    return Unir(consola, entrada) ? SalidaBien : SalidaFallo;
}

} // namespace quimbel
