// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/FormatoMiles.h"

namespace quimbel {

namespace {

// Characters of a UTF-8 text: every byte that does not continue a sequence.
size_t Caracteres(std::string_view texto) {
    size_t n = 0;
    for (const char c : texto)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    return n;
}

} // namespace

std::string FormatoMiles(int64_t valor, std::string_view separador) {
    // Digits of the magnitude, worked on unsigned so that the smallest value has one too.
    const uint64_t magnitud = valor < 0 ? 0 - static_cast<uint64_t>(valor) : static_cast<uint64_t>(valor);
    const std::string digitos = std::to_string(magnitud);
    std::string texto;
    texto.reserve(digitos.size() + (digitos.size() / 3) * separador.size() + 1);
    if (valor < 0) texto += '-';
    for (size_t i = 0; i < digitos.size(); ++i) {
        if (i > 0 && (digitos.size() - i) % 3 == 0) texto += separador;
        texto += digitos[i];
    }
    return texto;
}

std::string FormatoMiles10(int64_t valor, std::string_view separador) {
    std::string texto = FormatoMiles(valor, separador);
    const size_t ancho = Caracteres(texto);
    if (ancho < 10) texto.insert(0, 10 - ancho, ' ');
    return texto;
}

} // namespace quimbel
