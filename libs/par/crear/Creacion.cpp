#include "Creacion.h"

#include "Calculo.h"
#include "Entradas.h"
#include "JuegoNuevo.h"
#include "LlamadaPar.h"
#include "Md5Varios.h"
#include "NombresPar.h"
#include "OrdenPar.h"
#include "Reparto.h"
#include "SalidasNuevas.h"
#include "Volumenes.h"

#include <algorithm>
#include <memory>
#include <new>
#include <numeric>

#include "files/Rutas.h"
#include "files/Temporales.h"

namespace quimbel::par {
namespace {

// The files the job reads, open while its outputs are checked against them.
class TrozosAbiertos {
  public:
    TrozosAbiertos(const quimbel::Carpeta& carpeta, std::span<const Entrada> entradas) {
        for (const Entrada& e : entradas) {
            auto fichero = std::make_unique<quimbel::Fichero>();
            if (AbrirFicheroEn(*fichero, carpeta, e.nombre).Bien()) protegidos_.Anadir(*fichero);
            abiertos_.push_back(std::move(fichero));
        }
    }
    const quimbel::Protegidos& Lista() const { return protegidos_; }

  private:
    std::vector<std::unique_ptr<quimbel::Fichero>> abiertos_;
    quimbel::Protegidos protegidos_;
};

Fallo CrearPar(const OrdenPar& orden, const CarpetaDelTrabajo& trabajo, Avisos& avisos,
               const Limites& limites) {
    // The pieces' folder and the set's, each opened once for the whole job.
    quimbel::Carpeta trozos, carpeta;
    trabajo.Abrir("", trozos);
    trabajo.Abrir(orden.rutaPar, carpeta);
    std::vector<Entrada> listadas;
    if (Fallo error = ExaminarEntradas(orden, trozos, listadas)) return error;
    // Temporaries left in the set's folder by runs that died go; a piece is never taken for one.
    quimbel::LimpiarTemporales(carpeta, [&](std::string_view nombre) {
        return std::any_of(listadas.begin(), listadas.end(),
                           [&](const Entrada& e) { return e.nombre == nombre; });
    });
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
    if (entradas.empty())
        return FalloPar{CodigoFallo::Rechazo, "¡ Error, no hay datos para el PAR: los trozos están vacíos !"};
    uint64_t pares = orden.pares;
    if (pares > entradas.size()) {
        pares = entradas.size();
        avisos.Decir("Número de pares rebajado a " + std::to_string(pares) + ", el número de trozos");
    }
    // The slices grow, when they must, until the recovery slices fit the bound too.
    const auto reparto = Repartir(tamanos, pares, limites);
    if (!reparto) return FalloPar{CodigoFallo::Rechazo, "¡ Error, demasiados trozos para el PAR !"};
    const auto volumenes = static_cast<uint32_t>(pares);

    SalidasNuevas salidas;
    salidas.mostrada = CarpetaDeRuta(orden.rutaPar);
    salidas.indice = NombreIndice(NombreSinCarpeta(orden.rutaPar));
    salidas.volumenes = NombresVolumenes(BaseVolumenes(salidas.indice), volumenes, reparto->porTrozo);
    {
        const TrozosAbiertos leidos(trozos, entradas);
        if (Fallo error = ExaminarSalidas(salidas, carpeta, leidos.Lista(), orden.renombrarViejos))
            return error;
    }

    const unsigned hilos = Hilos(limites, reparto->total);
    JuegoNuevo conjunto;
    if (Fallo error = PrepararJuegoNuevo(entradas, trozos, volumenes, *reparto, hilos, limites.nucleoMd5,
                                         avisos, conjunto))
        return error;
    const Franjas franjas = PlanearFranjas(
        reparto->tamano, FilasDeCreacion(conjunto.recuperacion, CarrilesMd5(limites.nucleoMd5)), hilos,
        limites);
    // The set's files stay open (and locked) for the whole job; the pieces too when all fit.
    Calculo calculo(conjunto, franjas, hilos,
                    CabenAbiertos(limites, uint64_t{entradas.size()} + volumenes + 1), limites.nucleoGalois,
                    limites.nucleoMd5);

    // Declared before the new files: on a failure those are removed first, then the earlier
    // outputs get their names back.
    Renombradas renombradas(carpeta);
    Volumenes ficheros(conjunto, carpeta, salidas);
    if (Fallo error = ficheros.Crear()) return error;
    avisos.DecirPorcentajes(limites.avance);
    Progreso progreso(avisos, std::accumulate(tamanos.begin(), tamanos.end(), uint64_t{0}));
    if (Fallo error = calculo.Ejecutar(avisos, progreso, ficheros)) return error;
    if (Fallo error = ficheros.Escribir(PaquetesComunes(conjunto), hilos, avisos)) return error;
    // The last point where a stop leaves the folder as it was: from here the set takes its
    // names, the earlier outputs there now moving aside first.
    if (avisos.Detenido()) return FalloInterrumpido();
    {
        const TrozosAbiertos leidos(trozos, entradas);
        if (Fallo error = ExaminarSalidas(salidas, carpeta, leidos.Lista(), orden.renombrarViejos))
            return error;
    }
    if (Fallo error = renombradas.Renombrar(salidas)) return error;
    if (Fallo error = ficheros.Publicar(avisos)) return error;
    renombradas.Confirmar();
    progreso.Terminar();
    return std::nullopt;
}

} // namespace

int EjecutarPar(std::span<const std::string> argumentos, const CarpetaDelTrabajo& trabajo, Avisos& avisos,
                const Limites& limites) {
    Fallo error;
    try {
        OrdenPar orden;
        error = LeerOrden(argumentos, orden);
        if (!error) error = CrearPar(orden, trabajo, avisos, limites);
    } catch (const std::bad_alloc&) {
        error = FalloMemoria();
    } catch (const std::exception& e) {
        error = FalloPar{CodigoFallo::Interno, std::string("¡ Error al crear el PAR: ") + e.what() + " !"};
    }
    if (!error) return 0;
    if (error->codigo == CodigoFallo::Interrumpido) return LLAMADA_PAR_INTERRUMPIDA;
    avisos.Decir(*error);
    return 1;
}

} // namespace quimbel::par
