#include "libs/par/Trabajo.h"

#include "libs/par/Abiertos.h"
#include "libs/par/Calculo.h"
#include "libs/par/Conjunto.h"
#include "libs/par/Entradas.h"
#include "libs/par/Md5Varios.h"
#include "libs/par/Nombres.h"
#include "libs/par/Orden.h"
#include "libs/par/Reparto.h"
#include "libs/par/Salidas.h"
#include "libs/par/Volumenes.h"

#include <algorithm>
#include <new>
#include <numeric>
#include <thread>

namespace quimbel::par {
namespace {

unsigned Hilos(const Limites& limites, size_t rebanadas) {
    constexpr unsigned maximo = 16;
    unsigned hilos = limites.hilos != 0 ? limites.hilos
                                        : std::min(maximo, std::max(1u, std::thread::hardware_concurrency()));
    return static_cast<unsigned>(std::min<size_t>(hilos, std::max<size_t>(rebanadas, 1)));
}

Fallo CrearPar(const OrdenPar& orden, Avisos& avisos, const Limites& limites) {
    std::vector<Entrada> listadas;
    if (Fallo error = ExaminarEntradas(orden, listadas)) return error;
    // An empty piece has no slice; PAR clients take it for a damaged file, so it stays out.
    std::vector<Entrada> entradas;
    std::vector<uint64_t> tamanos;
    for (Entrada& e : listadas) {
        if (e.tamano == 0) {
            avisos.Decir("Trozo vacío, queda fuera del PAR: " + e.nombre);
            continue;
        }
        tamanos.push_back(e.tamano);
        entradas.push_back(std::move(e));
    }
    if (entradas.empty()) return "¡ Error, no hay datos para el PAR: los trozos están vacíos !";
    uint64_t pares = orden.pares;
    if (pares > entradas.size()) {
        pares = entradas.size();
        avisos.Decir("Número de pares rebajado a " + std::to_string(pares) + ", el número de trozos");
    }
    // The slices grow, when they must, until the recovery slices fit the bound too.
    const auto reparto = Repartir(tamanos, pares, limites);
    if (!reparto) return "¡ Error, demasiados trozos para el PAR !";
    const auto volumenes = static_cast<uint32_t>(pares);

    Salidas salidas;
    salidas.indice = NombreIndice(orden.rutaPar);
    salidas.volumenes = NombresVolumenes(BaseVolumenes(salidas.indice), volumenes, reparto->porTrozo);
    if (Fallo error = ExaminarSalidas(salidas, entradas, orden.renombrarViejos)) return error;

    const unsigned hilos = Hilos(limites, reparto->total);
    Conjunto conjunto;
    if (Fallo error =
            PrepararConjunto(entradas, volumenes, *reparto, hilos, limites.nucleoMd5, avisos, conjunto))
        return error;
    const Franjas franjas = PlanearFranjas(reparto->tamano, conjunto.recuperacion, hilos,
                                           CarrilesMd5(limites.nucleoMd5), limites);
    Calculo calculo(conjunto, franjas, hilos, CabenAbiertos(limites, uint64_t{entradas.size()} + volumenes),
                    limites.nucleoGalois, limites.nucleoMd5);

    // Declared before the new files: on a failure those are removed first, then the earlier
    // outputs get their names back.
    Renombradas renombradas;
    if (Fallo error = renombradas.Renombrar(salidas)) return error;
    Volumenes ficheros(conjunto, salidas.indice, salidas.volumenes);
    if (Fallo error = ficheros.Crear()) return error;
    avisos.Medir(std::accumulate(tamanos.begin(), tamanos.end(), uint64_t{0}), limites.avance);
    if (Fallo error = calculo.Ejecutar(avisos, ficheros)) return error;
    Fallo error = ficheros.Terminar(PaquetesComunes(conjunto), hilos, avisos);
    if (!error) renombradas.Confirmar();
    return error;
}

} // namespace

int EjecutarPar(std::span<const std::string> argumentos, Avisos& avisos, const Limites& limites) {
    Fallo error;
    try {
        std::string rechazo;
        const auto orden = LeerOrden(argumentos, rechazo);
        error = orden ? CrearPar(*orden, avisos, limites) : Fallo(std::move(rechazo));
    } catch (const std::bad_alloc&) {
        error = ErrorMemoria;
    } catch (const std::exception& e) {
        error = std::string("¡ Error al crear el PAR: ") + e.what() + " !";
    }
    if (!error) return 0;
    avisos.Decir(*error);
    return 1;
}

} // namespace quimbel::par
