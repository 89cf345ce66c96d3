// SPDX-License-Identifier: GPL-3.0-or-later
#include "JuegoNuevo.h"

#include "Md5Varios.h"
#include "Memoria.h"

#include <algorithm>
#include <atomic>

namespace quimbel::par {
namespace {

// QUIMBEL_VERSION comes from the quimbel_version target alone.
constexpr std::string_view Creador = "Creado por Quimbel " QUIMBEL_VERSION;

// The 16 KiB hash of every piece of a group and the whole digest of those of several
// slices (which no slice's digest gives), the pieces hashed in lockstep.
Fallo LeerPrincipios(std::span<TrozoPar> trozos, const quimbel::Carpeta& carpeta, uint64_t tamanoRebanada,
                     NucleoMd5 nucleo, const Avisos& avisos) {
    Md5Varios md5(trozos.size(), nucleo);
    std::vector<quimbel::Fichero> ficheros(trozos.size());
    std::vector<uint64_t> hasta;
    std::vector<bool> enteros;
    // Room for what is read of each piece at a time: 16 KiB unless a piece is read whole.
    uint64_t bloque = 0;
    for (size_t i = 0; i < trozos.size(); ++i) {
        const TrozoPar& t = trozos[i];
        if (!AbrirFicheroEn(ficheros[i], carpeta, t.nombre).Bien())
            return FalloPar{CodigoFallo::Entrada, "¡ Error al leer fichero " + t.nombre + " !"};
        enteros.push_back(RebanadasDe(t.tamano, tamanoRebanada) > 1);
        hasta.push_back(enteros.back() ? t.tamano : std::min<uint64_t>(t.tamano, TamanoInicio));
        bloque = std::max(bloque, std::min<uint64_t>(hasta.back(), uint64_t{256} << 10));
    }
    Memoria datos(static_cast<size_t>(trozos.size() * bloque));
    std::vector<Md5Varios::Porcion> porciones;
    // The first round ends at 16 KiB, where the 16 KiB hash is taken.
    for (uint64_t x = 0; !avisos.Parar(); x += x == 0 ? TamanoInicio : bloque) {
        porciones.clear();
        for (size_t i = 0; i < trozos.size(); ++i) {
            if (x >= hasta[i]) continue;
            const auto n =
                static_cast<size_t>(std::min<uint64_t>(hasta[i] - x, x == 0 ? TamanoInicio : bloque));
            uint8_t* destino = datos.Datos() + i * bloque;
            if (!ficheros[i].LeerEn(destino, n, x))
                return FalloPar{CodigoFallo::Entrada, "¡ Error al leer fichero " + trozos[i].nombre + " !"};
            porciones.push_back({i, destino, n});
        }
        if (porciones.empty()) break;
        md5.Anadir(porciones);
        if (x == 0)
            for (size_t i = 0; i < trozos.size(); ++i)
                trozos[i].md5Inicio = md5.Valor(i);
    }
    for (size_t i = 0; i < trozos.size(); ++i) {
        if (enteros[i]) trozos[i].md5 = md5.Valor(i);
        trozos[i].id = IdDeFichero(trozos[i].md5Inicio, trozos[i].tamano, trozos[i].nombre);
    }
    return std::nullopt;
}

void Anexar(Bytes& todo, const Bytes& paquete) {
    todo.insert(todo.end(), paquete.begin(), paquete.end());
}

Bytes CuerpoPrincipalDe(const JuegoNuevo& conjunto) {
    std::vector<Huella> ids;
    for (const TrozoPar& t : conjunto.trozos)
        ids.push_back(t.id);
    return CuerpoPrincipal(conjunto.reparto.tamano, ids);
}

} // namespace

Fallo PrepararJuegoNuevo(std::span<const Entrada> entradas, const quimbel::Carpeta& carpeta,
                         uint32_t volumenes, const Reparto& reparto, unsigned hilos, NucleoMd5 nucleo,
                         Avisos& avisos, JuegoNuevo& conjunto) {
    conjunto = {};
    conjunto.carpeta = &carpeta;
    for (const Entrada& e : entradas)
        conjunto.trozos.push_back({e.nombre, e.tamano, {}, {}, {}, 0, 0});
    const std::vector<Grupo> grupos = Agrupar(conjunto.trozos.size(), hilos, CarrilesMd5(nucleo));
    std::atomic<size_t> siguiente{0};
    const Fallo error = avisos.EnParalelo(hilos, [&](unsigned) -> Fallo {
        while (!avisos.Parar()) {
            const size_t g = siguiente++;
            if (g >= grupos.size()) break;
            const std::span<TrozoPar> suyos(conjunto.trozos.data() + grupos[g].desde,
                                            grupos[g].hasta - grupos[g].desde);
            if (Fallo e = LeerPrincipios(suyos, carpeta, reparto.tamano, nucleo, avisos)) return e;
        }
        return std::nullopt;
    });
    if (error) return error;
    OrdenarJuegoNuevo(conjunto, volumenes, reparto);
    return std::nullopt;
}

void OrdenarJuegoNuevo(JuegoNuevo& conjunto, uint32_t volumenes, const Reparto& reparto) {
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
}

Bytes PaquetesComunes(const JuegoNuevo& conjunto) {
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
