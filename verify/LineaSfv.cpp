// SPDX-License-Identifier: GPL-3.0-or-later
#include "LineaSfv.h"

#include "files/Entero.h"

namespace quimbel {

std::optional<LineaSfv> LeerLineaSfv(std::string_view linea) {
    if (linea.size() < 2 || linea.front() == ';') return std::nullopt;
    // A blank in the last place does not separate: it leaves no CRC text behind it.
    const size_t blanco = linea.rfind(' ', linea.size() - 2);
    if (blanco == std::string_view::npos) return std::nullopt;
    // The system would cut the name at a NUL and look up another file.
    if (linea.substr(0, blanco).find('\0') != std::string_view::npos) return std::nullopt;
    return LineaSfv{std::string(linea.substr(0, blanco)), std::string(linea.substr(blanco + 1))};
}

std::optional<uint32_t> LeerCrcSfv(std::string_view textoCrc) {
    // The digits read as the program reads any "$"-prefixed hexadecimal number.
    std::string conDolar = "$";
    conDolar += textoCrc;
    const std::optional<int32_t> valor = LeerEntero(conDolar);
    if (!valor) return std::nullopt;
    return static_cast<uint32_t>(*valor);
}

} // namespace quimbel
