// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The parity library: libpar.so, loaded once at start-up right after the CRC-32 provider and
// released at the end (parity/Bibliotecas.h owns it). The program hands its call_par_contexto
// export a complete argument vector, the run's folder and a progress callback with its
// context (LlamadaParContexto), and waits for it to finish. Nothing of a call outlives it: its
// window, progress and last line live in the context the callback gets back.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "files/Avance.h"
#include "files/Biblioteca.h"
#include "files/Ventana.h"
#include "libs/par/include/LlamadaPar.h"

namespace quimbel {

// Loads the library by its bare name (from carpetaPrimero, else by the system's order) and
// looks up call_par_contexto. Silent. A library without it is released again and counts as
// not loaded. Loading again first releases the earlier one.
void CargarPar(const std::string& carpetaPrimero = CarpetaDelEjecutable());

// Releases the library; nothing happens when none was loaded.
void LiberarPar();

// True when the library is loaded with its call_par_contexto export.
bool ParCargada();

// What one call carries for its callback, through the record's context pointer: the window
// its lines go to, the run's progress it moves, and what the texts left behind.
struct ContextoPar {
    explicit ContextoPar(Ventana& v) : ventana(v) {}
    Ventana& ventana;
    Avance* avance = nullptr;  // the run's progress, or none
    int64_t inicio = 0;        // where the run stood when the call began
    int64_t parte = 0;         // the call's share of the run's bytes (the PAR step)
    std::string ultimaLinea;   // the last text received
    int fallos = 0;            // failure texts shown (the repair)
    Memo memo = Memo::Reparar; // where the repair's lines go
};

// The bytes done and of the step that a progress text gives ("%123/4567"); none for any other
// text. The one reading of the library's progress format.
std::optional<std::pair<uint64_t, uint64_t>> LeerAvancePar(std::string_view texto);

// The PAR step's callback: keeps the text as the context's last line; a progress text moves
// the run's progress to its share of the call's part; any other text is appended as one line
// to the "Cortar" memo (one line per text, repeats included). Then the window paints. Returns 0.
// Never lets the window handle input.
int32_t ProgresoPar(void* contexto, const char* texto);

// The question whether the call must stop: the window's (Ventana::Interrumpido) of the context
// the record carries; 0 without one. Set in every record LlamarPar fills.
int32_t DetenerPar(void* contexto);

// Stores a heap copy of texto, with its terminating zero, in vector[i]; 0. When the copy
// cannot be allocated, entries 0 to i - 1 are released and set to null, and the result
// is -1. Refused with -1, writing nothing, when i would reach the vector's last entry,
// which always stays null.
int32_t PonerArgumento(int32_t i, std::string_view texto, std::span<char*> vector);

// Releases entries 0 to n - 1 and sets them to null; 0.
int32_t LiberarArgumentos(int32_t n, std::span<char*> vector);

// Makes the call: fills the record's size, version, callback, context, folder (a descriptor, or
// LLAMADA_PAR_CARPETA_ACTUAL) and stop question (DetenerPar) and runs call_par_contexto; returns
// its result (LLAMADA_PAR_INTERRUMPIDA when the window asked the run to stop).
// The context's start is where its progress stands now, and all of its part counts as done
// once the call returns. Returns -1 without calling anything when ParCargada() is false, or
// when the count leaves no null entry after the last argument inside the record. The texts of
// the vector stay the caller's, to release with LiberarArgumentos.
int32_t LlamarPar(LlamadaParContexto& llamada, ProgresoParContextoFuncion progreso, ContextoPar& contexto,
                  int carpeta);

// Puts every argument into the record with PonerArgumento and sets its count; 0. A vector that
// cannot be put whole (an allocation failed, too many arguments) leaves nothing behind: -1.
// The texts are the caller's, to release with LiberarArgumentos.
int32_t PonerArgumentos(const std::vector<std::string>& argumentos, LlamadaParContexto& llamada);

// Puts the arguments into a record with PonerArgumentos, calls LlamarPar and releases them.
// A vector that cannot be built whole (an allocation failed, too many arguments) is never
// handed over: -1.
int32_t LlamarPar(const std::vector<std::string>& argumentos, ProgresoParContextoFuncion progreso,
                  ContextoPar& contexto, int carpeta);

} // namespace quimbel
