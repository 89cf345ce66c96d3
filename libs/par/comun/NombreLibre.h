// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The first free name of a series: "<prefijo>1", "<prefijo>2", ... up to IntentosNombre, the one
// loop of the ".old" names moved aside, the repair's temporaries and the files it keeps.
#include <functional>
#include <string>

#include "files/Resultado.h"

namespace quimbel::par {

inline constexpr int IntentosNombre = 1000;

// Tries intento(prefijo + k) for k = 1, 2, ... while it fails because the name is taken
// (EEXIST); libre receives the name that worked. Hecho, or the last failure (EEXIST when all
// IntentosNombre were taken).
quimbel::Desenlace PrimerNombreLibre(const std::string& prefijo,
                                     const std::function<quimbel::Desenlace(const std::string&)>& intento,
                                     std::string& libre);

} // namespace quimbel::par
