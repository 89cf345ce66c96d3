// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a file operation ended: one outcome, and beside it the system's error number when the
// system refused. No value stands for two things: a refusal of the file policy is an outcome
// of its own, never an error number.

namespace quimbel {

enum class Resultado {
    Bien,        // done
    NoEsFichero, // the name reaches a FIFO, socket or device, or (where links are refused) a link
    Intocable,   // an output that is one of the files the run reads
    Sistema,     // the system refused: the error number says why
};

struct Desenlace {
    // Implicit from an outcome, so that an operation may return Resultado::Intocable.
    constexpr Desenlace(Resultado r = Resultado::Bien, int e = 0) : resultado(r), error(e) {}

    Resultado resultado;
    int error; // the system's error number when resultado is Sistema; 0 otherwise

    // Whether the operation was done.
    constexpr bool Bien() const { return resultado == Resultado::Bien; }
    // Same outcome and, for the system's refusals, the same error number.
    bool operator==(const Desenlace&) const = default;
};

// Success.
inline constexpr Desenlace Hecho{};

// The system's refusal with that error number.
constexpr Desenlace ErrorSistema(int error) {
    return {Resultado::Sistema, error};
}

} // namespace quimbel
