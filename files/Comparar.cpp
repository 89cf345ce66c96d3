// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/Comparar.h"

#include <algorithm>

namespace quimbel {

char MinusculaAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string MinusculasAscii(std::string_view texto) {
    std::string minusculas(texto);
    std::transform(minusculas.begin(), minusculas.end(), minusculas.begin(), MinusculaAscii);
    return minusculas;
}

bool IgualesSinMayusculas(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return MinusculaAscii(x) == MinusculaAscii(y); });
}

bool TerminaSinMayusculas(std::string_view texto, std::string_view sufijo) {
    return texto.size() >= sufijo.size() &&
           IgualesSinMayusculas(texto.substr(texto.size() - sufijo.size()), sufijo);
}

} // namespace quimbel
