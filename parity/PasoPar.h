#pragma once
// The PAR step of a split: hands the written pieces to the parity library.
#include <optional>
#include <string>
#include <vector>

#include "files/Avance.h"
#include "files/Ventana.h"

namespace quimbel {

// The most pieces one call can carry: 1000 arguments less the program name and the six options.
inline constexpr size_t MaxTrozosPar = 993;

// What the PAR step is given by the split.
struct EntradaPar {
    std::string destino;             // D: the pieces' folder, ending in "/" (or empty)
    std::string fuente;              // the source's path (its file name names the set)
    std::string numero;              // text of the PAR count box
    std::vector<std::string> trozos; // file names (without folder) of the pieces written, in set order
    Avance* avance = nullptr;        // the split's progress, whose `bytes` the job's progress moves
    int64_t bytes = 0;
};

// How the step ended.
struct ResultadoPar {
    bool detenido = false; // the count was no number: the split ends without its final box
    bool hecho = false;    // the library was called and reported success
};

// Appends "Creando PAR: " + the PAR path, reads the count, makes D the current folder (not set
// back), builds the argument vector ("par.exe", "add", "-n<count>", "-m", "+C", "--", the PAR
// path, the pieces) and calls the library, whose lines go to the "Cortar" memo. Refuses, with
// an information box instead of the call, a library that is not loaded, more than MaxTrozosPar
// pieces, and a set whose output files would replace or move the source or a piece.
ResultadoPar PasoPar(Ventana& ventana, const EntradaPar& entrada);

// The PAR path of a split: D and the source's file name with its extension replaced by ".par".
std::string RutaPar(const std::string& destino, const std::string& fuente);

// The count option: "-n0" for an empty text, else "-n" and the value read by the program's
// integer syntax written back as an unsigned 32-bit number; none when the text is no number.
std::optional<std::string> OpcionNumeroPar(const std::string& numero);

} // namespace quimbel
