// SPDX-License-Identifier: GPL-3.0-or-later
#include "Consola.h"
#include "Ordenes.h"

#include <optional>
#include <string>
#include <vector>

#include "files/Rutas.h"
#include "split/Corte.h"
#include "split/ListaTrozos.h"
#include "split/Plan.h"

namespace quimbel {

int OrdenCortar(std::span<const std::string> args) {
    EntradaCorte entrada;
    std::optional<ListaTrozos> lista;
    std::vector<std::string> posicionales;
    bool reemplazar = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hayValor = i + 1 < args.size();
        if (a == "--destino") {
            if (!hayValor) return ErrorDeUso("--destino necesita una carpeta");
            entrada.destino = RutaAbsoluta(args[++i]);
        } else if (a == "--esquema") {
            if (!hayValor) return ErrorDeUso("--esquema necesita normal, cortaarchivos o hacha");
            const std::string& esquema = args[++i];
            if (esquema == "normal")
                entrada.tipo = TipoCorte::Normal;
            else if (esquema == "cortaarchivos")
                entrada.tipo = TipoCorte::CortaArchivos;
            else if (esquema == "hacha")
                entrada.tipo = TipoCorte::Hacha;
            else
                return ErrorDeUso("esquema desconocido: " + esquema);
        } else if (a == "--trozos") {
            if (!hayValor) return ErrorDeUso("--trozos necesita una lista de trozos, como 2,5,7-9");
            lista = LeerListaTrozos(args[++i]);
            if (!lista) return ErrorDeUso("lista de trozos no válida: " + args[i] + " (ejemplo: 2,5,7-9)");
        } else if (a == "--reemplazar") {
            reemplazar = true;
        } else if (a == "--sfv") {
            entrada.sfv = true;
        } else if (a == "--par") {
            if (!hayValor)
                return ErrorDeUso(
                    "--par necesita el número de trozos recuperables (\"\" o 0: solo el índice)");
            entrada.par = true;
            entrada.numeroPar = args[++i];
        } else if (a.starts_with("--")) {
            return ErrorDeUso("opción desconocida: " + a);
        } else {
            posicionales.push_back(a);
        }
    }
    if (posicionales.size() != 2) return ErrorDeUso("cortar necesita FUENTE y TAMAÑO");
    entrada.fuente = RutaAbsoluta(posicionales[0]);
    entrada.tamano = posicionales[1];

    // Plan first, as the window does when the source is chosen: N checks the list, and a
    // plan in force for the same inputs spares the split from planning (and reporting) again.
    Consola consola;
    consola.PermitirReemplazo(reemplazar);
    const PlanCorte plan = PrepararCorte(consola, entrada.fuente, entrada.tamano, entrada.tipo, ",");
    if (consola.Errores() > 0) return SalidaFallo;
    if (plan.cortePreparado) {
        const int64_t n = *plan.numTrozos;
        if (lista && lista->Mayor() > n)
            return ErrorDeUso("el trozo " + std::to_string(lista->Mayor()) + " no existe: el juego tiene " +
                              std::to_string(n) + (n == 1 ? " trozo" : " trozos"));
        entrada.plan = PlanEnVigor{plan.origen, lista ? lista->Marcas(n)
                                                      : std::vector<bool>(static_cast<size_t>(n), true)};
    }
    const ResultadoCorte r = Cortar(consola, entrada);
    return r.finalizado && r.completo ? SalidaBien : SalidaFallo;
}

} // namespace quimbel
