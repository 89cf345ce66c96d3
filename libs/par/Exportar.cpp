// The library's exports, by the fixed records of include/LlamadaPar.h: call_par, kept as it
// was; call_par_contexto, the versioned record with the job's folder and a context; and
// par_describir, a set's files as its packets list them.
#include "Avisos.h"
#include "Creacion.h"
#include "Descripcion.h"
#include "Disco.h"
#include "Limites.h"
#include "LlamadaPar.h"
#include "OrdenReparacion.h"
#include "TrabajoReparacion.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

extern "C" __attribute__((visibility("default"))) int32_t call_par(LlamadaPar* llamada);
extern "C" __attribute__((visibility("default"))) int32_t call_par_contexto(LlamadaParContexto* llamada);
extern "C" __attribute__((visibility("default"))) int32_t par_describir(const LlamadaParDescribir* llamada);

namespace {

using quimbel::par::Avisos;

// The job the vector asks for, in the folder given, its texts going to salida; detener, when
// there is one, says whether to stop.
int32_t Ejecutar(int32_t cuenta, char* const* vector, int carpeta,
                 const std::function<void(bool reparacion, const char*)>& salida,
                 const std::function<bool()>& detener = {}) {
    std::vector<std::string> argumentos;
    const bool cuentaValida = cuenta >= 1 && cuenta < LLAMADA_PAR_ENTRADAS;
    for (int32_t i = 0; cuentaValida && i < cuenta && vector[i] != nullptr; ++i)
        argumentos.emplace_back(vector[i]);
    const bool reparacion = quimbel::par::EsOrdenReparacion(argumentos);
    Avisos avisos([&](const char* texto) { salida(reparacion, texto); }, detener);
    if (!cuentaValida || argumentos.size() != static_cast<size_t>(cuenta)) {
        avisos.Decir("¡ Error en los argumentos del PAR !");
        return 1;
    }
    const quimbel::par::CarpetaDelTrabajo trabajo(carpeta);
    if (reparacion)
        return quimbel::par::EjecutarReparacion(argumentos, trabajo, avisos, quimbel::par::Limites{});
    return quimbel::par::EjecutarPar(argumentos, trabajo, avisos, quimbel::par::Limites{});
}

} // namespace

int32_t call_par(LlamadaPar* llamada) {
    if (llamada == nullptr) return 1;
    try {
        // This record's progress texts come from "verify" and "repair" only.
        const ProgresoParFuncion progreso = llamada->progreso;
        return Ejecutar(llamada->cuenta, llamada->argumentos, LLAMADA_PAR_CARPETA_ACTUAL,
                        [progreso](bool reparacion, const char* texto) {
                            if (progreso == nullptr) return;
                            if (!reparacion && std::string_view(texto).starts_with(LLAMADA_PAR_AVANCE))
                                return;
                            progreso(texto);
                        });
    } catch (...) {
        return 1;
    }
}

int32_t call_par_contexto(LlamadaParContexto* llamada) {
    if (llamada == nullptr) return 1;
    const bool v2 = llamada->version == 2 && llamada->tamano >= LLAMADA_PAR_TAMANO_V2;
    if (!v2 && (llamada->version != LLAMADA_PAR_VERSION || llamada->tamano < sizeof(LlamadaParContexto)))
        return 1;
    try {
        const ProgresoParContextoFuncion progreso = llamada->progreso;
        void* const contexto = llamada->contexto;
        const DetenerParFuncion detener = v2 ? nullptr : llamada->detener;
        return Ejecutar(
            llamada->cuenta, llamada->argumentos, llamada->carpeta,
            [progreso, contexto](bool, const char* texto) {
                if (progreso != nullptr) progreso(contexto, texto);
            },
            detener == nullptr ? std::function<bool()>() : std::function<bool()>([detener, contexto] {
                return detener(contexto) != 0;
            }));
    } catch (...) {
        return 1;
    }
}

int32_t par_describir(const LlamadaParDescribir* llamada) {
    if (llamada == nullptr || llamada->version != LLAMADA_PAR_DESCRIBIR_VERSION ||
        llamada->tamano < sizeof(LlamadaParDescribir) || llamada->indice == nullptr ||
        *llamada->indice == '\0')
        return 1;
    try {
        quimbel::Carpeta carpeta;
        const std::string indice(llamada->indice);
        if (!quimbel::par::CarpetaDelTrabajo(llamada->carpeta).Abrir(indice, carpeta).Bien()) return 2;
        const FicheroParFuncion fichero = llamada->fichero;
        void* const contexto = llamada->contexto;
        return quimbel::par::DescribirJuego(
            carpeta, indice, [&](const quimbel::par::FicheroJuego& f, uint64_t tamanoRebanada) {
                if (fichero == nullptr) return;
                std::vector<uint32_t> crcs;
                for (const auto& h : f.huellas)
                    crcs.push_back(h.crc);
                const FicheroParDescrito descrito{f.nombre.c_str(), f.tamano, tamanoRebanada, f.rebanadas,
                                                  crcs.size() == f.rebanadas && !crcs.empty() ? crcs.data()
                                                                                              : nullptr};
                fichero(contexto, &descrito);
            });
    } catch (...) {
        return 1;
    }
}

// The records are shared with programs built on their own: their C layout is fixed.
static_assert(offsetof(LlamadaPar, argumentos) == 2 * sizeof(void*));
static_assert(offsetof(LlamadaParContexto, progreso) == 8);
static_assert(offsetof(LlamadaParContexto, carpeta) == 8 + 2 * sizeof(void*));
static_assert(offsetof(LlamadaParContexto, argumentos) == 16 + 2 * sizeof(void*));
static_assert(LLAMADA_PAR_TAMANO_V2 ==
              offsetof(LlamadaParContexto, argumentos) + LLAMADA_PAR_ENTRADAS * sizeof(char*));
