// SPDX-License-Identifier: GPL-3.0-or-later
// The library's exports, by the fixed records of include/LlamadaPar.h: call_par, kept as it
// was; call_par_contexto, the versioned record with the job's folder and a context;
// par_describir, a set's files as its packets list them; and the streamed creation.
#include "Avisos.h"
#include "Creacion.h"
#include "Descripcion.h"
#include "Disco.h"
#include "Flujo.h"
#include "Limites.h"
#include "LlamadaPar.h"
#include "OrdenReparacion.h"
#include "TrabajoReparacion.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

extern "C" __attribute__((visibility("default"))) int32_t call_par(LlamadaPar* llamada);
extern "C" __attribute__((visibility("default"))) int32_t call_par_contexto(LlamadaParContexto* llamada);
extern "C" __attribute__((visibility("default"))) int32_t par_describir(const LlamadaParDescribir* llamada);
extern "C" __attribute__((visibility("default"))) int32_t par_flujo_abrir(const LlamadaParContexto* llamada,
                                                                          const uint64_t* tamanos,
                                                                          uint64_t memoria, ParFlujo** flujo);
extern "C" __attribute__((visibility("default"))) int32_t par_flujo_principio(ParFlujo* flujo, int32_t trozo,
                                                                              const void* datos, uint64_t n);
extern "C" __attribute__((visibility("default"))) int32_t par_flujo_datos(ParFlujo* flujo, const void* datos,
                                                                          uint64_t n);
extern "C" __attribute__((visibility("default"))) int32_t
par_flujo_datos_de(ParFlujo* flujo, uint32_t cuantos, const int32_t* trozos, const void* const* datos,
                   const uint64_t* n);
extern "C" __attribute__((visibility("default"))) int32_t
par_flujo_terminar(ParFlujo* flujo, ProgresoParContextoFuncion progreso, void* contexto,
                   DetenerParFuncion detener);
extern "C" __attribute__((visibility("default"))) void par_flujo_abandonar(ParFlujo* flujo);

// The opaque job of the streamed creation.
struct ParFlujo {
    std::unique_ptr<quimbel::par::TrabajoEnFlujo> trabajo;
};

namespace {

using quimbel::par::Avisos;

// The texts of the vector; false when the count is out of range or a null lies inside it.
bool LeerVector(int32_t cuenta, char* const* vector, std::vector<std::string>& argumentos) {
    const bool cuentaValida = cuenta >= 1 && cuenta < LLAMADA_PAR_ENTRADAS;
    for (int32_t i = 0; cuentaValida && i < cuenta && vector[i] != nullptr; ++i)
        argumentos.emplace_back(vector[i]);
    return cuentaValida && argumentos.size() == static_cast<size_t>(cuenta);
}

// Whether the record's version and size are ones the library takes; v2 tells a record of version 2.
bool RecordValido(const LlamadaParContexto& llamada, bool& v2) {
    v2 = llamada.version == 2 && llamada.tamano >= LLAMADA_PAR_TAMANO_V2;
    return v2 || (llamada.version == LLAMADA_PAR_VERSION && llamada.tamano >= sizeof(LlamadaParContexto));
}

// The stop question of a record, for the job's Avisos.
std::function<bool()> Detener(DetenerParFuncion detener, void* contexto) {
    if (detener == nullptr) return {};
    return [detener, contexto] { return detener(contexto) != 0; };
}

// The job the vector asks for, in the folder given, its texts going to salida; detener, when
// there is one, says whether to stop.
int32_t Ejecutar(int32_t cuenta, char* const* vector, int carpeta,
                 const std::function<void(bool reparacion, const char*)>& salida,
                 const std::function<bool()>& detener = {}) {
    std::vector<std::string> argumentos;
    const bool vectorValido = LeerVector(cuenta, vector, argumentos);
    const bool reparacion = quimbel::par::EsOrdenReparacion(argumentos);
    Avisos avisos([&](const char* texto) { salida(reparacion, texto); }, detener);
    if (!vectorValido) {
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
    bool v2 = false;
    if (llamada == nullptr || !RecordValido(*llamada, v2)) return 1;
    try {
        const ProgresoParContextoFuncion progreso = llamada->progreso;
        void* const contexto = llamada->contexto;
        const DetenerParFuncion detener = v2 ? nullptr : llamada->detener;
        return Ejecutar(
            llamada->cuenta, llamada->argumentos, llamada->carpeta,
            [progreso, contexto](bool, const char* texto) {
                if (progreso != nullptr) progreso(contexto, texto);
            },
            Detener(detener, contexto));
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

int32_t par_flujo_abrir(const LlamadaParContexto* llamada, const uint64_t* tamanos, uint64_t memoria,
                        ParFlujo** flujo) {
    if (flujo == nullptr) return 1;
    *flujo = nullptr;
    bool v2 = false;
    if (llamada == nullptr || tamanos == nullptr || !RecordValido(*llamada, v2)) return 1;
    try {
        std::vector<std::string> argumentos;
        if (!LeerVector(llamada->cuenta, llamada->argumentos, argumentos)) return 1;
        quimbel::par::Limites limites;
        limites.memoriaFlujo = memoria;
        auto nuevo = std::make_unique<ParFlujo>();
        const int resultado = quimbel::par::TrabajoEnFlujo::Abrir(
            argumentos, quimbel::par::CarpetaDelTrabajo(llamada->carpeta), tamanos, limites, nuevo->trabajo);
        if (resultado != 0) return resultado;
        *flujo = nuevo.release();
        return 0;
    } catch (...) {
        return 1;
    }
}

int32_t par_flujo_principio(ParFlujo* flujo, int32_t trozo, const void* datos, uint64_t n) {
    if (flujo == nullptr || trozo < 0 || (datos == nullptr && n > 0)) return 1;
    try {
        return flujo->trabajo->Principio(static_cast<size_t>(trozo), static_cast<const uint8_t*>(datos), n);
    } catch (...) {
        return 1;
    }
}

int32_t par_flujo_datos(ParFlujo* flujo, const void* datos, uint64_t n) {
    if (flujo == nullptr || (datos == nullptr && n > 0)) return 1;
    return flujo->trabajo->Datos(static_cast<const uint8_t*>(datos), n);
}

int32_t par_flujo_datos_de(ParFlujo* flujo, uint32_t cuantos, const int32_t* trozos, const void* const* datos,
                           const uint64_t* n) {
    if (flujo == nullptr || cuantos > LLAMADA_PAR_ENTRADAS || (cuantos > 0 && (!trozos || !datos || !n)))
        return 1;
    try {
        std::vector<quimbel::par::TrabajoEnFlujo::Parte> partes;
        for (uint32_t k = 0; k < cuantos; ++k) {
            // A part that cannot be taken names no piece, which breaks the job.
            const bool valida = trozos[k] >= 0 && (datos[k] != nullptr || n[k] == 0);
            partes.push_back({valida ? static_cast<size_t>(trozos[k]) : SIZE_MAX,
                              static_cast<const uint8_t*>(datos[k]), n[k]});
        }
        return flujo->trabajo->DatosDe(partes);
    } catch (...) {
        return 1;
    }
}

int32_t par_flujo_terminar(ParFlujo* flujo, ProgresoParContextoFuncion progreso, void* contexto,
                           DetenerParFuncion detener) {
    if (flujo == nullptr) return 1;
    const std::unique_ptr<ParFlujo> propio(flujo);
    try {
        Avisos avisos(
            [progreso, contexto](const char* texto) {
                if (progreso != nullptr) progreso(contexto, texto);
            },
            Detener(detener, contexto));
        return propio->trabajo->Terminar(avisos);
    } catch (...) {
        return 1;
    }
}

void par_flujo_abandonar(ParFlujo* flujo) {
    delete flujo;
}

// The records are shared with programs built on their own: their C layout is fixed.
static_assert(offsetof(LlamadaPar, argumentos) == 2 * sizeof(void*));
static_assert(offsetof(LlamadaParContexto, progreso) == 8);
static_assert(offsetof(LlamadaParContexto, carpeta) == 8 + 2 * sizeof(void*));
static_assert(offsetof(LlamadaParContexto, argumentos) == 16 + 2 * sizeof(void*));
static_assert(LLAMADA_PAR_TAMANO_V2 ==
              offsetof(LlamadaParContexto, argumentos) + LLAMADA_PAR_ENTRADAS * sizeof(char*));
