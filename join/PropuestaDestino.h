// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The name proposed for the joined file when the focus leaves the "Fichero base" box.
#include <optional>
#include <string>
#include <string_view>

#include "PlanUnir.h"

namespace quimbel {

// The chosen piece's path with its extension replaced by the plan's ExtFicUnido (an empty one
// just drops it). That extension comes from a piece's bytes: it is cut where a folder or a NUL
// would begin, so the proposal never leaves the piece's folder.
std::string NombrePropuesto(std::string_view base, const PlanUnir& plan);

// The new text of the "Fichero destino" box, or none when the base box is empty or the
// destination box already holds something: NombrePropuesto of the base box's path, between
// double quotes when the base text had them.
std::optional<std::string> PropuestaDestino(std::string_view textoBase, std::string_view textoDestino,
                                            const PlanUnir& plan);

} // namespace quimbel
