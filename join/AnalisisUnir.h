// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The join analysis: run when a piece is chosen in the "Fichero base" box.
#include <cstdint>
#include <optional>
#include <string>

#include "PlanUnir.h"
#include "files/Ventana.h"

namespace quimbel {

// What an analysis found, for the window to show. Sizes are exact byte counts; the window
// formats them with the locale's thousands separator.
struct AnalisisUnir {
    bool correcto = false;       // false: refuse the choice, keep the earlier plan and labels
    PlanUnir plan;               // the new plan; meaningful only when correcto
    int64_t tamTrozo = 0;        // first "Tamaño:": the piece size
    int64_t trozos = 0;          // "Trozos:"
    int64_t tamUnido = 0;        // second "Tamaño:": the size the joined file will have
    bool mostrarTeorico = false; // show the "Teórico:" pair, with tamTeorico
    int64_t tamTeorico = 0;      // expected size of a numbered set whose pieces differ in size
    // The joined file's name stored in a Hacha header, reduced to a name beside the pieces,
    // for the "Fichero destino" box; set as soon as it is read, also when a later step fails.
    std::optional<std::string> destino;
    // A piece of the set that is missing ("¡ Falta el trozo ..."): the window shows it in an error
    // box once the labels describe the set; the join refuses with the same text.
    std::optional<std::string> falta;
};

// Looks at one chosen piece (its full path, without quotes) and works out its whole set: a
// ".fin" piece is CortaArchivos, a .0 piece that starts with its header is Hacha; a piece
// numbered without zeros in front leads to the set of the ".fin" piece (signed header) or of
// the .0 piece (Hacha header) beside it, when its number lies in that set; any other piece is a
// member of a numbered set, which the folder's names give, from its lowest number (0 or 1) to
// its highest. Opens files only for reading. Each failure shows one box through the window; a
// numbered piece whose size differs from the first raises one information box once a further
// piece is found. A set with a missing piece is analysed whole and says so in `falta`. An
// empty name fails at once and shows nothing.
AnalisisUnir AnalizarFicheroUnir(Ventana& ventana, const std::string& nombre);

} // namespace quimbel
