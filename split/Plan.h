// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The split plan: what a split of a source would produce (its size, the piece count
// and one list line per piece), worked out from the source's size alone.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/Trozos.h"
#include "files/Ventana.h"

namespace quimbel {

// The inputs a completed plan was made for, so that a split can tell whether the plan
// still describes what it is about to cut.
struct OrigenPlan {
    std::string fuente;   // source path, quotes already stripped
    int64_t tamTrozo = 0; // P
    TipoCorte tipo = TipoCorte::Normal;
    int64_t tamFichero = 0; // S as the plan measured it
};

// What a plan leaves for the window to show and keep.
struct PlanCorte {
    bool cortePreparado = false;       // CortePreparado: the plan completed
    std::optional<int64_t> tamTrozo;   // TamTrozo: P, when the plan read a size of 1 or more
    std::optional<int64_t> tamFichero; // S, the source size shown ("%0.0n"); none leaves it empty
    std::optional<int64_t> numTrozos;  // N, the piece count shown ("%d"); none leaves it empty
    // Line k - 1 describes piece k: its file name, two blanks and its size ("%10.0n").
    // Every line starts checked.
    std::vector<std::string> lineas;
    OrigenPlan origen; // meaningful only when cortePreparado
};

// N as a plan counts it: the set's piece count, and one piece of 0 bytes for an empty source.
int64_t TrozosDelPlan(int64_t s, int64_t p);

// PrepararCorte: plans a split of the file at fuente (quotes stripped) into pieces of the
// size written in tamano under the scheme. Reads only the source's size. Stops early, with
// no plan in force, when fuente is empty (nothing shown), when the source cannot be opened
// (error box "¡ Error al abrir fichero " + fuente + " !", nothing shown), when tamano is empty,
// not a size (files/Tamanos.h) or below 1 (the source size shown), and when the set would have more
// than MaxTrozos pieces (error box, the source size shown). separadorMiles goes between the
// digit groups of the sizes in the lines.
PlanCorte PrepararCorte(Ventana& ventana, std::string_view fuente, std::string_view tamano, TipoCorte tipo,
                        std::string_view separadorMiles);

} // namespace quimbel
