#pragma once
// The rebuilding of a set's files that are not whole, into their temporaries (Temporales.h):
// intact slices are copied from the damaged file, missing ones computed from the recovery
// slices. Every slice the work needs is read stripe by stripe, the same byte range of each:
// every thread adds the intact slices it reads, times their factors, into its own syndromes of
// the recovery slices used (with the multiply-add that creation uses); the threads' syndromes
// are added up, and each missing slice's stripe is their combination by the solution's factors.
// The buffers stay within the job's memory bound whatever the slice size and count.
#include "libs/par/Avisos.h"
#include "libs/par/Comprobacion.h"
#include "libs/par/Fallo.h"
#include "libs/par/Juego.h"
#include "libs/par/Limites.h"
#include "libs/par/Solucion.h"
#include "libs/par/Temporales.h"

#include <span>
#include <string>
#include <vector>

namespace quimbel::par {

// Where a repair reads: the files beneath the set's folder (shown in lines with the prefix
// mostrada), and the set's own files by the paths and identities they had when their packets
// were read.
struct OrigenesReparacion {
    const quimbel::Carpeta& carpeta;
    const std::string& mostrada;
    std::span<const std::string> rutasJuego;
    std::span<const quimbel::IdFichero> idsJuego;
};

// What is rebuilt: the files rewritten (set indices; temporary t of the Temporales is file
// reescritos[t]) and the missing slices (set indices, in the order of the solution's unknowns).
struct PlanReconstruccion {
    std::vector<size_t> reescritos;
    std::vector<uint32_t> faltantes;
};

// Bytes of one slice read at a time, and stripes, for m missing slices on `hilos` threads:
// each thread's syndromes and data, and the missing slices' stripes, fit the memory bound.
struct FranjasReparacion {
    uint64_t ancho = 0;  // bytes of every slice in a stripe (the last may have fewer)
    uint64_t fila = 0;   // room of one slice's stripe, a multiple of 64
    uint64_t numero = 1; // stripes
};
FranjasReparacion PlanearReparacion(uint64_t tamanoRebanada, uint64_t m, unsigned hilos,
                                    const Limites& limites);

// Writes every rewritten file's slices into its temporary, with progress lines. A file read
// again must still be the one checked (same identity and size). Nothing or the line of a failure.
Fallo Reconstruir(const Juego& juego, std::span<const EstadoFichero> estados, const PlanReconstruccion& plan,
                  const Solucion& solucion, const OrigenesReparacion& origenes, Temporales& temporales,
                  unsigned hilos, bool mantenerAbiertos, const Limites& limites, Avisos& avisos);

} // namespace quimbel::par
