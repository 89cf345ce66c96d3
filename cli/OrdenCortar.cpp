#include "Consola.h"
#include "Ordenes.h"

#include "files/Rutas.h"
#include "split/Corte.h"

namespace quimbel {

int OrdenCortar(std::span<const std::string> args) {
    EntradaCorte entrada;
    std::vector<std::string> posicionales;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hayValor = i + 1 < args.size();
        if (a == "--destino") {
            if (!hayValor) return ErrorDeUso("--destino necesita una carpeta");
            entrada.destino = RutaAbsoluta(args[++i]);
        } else if (a == "--esquema") {
            if (!hayValor) return ErrorDeUso("--esquema necesita normal, cortaarchivos o hacha");
            const std::string& esquema = args[++i];
            if (esquema == "normal") entrada.tipo = TipoCorte::Normal;
            else if (esquema == "cortaarchivos") entrada.tipo = TipoCorte::CortaArchivos;
            else if (esquema == "hacha") entrada.tipo = TipoCorte::Hacha;
            else return ErrorDeUso("esquema desconocido: " + esquema);
        } else if (a == "--sfv") {
            entrada.sfv = true;
        } else if (a.starts_with("--")) {
            return ErrorDeUso("opción desconocida: " + a);
        } else {
            posicionales.push_back(a);
        }
    }
    if (posicionales.size() != 2) return ErrorDeUso("cortar necesita FUENTE y TAMAÑO");
    entrada.fuente = RutaAbsoluta(posicionales[0]);
    entrada.tamano = posicionales[1];

    Consola consola;
    const ResultadoCorte r = Cortar(consola, entrada);
    return r.finalizado && r.completo ? SalidaBien : SalidaFallo;
}

} // namespace quimbel
