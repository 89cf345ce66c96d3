// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A run asked to stop: the one text it ends with, and the check between two of its steps.
#include <string_view>

#include "Ventana.h"

namespace quimbel {

// The last line of a run's memo when it was stopped by a close request or a signal.
inline constexpr std::string_view ProcesoInterrumpido = "¡ Proceso interrumpido !";

// Whether the run must stop now (Ventana::Interrumpido); when it must, its memo says so.
inline bool Interrumpida(Ventana& v, Memo memo) {
    if (!v.Interrumpido()) return false;
    v.AnadirLinea(memo, ProcesoInterrumpido);
    return true;
}

} // namespace quimbel
