#include "CabecerasUnir.h"

#include <algorithm>

namespace quimbel {

namespace {
constexpr size_t LargoMarca = 5;
}

int32_t Entero32LE(const unsigned char* p) {
    const uint32_t v = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                       static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
    return static_cast<int32_t>(v);
}

bool EsCabeceraHacha(std::span<const unsigned char, TamPruebaHacha> inicio) {
    const auto esMarca = [](unsigned char c) { return c == '?'; };
    return std::all_of(inicio.begin(), inicio.begin() + 5, esMarca) &&
           std::all_of(inicio.begin() + 9, inicio.end(), esMarca);
}

std::optional<std::array<std::string, 3>> TextosCabeceraHacha(std::span<const unsigned char> cabecera) {
    std::array<std::string, 3> textos;
    size_t inicio = TamPruebaHacha;
    for (auto& texto : textos) {
        // A text's first byte is always its own, even a "?".
        if (inicio >= cabecera.size()) return std::nullopt;
        const auto fin = std::find(cabecera.begin() + static_cast<std::ptrdiff_t>(inicio) + 1, cabecera.end(),
                                   static_cast<unsigned char>('?'));
        if (fin == cabecera.end()) return std::nullopt;
        const auto finPos = static_cast<size_t>(fin - cabecera.begin());
        texto.assign(cabecera.begin() + static_cast<std::ptrdiff_t>(inicio), fin);
        inicio = finPos + LargoMarca;
    }
    return textos;
}

std::string NombreSeguro(std::string_view nombre) {
    const size_t corte = nombre.find_last_of(std::string_view("/\\\0", 3));
    if (corte != std::string_view::npos) nombre.remove_prefix(corte + 1);
    if (nombre == "." || nombre == "..") return {};
    return std::string(nombre);
}

} // namespace quimbel
