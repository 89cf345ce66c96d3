// SPDX-License-Identifier: GPL-3.0-or-later
#include "Creacion.h"

#include "Calculo.h"
#include "LlamadaPar.h"
#include "Md5Varios.h"
#include "NombresPar.h"

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

Fallo ExaminarContraTrozos(const PreparacionPar& p, SalidasNuevas& salidas) {
    const TrozosAbiertos leidos(p.trozos, p.entradas);
    return ExaminarSalidas(salidas, p.carpeta, leidos.Lista(), p.orden.renombrarViejos);
}

Fallo CrearPar(std::span<const std::string> argumentos, const CarpetaDelTrabajo& trabajo, Avisos& avisos,
               const Limites& limites) {
    PreparacionPar p;
    const Fallo preparado = PrepararPar(argumentos, trabajo, limites, nullptr, p);
    for (const std::string& linea : p.lineas)
        avisos.Decir(linea);
    if (preparado) return preparado;

    const unsigned hilos = Hilos(limites, p.reparto.total);
    JuegoNuevo conjunto;
    if (Fallo error = PrepararJuegoNuevo(p.entradas, p.trozos, p.volumenes, p.reparto, hilos,
                                         limites.nucleoMd5, avisos, conjunto))
        return error;
    const Franjas franjas = PlanearFranjas(
        p.reparto.tamano, FilasDeCreacion(conjunto.recuperacion, CarrilesMd5(limites.nucleoMd5)), hilos,
        limites);
    // The set's files stay open (and locked) for the whole job; the pieces too when all fit.
    Calculo calculo(conjunto, franjas, hilos,
                    CabenAbiertos(limites, uint64_t{p.entradas.size()} + p.volumenes + 1),
                    limites.nucleoGalois, limites.nucleoMd5);

    // Declared before the new files: on a failure those are removed first, then the earlier
    // outputs get their names back.
    Renombradas renombradas(p.carpeta);
    Volumenes ficheros(conjunto, p.carpeta, p.salidas);
    if (Fallo error = ficheros.Crear()) return error;
    avisos.DecirPorcentajes(limites.avance);
    uint64_t total = 0;
    for (const Entrada& e : p.entradas)
        total += e.tamano;
    Progreso progreso(avisos, total);
    if (Fallo error = calculo.Ejecutar(avisos, progreso, ficheros)) return error;
    if (Fallo error = CerrarPar(p, conjunto, ficheros, renombradas, hilos, avisos)) return error;
    progreso.Terminar();
    return std::nullopt;
}

} // namespace

Fallo PrepararPar(std::span<const std::string> argumentos, const CarpetaDelTrabajo& trabajo,
                  const Limites& limites, const std::vector<uint64_t>* tamanos, PreparacionPar& p) {
    if (Fallo error = LeerOrden(argumentos, p.orden)) return error;
    const OrdenPar& orden = p.orden;
    // The pieces' folder and the set's, each opened once for the whole job.
    trabajo.Abrir("", p.trozos);
    trabajo.Abrir(orden.rutaPar, p.carpeta);
    std::vector<Entrada> listadas;
    if (tamanos == nullptr) {
        if (Fallo error = ExaminarEntradas(orden, p.trozos, listadas)) return error;
    } else {
        if (tamanos->size() != orden.trozos.size())
            return FalloPar{CodigoFallo::Argumentos, "¡ Error en los argumentos del PAR !"};
        if (Fallo error = ExaminarNombres(orden)) return error;
        for (size_t i = 0; i < orden.trozos.size(); ++i)
            listadas.push_back({orden.trozos[i], (*tamanos)[i]});
    }
    // Temporaries left in the set's folder by runs that died go; a piece is never taken for one.
    quimbel::LimpiarTemporales(p.carpeta, [&](std::string_view nombre) {
        return std::any_of(listadas.begin(), listadas.end(),
                           [&](const Entrada& e) { return e.nombre == nombre; });
    });
    // An empty piece has no slice; PAR clients take it for a damaged file, so it stays out.
    std::vector<uint64_t> conDatos;
    for (Entrada& e : listadas) {
        if (e.tamano == 0) {
            p.lineas.push_back("Trozo vacío, queda fuera del PAR: " + e.nombre);
            continue;
        }
        conDatos.push_back(e.tamano);
        p.entradas.push_back(std::move(e));
    }
    if (p.entradas.empty())
        return FalloPar{CodigoFallo::Rechazo, "¡ Error, no hay datos para el PAR: los trozos están vacíos !"};
    uint64_t pares = orden.pares;
    if (pares > p.entradas.size()) {
        pares = p.entradas.size();
        p.lineas.push_back("Número de pares rebajado a " + std::to_string(pares) + ", el número de trozos");
    }
    // The slices grow, when they must, until the recovery slices fit the bound too.
    const auto reparto = Repartir(conDatos, pares, limites);
    if (!reparto) return FalloPar{CodigoFallo::Rechazo, "¡ Error, demasiados trozos para el PAR !"};
    p.reparto = *reparto;
    p.volumenes = static_cast<uint32_t>(pares);

    p.salidas.mostrada = CarpetaDeRuta(orden.rutaPar);
    p.salidas.indice = NombreIndice(NombreSinCarpeta(orden.rutaPar));
    p.salidas.volumenes = NombresVolumenes(BaseVolumenes(p.salidas.indice), p.volumenes, reparto->porTrozo);
    return ExaminarContraTrozos(p, p.salidas);
}

Fallo CerrarPar(PreparacionPar& p, const JuegoNuevo& conjunto, Volumenes& ficheros, Renombradas& renombradas,
                unsigned hilos, Avisos& avisos) {
    if (Fallo error = ficheros.Escribir(PaquetesComunes(conjunto), hilos, avisos)) return error;
    // The last point where a stop leaves the folder as it was: from here the set takes its
    // names, the earlier outputs there now moving aside first.
    if (avisos.Detenido()) return FalloInterrumpido();
    if (Fallo error = ExaminarContraTrozos(p, p.salidas)) return error;
    if (Fallo error = renombradas.Renombrar(p.salidas)) return error;
    if (Fallo error = ficheros.Publicar(avisos)) return error;
    renombradas.Confirmar();
    return std::nullopt;
}

int ResultadoDeCreacion(const std::function<Fallo()>& trabajo, Avisos& avisos) {
    Fallo error;
    try {
        error = trabajo();
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

int EjecutarPar(std::span<const std::string> argumentos, const CarpetaDelTrabajo& trabajo, Avisos& avisos,
                const Limites& limites) {
    return ResultadoDeCreacion([&] { return CrearPar(argumentos, trabajo, avisos, limites); }, avisos);
}

} // namespace quimbel::par
