// SPDX-License-Identifier: GPL-3.0-or-later
#include "Tamanos.h"

#include <limits>

#include "files/Entero.h"

namespace quimbel {

namespace {

// The factor of a unit ("" for none); 0 when the text is no unit.
int64_t Factor(std::string_view unidad) {
    if (unidad.empty()) return 1;
    if (unidad.size() > 2 || (unidad.size() == 2 && unidad[1] != 'B' && unidad[1] != 'b')) return 0;
    const int64_t base = unidad.size() == 2 ? 1000 : 1024;
    int potencia = 0;
    switch (unidad[0]) {
    case 'K':
    case 'k':
        potencia = 1;
        break;
    case 'M':
    case 'm':
        potencia = 2;
        break;
    case 'G':
    case 'g':
        potencia = 3;
        break;
    case 'T':
    case 't':
        potencia = 4;
        break;
    default:
        return 0;
    }
    int64_t factor = 1;
    for (int i = 0; i < potencia; ++i)
        factor *= base;
    return factor;
}

// Digits and an optional unit, after the blanks; none for any other text or an overflow.
std::optional<int64_t> ConUnidad(std::string_view texto) {
    constexpr int64_t Maximo = std::numeric_limits<int64_t>::max();
    while (!texto.empty() && texto.front() == ' ')
        texto.remove_prefix(1);
    size_t cifras = 0;
    int64_t valor = 0;
    for (; cifras < texto.size() && texto[cifras] >= '0' && texto[cifras] <= '9'; ++cifras) {
        const int cifra = texto[cifras] - '0';
        if (valor > (Maximo - cifra) / 10) return std::nullopt;
        valor = valor * 10 + cifra;
    }
    if (cifras == 0) return std::nullopt;
    const int64_t factor = Factor(texto.substr(cifras));
    if (factor == 0 || valor > Maximo / factor) return std::nullopt;
    return valor * factor;
}

} // namespace

std::optional<int64_t> LeerTamano(std::string_view texto) {
    if (const std::optional<int64_t> valor = ConUnidad(texto)) return valor;
    // Digits alone that ConUnidad refused overflow 64 bits, and so 32 too.
    if (const std::optional<int32_t> entero = LeerEntero(texto)) return *entero;
    return std::nullopt;
}

} // namespace quimbel
