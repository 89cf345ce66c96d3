#pragma once
// The name proposed for the joined file when the focus leaves the "Fichero base" box.
#include <optional>
#include <string>
#include <string_view>

#include "PlanUnir.h"

namespace quimbel {

// The new text of the "Fichero destino" box, or none when the base box is empty or the
// destination box already holds something: the base name with its extension replaced by the
// plan's ExtFicUnido (an empty one just drops it), between double quotes when the base text
// had them. The plan's extension comes from a piece's bytes, so the proposal never leaves the
// base's folder.
std::optional<std::string> PropuestaDestino(std::string_view textoBase, std::string_view textoDestino,
                                            const PlanUnir& plan);

} // namespace quimbel
