// SPDX-License-Identifier: GPL-3.0-or-later
#include "Rutas.h"

#include <unistd.h>

#include <vector>

namespace quimbel {

namespace {

size_t InicioNombre(std::string_view ruta) {
    const size_t barra = ruta.rfind('/');
    return barra == std::string_view::npos ? 0 : barra + 1;
}

size_t PosicionPunto(std::string_view ruta) {
    const size_t punto = ruta.rfind('.');
    if (punto == std::string_view::npos || punto < InicioNombre(ruta)) return std::string_view::npos;
    return punto;
}

} // namespace

std::string NombreDeRuta(std::string_view ruta) {
    return std::string(ruta.substr(InicioNombre(ruta)));
}

std::string CarpetaDeRuta(std::string_view ruta) {
    return std::string(ruta.substr(0, InicioNombre(ruta)));
}

std::string Extension(std::string_view ruta) {
    const size_t punto = PosicionPunto(ruta);
    return punto == std::string_view::npos ? std::string() : std::string(ruta.substr(punto));
}

std::string CambiarExtension(std::string_view ruta, std::string_view nueva) {
    std::string resultado(ruta.substr(0, PosicionPunto(ruta)));
    resultado += nueva;
    return resultado;
}

std::string ConBarraFinal(std::string_view carpeta) {
    std::string resultado(carpeta);
    if (resultado.empty() || resultado.back() != '/') resultado += '/';
    return resultado;
}

std::string QuitarComillas(std::string_view texto) {
    if (!texto.empty() && texto.front() == '"') texto.remove_prefix(1);
    if (!texto.empty() && texto.back() == '"') texto.remove_suffix(1);
    return std::string(texto);
}

std::string RutaAbsoluta(std::string_view ruta) {
    if (ruta.empty() || ruta.front() == '/') return std::string(ruta);
    std::vector<char> actual(4096);
    while (getcwd(actual.data(), actual.size()) == nullptr) {
        if (actual.size() > (1u << 20)) return std::string(ruta);
        actual.resize(actual.size() * 2);
    }
    return ConBarraFinal(actual.data()) + std::string(ruta);
}

bool NombreSimple(std::string_view nombre) {
    return !nombre.empty() && nombre != "." && nombre != ".." && nombre.find('/') == std::string_view::npos;
}

} // namespace quimbel
