// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A count with its noun in the lines the library sends: "1 bloque", "2 bloques".
#include <cstdint>
#include <string>
#include <string_view>

namespace quimbel::par {

// The count, a space and the singular or the plural.
inline std::string Cuenta(uint64_t n, std::string_view singular, std::string_view plural) {
    return std::to_string(n) + " " + std::string(n == 1 ? singular : plural);
}

// "n bloque(s)".
inline std::string Bloques(uint64_t n) {
    return Cuenta(n, "bloque", "bloques");
}

// The line of a repair that lacks recovery slices: "¡ Falta 1 bloque de recuperación !",
// "¡ Faltan n bloques de recuperación !".
inline std::string FaltanBloques(uint64_t n) {
    return std::string(n == 1 ? "¡ Falta " : "¡ Faltan ") + Bloques(n) + " de recuperación !";
}

} // namespace quimbel::par
