// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The PAR step of a split: hands the written pieces to the parity library, in the folder the
// split opened for its run.
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "files/Avance.h"
#include "files/Carpeta.h"
#include "files/Ventana.h"
#include "libs/par/include/LlamadaPar.h"

namespace quimbel {

class ParEnFlujo;

// What the PAR step is given by the split.
struct EntradaPar {
    std::string destino;             // D: the pieces' folder, ending in "/" (or empty)
    std::string fuente;              // the source's path (its file name names the set)
    std::string numero;              // text of the PAR count box
    std::vector<std::string> trozos; // file names (without folder) of the pieces written, in set order
    Avance* avance = nullptr;        // the split's progress, whose `bytes` the job's progress moves
    int64_t bytes = 0;
    const Carpeta* carpeta = nullptr; // D, opened by the split; none: the step opens it
    // The set computed from the pieces' bytes as the split wrote them (ParEnFlujo.h): the step
    // ends that job instead of calling the library, unless it broke; none: the step calls it.
    ParEnFlujo* flujo = nullptr;
};

// How the step ended.
struct ResultadoPar {
    bool detenido = false; // the count was no number, a name was refused or the run was stopped: the
                           // split ends without its final box
    bool hecho = false;    // the library was called and reported success
};

// The vector's entries before the pieces: "par.exe", "add", the count option, "-m", "+C",
// "--" and the PAR path.
std::array<std::string, 7> ArgumentosPar(const std::string& opcionNumero, const std::string& rutaPar);

// The most pieces one call can carry: what the record's vector holds besides its last null
// and the entries before the pieces (993).
inline constexpr size_t MaxTrozosPar =
    LLAMADA_PAR_ENTRADAS - 1 - std::tuple_size_v<decltype(ArgumentosPar({}, {}))>;

// The vector of the step's job: ArgumentosPar for the count box's option and the PAR path, then
// the pieces; none when the count is no number.
std::optional<std::vector<std::string>> VectorPar(const EntradaPar& entrada);

// The information box of a split with more pieces than that.
std::string MensajeDemasiadosTrozosPar();

// The error box of pieces a PAR set cannot carry: the first name (no folder) with a control
// byte, or otherwise refused by the rule the set's check applies (par::NombreJuegoValido),
// named in "¡ Error, nombre no válido para PAR: " name " !"; none when every name is good. A
// split asks before it writes anything.
std::optional<std::string> RechazoNombrePar(const std::vector<std::string>& trozos);

// Refuses, with RechazoNombrePar's error box and before anything else, pieces a set cannot
// carry (the split stops there). Appends "Creando PAR: " + the PAR path, reads the count, takes D's folder
// (the split's, else opened now), builds the argument vector (ArgumentosPar, then the pieces) and calls the
// library in that folder, whose lines go to the "Cortar" memo. Changes no process-wide state.
// A folder that cannot be opened shows "¡ Error al cambiar al directorio D !" and the call goes
// on, finding no piece. Refuses, with an information box instead of the call, a library that
// is not loaded, more than MaxTrozosPar pieces, and a set whose output files would replace or
// move the source or a piece. The window's Ventana::Interrumpido reaches the library: a job it
// stops leaves the folder as it was, and the step ends the memo with "¡ Proceso interrumpido !"
// and stops the split, with no box. With a whole streamed job (EntradaPar::flujo), that job
// writes the set instead of the call, with the same lines and results. antesDeLlamar, a test seam, runs right
// before the library is called (a test swaps the folder's path there).
ResultadoPar PasoPar(Ventana& ventana, const EntradaPar& entrada,
                     const std::function<void()>& antesDeLlamar = {});

// The PAR path of a split: D and the source's file name with its extension replaced by ".par".
std::string RutaPar(const std::string& destino, const std::string& fuente);

// The count option: "-n0" for an empty text, else "-n" and the value read by the program's
// integer syntax written back as an unsigned 32-bit number; none when the text is no number.
std::optional<std::string> OpcionNumeroPar(const std::string& numero);

} // namespace quimbel
