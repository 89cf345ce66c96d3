#pragma once
// The parity library: libpar.so, loaded once at start-up right after the CRC-32
// provider and released at the end. The program hands its call_par export a complete
// argument vector and a progress callback (LlamadaPar) and waits for it to finish.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "files/Avance.h"
#include "files/Biblioteca.h"
#include "files/Ventana.h"
#include "parity/LlamadaPar.h"

namespace quimbel {

// The parity library's file name, looked up beside the executable first.
inline constexpr const char* NombreBibliotecaPar = "libpar.so";

// Loads the library by its bare name (from carpetaPrimero, else by the system's order),
// looks up call_par and empties UltimaLineaPar. Silent. A library without call_par is
// released again and counts as not loaded. Loading again first releases the earlier one.
void CargarPar(const std::string& carpetaPrimero = CarpetaDelEjecutable());

// Releases the library; nothing happens when none was loaded.
void LiberarPar();

// True when the library is loaded with its call_par export.
bool ParCargada();

// The last text the library reported through ProgresoPar.
const std::string& UltimaLineaPar();

// The progress callback given to call_par: keeps the text as UltimaLineaPar and appends
// it as one line to the "Cortar" memo of the window the call runs for (one line per
// call, repeats included), moves the run's progress when the text says how far the job
// is, and lets the window paint the line. Returns 0. Never lets the window handle input.
int32_t ProgresoPar(const char* texto);

// The percentage a progress text gives ("Calculando: 45 %" gives 45); none for other texts.
std::optional<int> PorcentajePar(std::string_view linea);

// Stores a heap copy of texto, with its terminating zero, in vector[i]; 0. When the copy
// cannot be allocated, entries 0 to i - 1 are released and set to null, and the result
// is -1. Refused with -1, writing nothing, when i would reach the vector's last entry,
// which always stays null.
int32_t PonerArgumento(int32_t i, std::string_view texto, std::span<char*> vector);

// Releases entries 0 to n - 1 and sets them to null; 0.
int32_t LiberarArgumentos(int32_t n, std::span<char*> vector);

// Makes the call: sets progreso (ProgresoPar unless told otherwise) as the record's callback,
// runs call_par with the window that receives the progress lines, and returns its result
// (not examined by the split). With avance, the job's `parte` bytes of the run move with its
// progress texts, and all of them count as done once the call returns. Returns -1 without
// calling anything when ParCargada() is false, or when the count leaves no null entry after
// the last argument inside the record. The texts of the vector stay the caller's, to release
// with LiberarArgumentos.
int32_t LlamarPar(Ventana& ventana, LlamadaPar& llamada, ProgresoParFuncion progreso = &ProgresoPar,
                  Avance* avance = nullptr, int64_t parte = 0);

// Puts the arguments into a record with PonerArgumento, calls LlamarPar and releases them.
// A vector that cannot be built whole (an allocation failed, too many arguments) is never
// handed over: -1.
int32_t LlamarPar(Ventana& ventana, const std::vector<std::string>& argumentos,
                  ProgresoParFuncion progreso = &ProgresoPar, Avance* avance = nullptr, int64_t parte = 0);

// The window and the progress of the call in progress, null outside a call: a callback carries
// no context of its own.
Ventana* VentanaEnCurso();
Avance* AvanceEnCurso();

} // namespace quimbel
