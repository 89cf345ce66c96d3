// SPDX-License-Identifier: GPL-3.0-or-later
#include "ListaDelJuego.h"

#include "Integridad.h"
#include "files/Carpeta.h"
#include "files/Comparar.h"
#include "files/Rutas.h"
#include "files/Texto.h"
#include "parity/DescripcionPar.h"
#include "verify/LineaSfv.h"

namespace quimbel {

namespace {

std::optional<ListaDelJuego> LeerSfv(const std::string& ruta) {
    ListaDelJuego lista{ruta, false, {}};
    TextoEntrada texto;
    if (!AbrirTexto(texto, ruta).Bien()) return std::nullopt;
    std::string linea;
    while (texto.LeerLinea(linea)) {
        const auto entrada = LeerLineaSfv(linea);
        if (!entrada) continue;
        // The split writes "./" in front of names a reader would take for a comment.
        std::string nombre = entrada->nombre.starts_with("./") ? entrada->nombre.substr(2) : entrada->nombre;
        const auto crc = LeerCrcSfv(entrada->textoCrc);
        if (crc && NombreSimple(nombre)) lista.trozos[std::move(nombre)].crc = *crc;
    }
    if (!texto.Error().Bien() || lista.trozos.empty()) return std::nullopt;
    return lista;
}

// A PAR2 set named like the pieces counts only when it lists the chosen piece: one that guards
// other files (the source beside its pieces) must not be offered to rebuild them.
std::optional<ListaDelJuego> LeerPar2(const std::string& ruta, const std::string& base) {
    Carpeta carpeta;
    if (!AbrirCarpeta(carpeta, CarpetaDeRuta(ruta)).Bien()) return std::nullopt;
    const auto ficheros = DescribirJuegoPar(carpeta, NombreDeRuta(ruta));
    if (!ficheros) return std::nullopt;
    ListaDelJuego lista{ruta, true, {}};
    for (const FicheroPar& f : *ficheros) {
        if (f.crcs.empty() || !NombreSimple(f.nombre) || f.tamano > uint64_t{INT64_MAX}) continue;
        EsperadoTrozo& e = lista.trozos[f.nombre];
        e.tamano = static_cast<int64_t>(f.tamano);
        e.tamanoRebanada = f.tamanoRebanada;
        e.crcsRebanadas = f.crcs;
    }
    if (!lista.trozos.contains(NombreDeRuta(base))) return std::nullopt;
    return lista;
}

} // namespace

std::optional<ListaDelJuego> BuscarListaDelJuego(const std::string& base,
                                                 const std::vector<std::string>& sufijos) {
    for (const char* tipo : {"par2", "sfv"}) {
        for (const std::string& sufijo : sufijos) {
            if (!IgualesSinMayusculas(sufijo, tipo)) continue;
            const std::string ruta = CambiarExtension(base, "." + sufijo);
            auto lista = std::string_view(tipo) == "par2" ? LeerPar2(ruta, base) : LeerSfv(ruta);
            if (lista) return lista;
        }
    }
    return std::nullopt;
}

std::optional<std::string> FallaSegunLista(const std::string& base, const PlanUnir& plan,
                                           const ListaDelJuego& lista) {
    // Numbers past the plan, as many as the list has entries: a longer run of them names no piece.
    const auto mas = static_cast<int64_t>(lista.trozos.size());
    for (int64_t n = plan.UltimoTrozo + 1; n <= plan.UltimoTrozo + mas; ++n) {
        const std::string nombre = NombreTrozoUnir(base, plan, n);
        if (lista.trozos.contains(NombreDeRuta(nombre)))
            return MensajeFalta(plan.UltimoTrozo + 1, NombreTrozoUnir(base, plan, plan.UltimoTrozo + 1));
    }
    for (int64_t n = plan.PrimerTrozo; n <= plan.UltimoTrozo; ++n) {
        const std::string nombre = NombreTrozoUnir(base, plan, n);
        const auto e = lista.trozos.find(NombreDeRuta(nombre));
        if (e == lista.trozos.end() || !e->second.tamano) continue;
        const int64_t tamano = TamanoEn(nombre);
        if (tamano != *e->second.tamano)
            return MensajeTamano(n, nombre, tamano, std::to_string(*e->second.tamano));
    }
    return std::nullopt;
}

} // namespace quimbel
