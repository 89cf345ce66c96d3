#include "PropuestaDestino.h"

#include "files/Rutas.h"

namespace quimbel {

std::optional<std::string> PropuestaDestino(std::string_view textoBase, std::string_view textoDestino,
                                            const PlanUnir& plan) {
    if (textoBase.empty() || !textoDestino.empty()) return std::nullopt;
    const std::string base = QuitarComillas(textoBase);
    // An extension read from a header ends where a folder or a NUL would begin.
    std::string_view extension = plan.ExtFicUnido;
    extension = extension.substr(0, extension.find_first_of(std::string_view("/\0", 2)));
    const std::string propuesta = CambiarExtension(base, extension);
    if (base.size() != textoBase.size()) return "\"" + propuesta + "\"";
    return propuesta;
}

} // namespace quimbel
