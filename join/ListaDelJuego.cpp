#include "ListaDelJuego.h"

#include "Integridad.h"
#include "Vecinos.h"
#include "files/Comparar.h"
#include "files/Rutas.h"
#include "files/Texto.h"
#include "verify/LineaSfv.h"

namespace quimbel {

std::optional<ListaDelJuego> BuscarListaDelJuego(const std::string& base) {
    for (const std::string& sufijo : ListarVecinos(base).sufijos) {
        if (!IgualesSinMayusculas(sufijo, "sfv")) continue;
        ListaDelJuego lista{CambiarExtension(base, "." + sufijo), {}};
        TextoEntrada texto;
        if (!AbrirTexto(texto, lista.ruta).Bien()) return std::nullopt;
        std::string linea;
        while (texto.LeerLinea(linea)) {
            const auto entrada = LeerLineaSfv(linea);
            if (!entrada) continue;
            // The split writes "./" in front of names a reader would take for a comment.
            std::string nombre =
                entrada->nombre.starts_with("./") ? entrada->nombre.substr(2) : entrada->nombre;
            const auto crc = LeerCrcSfv(entrada->textoCrc);
            if (crc && NombreSimple(nombre)) lista.crcs[std::move(nombre)] = *crc;
        }
        if (!texto.Error().Bien()) return std::nullopt;
        return lista;
    }
    return std::nullopt;
}

std::optional<std::string> FaltaSegunLista(const std::string& base, const PlanUnir& plan,
                                           const ListaDelJuego& lista) {
    // Numbers past the plan, as many as the list has entries: a longer run of them names no piece.
    const auto mas = static_cast<int64_t>(lista.crcs.size());
    for (int64_t n = plan.UltimoTrozo + 1; n <= plan.UltimoTrozo + mas; ++n) {
        const std::string nombre = NombreTrozoUnir(base, plan, n);
        if (lista.crcs.contains(NombreDeRuta(nombre)))
            return MensajeFalta(plan.UltimoTrozo + 1, NombreTrozoUnir(base, plan, plan.UltimoTrozo + 1));
    }
    return std::nullopt;
}

} // namespace quimbel
