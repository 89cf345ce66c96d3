// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a step of the parity library ends: nothing when it succeeded, else its failure: what
// kind it is, which the job's result is drawn from, and the one line that tells it (it starts
// with "¡ "), which the job hands to the caller's callback. Built where the failure is known;
// nobody reads the kind back from the line.
#include <optional>
#include <string>

namespace quimbel::par {

enum class CodigoFallo {
    Argumentos,    // the vector is wrong
    Memoria,       // an allocation failed
    Hilo,          // a worker thread could not be started
    Interno,       // any other exception
    Entrada,       // a file the job reads is missing, unreadable or changed meanwhile
    Salida,        // a file the job writes cannot be created, written, renamed, or is one it reads
    Rechazo,       // the set cannot be made as asked (no data, too many pieces or slices)
    SinJuego,      // no file of the set can be opened or holds a valid main packet
    JuegoNoValido, // the set's packets describe no usable set
    Recuperacion,  // too few recovery slices to rebuild what is missing
    Interrumpido,  // the caller asked the job to stop: no line tells it
};

struct FalloPar {
    CodigoFallo codigo;
    std::string linea;
};

using Fallo = std::optional<FalloPar>;

// The failure of a failed allocation, for creation and for a check or repair.
inline FalloPar FalloMemoria() {
    return {CodigoFallo::Memoria, "¡ Error, memoria insuficiente para crear el PAR !"};
}
// The end of a job the caller asked to stop: its line is empty, as nothing is shown for it.
inline FalloPar FalloInterrumpido() {
    return {CodigoFallo::Interrumpido, {}};
}
inline FalloPar FalloMemoriaReparar() {
    return {CodigoFallo::Memoria, "¡ Error, memoria insuficiente para reparar !"};
}

} // namespace quimbel::par
