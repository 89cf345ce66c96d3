// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rebuilding of a set's files that are not whole, into their temporaries (Temporales.h):
// intact slices are copied from where they are (the damaged file, or where the search found
// them), missing ones computed from the recovery slices. Every slice the work needs is read stripe by stripe,
// the same byte range of each: every thread adds the intact slices it reads, times their factors, into its
// own syndromes of the recovery slices used (with the multiply-add that creation uses); the threads'
// syndromes are added up, and each missing slice's stripe is their combination by the solution's factors. The
// buffers stay within the job's memory bound whatever the slice size and count.
#include "Avisos.h"
#include "Busqueda.h"
#include "Comprobacion.h"
#include "Fallo.h"
#include "Franjas.h"
#include "JuegoLeido.h"
#include "Limites.h"
#include "Solucion.h"
#include "Temporales.h"

#include <span>
#include <string>
#include <vector>

namespace quimbel::par {

// Where a repair reads: the files beneath their folder (shown in lines with the prefix
// mostrada), the set's own files by name in theirs, with the paths the lines show and the
// identities they had when their packets were read, the other files searched, and where the
// search found slices that were not intact at their place.
struct OrigenesReparacion {
    const quimbel::Carpeta& carpeta;
    const std::string& mostrada;
    const quimbel::Carpeta& carpetaJuego;
    std::span<const std::string> nombresJuego;
    std::span<const std::string> rutasJuego;
    std::span<const quimbel::IdFichero> idsJuego;
    std::span<const OtroFichero> otros;
    std::span<const Hallazgo> hallazgos;
};

// What is rebuilt: the files rewritten (set indices; temporary t of the Temporales is file
// reescritos[t]) and the missing slices (set indices, in the order of the solution's unknowns).
struct PlanReconstruccion {
    std::vector<size_t> reescritos;
    std::vector<uint32_t> faltantes;
};

// The stripes of a repair of m missing slices on `hilos` threads: each thread's syndromes and
// data, and the missing slices' stripes, fit the memory bound.
Franjas PlanearReparacion(uint64_t tamanoRebanada, uint64_t m, unsigned hilos, const Limites& limites);

// Writes every rewritten file's slices into its temporary, with progress lines. A file read
// again must still be the one checked (same identity and size). Nothing or the line of a failure;
// done, `rehechos` holds, for each rewritten file with slice checksums (by set index), what its
// temporary holds as a check would find it, from the bytes as they were written.
Fallo Reconstruir(const JuegoLeido& juego, std::span<const EstadoFichero> estados,
                  const PlanReconstruccion& plan, const Solucion& solucion,
                  const OrigenesReparacion& origenes, Temporales& temporales, unsigned hilos,
                  bool mantenerAbiertos, const Limites& limites, Avisos& avisos,
                  std::vector<EstadoFichero>& rehechos);

} // namespace quimbel::par
