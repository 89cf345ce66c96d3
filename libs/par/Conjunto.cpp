#include "libs/par/Conjunto.h"

#include "libs/par/Disco.h"

#include <algorithm>
#include <atomic>

#ifndef QUIMBEL_VERSION
#define QUIMBEL_VERSION "?"
#endif

namespace quimbel::par {
namespace {

constexpr std::string_view Creador = "Creado por Quimbel " QUIMBEL_VERSION;

std::string LeerPrincipio(TrozoPar& trozo, uint64_t tamanoRebanada, const Avisos& avisos) {
    constexpr uint64_t bloqueEntero = uint64_t{1} << 20;
    const std::string error = "¡ Error al leer fichero " + trozo.nombre + " !";
    const Descriptor fichero = AbrirLectura(trozo.nombre);
    if (!fichero.Abierto()) return error;
    const bool entero = RebanadasDe(trozo.tamano, tamanoRebanada) > 1;
    const uint64_t hasta = entero ? trozo.tamano : std::min<uint64_t>(trozo.tamano, TamanoInicio);
    std::vector<uint8_t> bloque(static_cast<size_t>(std::min(hasta, bloqueEntero)));
    Md5 md5;
    // The first block ends at 16 KiB, where the 16 KiB hash is taken.
    for (uint64_t x = 0; x < hasta && !avisos.Parar();) {
        const auto n =
            static_cast<size_t>(std::min<uint64_t>(hasta - x, x == 0 ? TamanoInicio : bloque.size()));
        if (!fichero.LeerEn(bloque.data(), n, x)) return error;
        md5.Anadir(bloque.data(), n);
        if (x == 0) trozo.md5Inicio = md5.Valor();
        x += n;
    }
    if (entero) trozo.md5 = md5.Valor();
    trozo.id = IdDeFichero(trozo.md5Inicio, trozo.tamano, trozo.nombre);
    return "";
}

void Anexar(Bytes& todo, const Bytes& paquete) {
    todo.insert(todo.end(), paquete.begin(), paquete.end());
}

Bytes CuerpoPrincipalDe(const Conjunto& conjunto) {
    std::vector<Huella> ids;
    for (const TrozoPar& t : conjunto.trozos)
        ids.push_back(t.id);
    return CuerpoPrincipal(conjunto.reparto.tamano, ids);
}

} // namespace

std::string PrepararConjunto(std::span<const Entrada> entradas, uint32_t volumenes, const Reparto& reparto,
                             unsigned hilos, Avisos& avisos, Conjunto& conjunto) {
    conjunto = {};
    for (const Entrada& e : entradas)
        conjunto.trozos.push_back({e.nombre, e.tamano, {}, {}, {}, 0, 0});
    std::atomic<size_t> siguiente{0};
    const std::string error = avisos.EnParalelo(hilos, [&](unsigned) -> std::string {
        while (!avisos.Parar()) {
            const size_t i = siguiente++;
            if (i >= conjunto.trozos.size()) break;
            if (std::string e = LeerPrincipio(conjunto.trozos[i], reparto.tamano, avisos); !e.empty())
                return e;
        }
        return "";
    });
    if (!error.empty()) return error;

    std::sort(conjunto.trozos.begin(), conjunto.trozos.end(),
              [](const TrozoPar& a, const TrozoPar& b) { return MenorId(a.id, b.id); });
    uint32_t primera = 0;
    for (TrozoPar& t : conjunto.trozos) {
        t.primera = primera;
        t.rebanadas = static_cast<uint32_t>(RebanadasDe(t.tamano, reparto.tamano));
        primera += t.rebanadas;
    }
    conjunto.reparto = reparto;
    conjunto.volumenes = volumenes;
    conjunto.recuperacion = volumenes * reparto.porTrozo;
    conjunto.huellas.assign(primera, {});
    const Bytes principal = CuerpoPrincipalDe(conjunto);
    conjunto.id = Md5De(principal.data(), principal.size());
    return "";
}

Bytes PaquetesComunes(const Conjunto& conjunto) {
    Bytes todo;
    Anexar(todo, Paquete(conjunto.id, TipoPrincipal, CuerpoPrincipalDe(conjunto)));
    for (const TrozoPar& t : conjunto.trozos)
        Anexar(todo, Paquete(conjunto.id, TipoDescripcion,
                             CuerpoDescripcion(t.id, t.md5, t.md5Inicio, t.tamano, t.nombre)));
    for (const TrozoPar& t : conjunto.trozos) {
        const std::span<const HuellaRebanada> suyas(conjunto.huellas.data() + t.primera, t.rebanadas);
        Anexar(todo, Paquete(conjunto.id, TipoVerificacion, CuerpoVerificacion(t.id, suyas)));
    }
    Anexar(todo, Paquete(conjunto.id, TipoCreador, CuerpoCreador(Creador)));
    return todo;
}

} // namespace quimbel::par
