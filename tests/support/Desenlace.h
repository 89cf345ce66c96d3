// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How GoogleTest prints a file operation's outcome in a failed assertion.
#include <ostream>

#include "files/Resultado.h"

namespace quimbel {

inline void PrintTo(Resultado r, std::ostream* os) {
    static constexpr const char* Nombres[] = {"Bien", "NoEsFichero", "Intocable", "Sistema"};
    *os << Nombres[static_cast<int>(r)];
}

inline void PrintTo(const Desenlace& d, std::ostream* os) {
    PrintTo(d.resultado, os);
    if (d.resultado == Resultado::Sistema) *os << " (errno " << d.error << ")";
}

} // namespace quimbel
