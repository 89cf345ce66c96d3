// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A whole creation job: the argument vector read and checked, the outputs made ready, the
// pieces read and the set written. The reading and the writing of the set are shared with the
// job fed the pieces' bytes as they are written (Flujo.h).
#include "Avisos.h"
#include "Disco.h"
#include "Entradas.h"
#include "JuegoNuevo.h"
#include "Limites.h"
#include "OrdenPar.h"
#include "Reparto.h"
#include "SalidasNuevas.h"
#include "Volumenes.h"

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quimbel::par {

// Runs the job the vector (program name first) describes in the job's folder (see
// LlamadaPar.h); its texts go through avisos. 0 when the set was written; otherwise 1, after
// one line that says why, or LLAMADA_PAR_INTERRUMPIDA, without a line, when avisos was told to
// stop. Either way the set's files were never under their names and an earlier set (moved to
// ".old" with -m only once the new one is whole) is as it was.
int EjecutarPar(std::span<const std::string> argumentos, const CarpetaDelTrabajo& trabajo, Avisos& avisos,
                const Limites& limites);

// A job read and checked, before any piece is read.
struct PreparacionPar {
    OrdenPar orden;
    quimbel::Carpeta trozos, carpeta; // the pieces' folder and the set's, open for the whole job
    std::vector<Entrada> entradas;    // the pieces with data, in the vector's order
    std::vector<std::string> lineas;  // to show before the pieces are read
    Reparto reparto;
    uint32_t volumenes = 0;
    SalidasNuevas salidas;
};

// Reads the vector and checks the pieces and the outputs. The pieces' sizes are read in the
// folder, or, when `tamanos` is given (one per listed piece), taken from it: the pieces need not
// exist yet. Leftover temporaries of the set's folder go. Nothing or the refusal (the lines
// gathered so far come before it).
Fallo PrepararPar(std::span<const std::string> argumentos, const CarpetaDelTrabajo& trabajo,
                  const Limites& limites, const std::vector<uint64_t>* tamanos, PreparacionPar& p);

// The end of every creation, once the recovery slices are in the volumes' temporaries: the
// common packets written, the outputs checked again, earlier ones moved aside and the set
// published. Nothing or the failure; a stop before publishing leaves the folder as it was.
Fallo CerrarPar(PreparacionPar& p, const JuegoNuevo& conjunto, Volumenes& ficheros, Renombradas& renombradas,
                unsigned hilos, Avisos& avisos);

// Runs a creation's work and gives EjecutarPar's result for it, its failure's line said; an
// allocation failure or an exception is a failure too.
int ResultadoDeCreacion(const std::function<Fallo()>& trabajo, Avisos& avisos);

} // namespace quimbel::par
