// SPDX-License-Identifier: GPL-3.0-or-later
#include "NombresPar.h"

#include <algorithm>

#include "files/Comparar.h"

namespace quimbel::par {
namespace {

size_t Digitos(uint64_t n) {
    size_t d = 1;
    for (; n >= 10; n /= 10)
        ++d;
    return d;
}

std::string Rellenado(uint64_t n, size_t ancho) {
    std::string s = std::to_string(n);
    return s.size() < ancho ? std::string(ancho - s.size(), '0') + s : s;
}

bool SoloDigitos(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

constexpr std::string_view ExtensionIndice = ".par2";
constexpr std::string_view MarcaVolumen = ".vol";

} // namespace

std::string_view NombreSinCarpeta(std::string_view ruta) {
    const size_t barra = ruta.rfind('/');
    return barra == std::string_view::npos ? ruta : ruta.substr(barra + 1);
}

std::string NombreIndice(std::string_view rutaPar) {
    if (TerminaSinMayusculas(rutaPar, ".par"))
        return std::string(rutaPar.substr(0, rutaPar.size() - 4)) + std::string(ExtensionIndice);
    return std::string(rutaPar) + std::string(ExtensionIndice);
}

std::string BaseVolumenes(std::string_view indice) {
    return std::string(indice.substr(0, indice.size() - ExtensionIndice.size()));
}

std::vector<std::string> NombresVolumenes(std::string_view base, uint32_t volumenes, uint32_t porVolumen) {
    const uint64_t total = uint64_t{volumenes} * porVolumen;
    const size_t anchoPrimero = Digitos(total), anchoCuenta = Digitos(porVolumen);
    std::vector<std::string> nombres;
    nombres.reserve(volumenes);
    for (uint32_t v = 0; v < volumenes; ++v)
        nombres.push_back(std::string(base) + std::string(MarcaVolumen) +
                          Rellenado(uint64_t{v} * porVolumen, anchoPrimero) + "+" +
                          Rellenado(porVolumen, anchoCuenta) + std::string(ExtensionIndice));
    return nombres;
}

std::optional<std::string_view> BaseDeVolumen(std::string_view nombre) {
    if (!TerminaSinMayusculas(nombre, ExtensionIndice)) return std::nullopt;
    const std::string_view sinExtension = nombre.substr(0, nombre.size() - ExtensionIndice.size());
    const size_t marca = sinExtension.rfind(MarcaVolumen);
    if (marca == std::string_view::npos) return std::nullopt;
    const std::string_view numeros = sinExtension.substr(marca + MarcaVolumen.size());
    const size_t mas = numeros.find('+');
    if (mas == std::string_view::npos || !SoloDigitos(numeros.substr(0, mas)) ||
        !SoloDigitos(numeros.substr(mas + 1)))
        return std::nullopt;
    return sinExtension.substr(0, marca);
}

bool EsVolumenDe(std::string_view nombre, std::string_view nombreBase) {
    const std::optional<std::string_view> base = BaseDeVolumen(nombre);
    return base && *base == nombreBase;
}

bool EsSalidaDe(std::string_view nombre, std::string_view nombreIndice) {
    if (TerminaSinMayusculas(nombre, ExtensionVieja)) nombre.remove_suffix(ExtensionVieja.size());
    return nombre == nombreIndice || EsVolumenDe(nombre, BaseVolumenes(nombreIndice));
}

bool NombreJuegoValido(std::string_view nombre) {
    if (nombre.empty() || nombre.size() > NombreJuegoMaximo || nombre.front() == '/') return false;
    for (char c : nombre)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
    for (size_t inicio = 0;;) {
        const size_t barra = nombre.find('/', inicio);
        const std::string_view parte =
            nombre.substr(inicio, barra == std::string_view::npos ? barra : barra - inicio);
        if (parte.empty() || parte == "." || parte == "..") return false;
        if (barra == std::string_view::npos) return true;
        inicio = barra + 1;
    }
}

std::string ClaveDeNombre(std::string_view nombre, bool mayusculasIguales) {
    return mayusculasIguales ? MinusculasAscii(nombre) : std::string(nombre);
}

} // namespace quimbel::par
