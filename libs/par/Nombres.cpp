#include "libs/par/Nombres.h"

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

constexpr std::string_view ExtensionIndice = ".par2";

} // namespace

std::string_view NombreSinCarpeta(std::string_view ruta) {
    const size_t barra = ruta.rfind('/');
    return barra == std::string_view::npos ? ruta : ruta.substr(barra + 1);
}

std::string CarpetaDe(std::string_view ruta) {
    const size_t barra = ruta.rfind('/');
    return barra == std::string_view::npos ? std::string(".") : std::string(ruta.substr(0, barra + 1));
}

std::string NombreIndice(std::string_view rutaPar) {
    const std::string_view nombre = NombreSinCarpeta(rutaPar);
    if (nombre.size() >= 4 && ClaveDeNombre(nombre.substr(nombre.size() - 4), true) == ".par")
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
        nombres.push_back(std::string(base) + ".vol" + Rellenado(uint64_t{v} * porVolumen, anchoPrimero) +
                          "+" + Rellenado(porVolumen, anchoCuenta) + std::string(ExtensionIndice));
    return nombres;
}

bool EsVolumenDe(std::string_view nombre, std::string_view nombreBase) {
    const std::string prefijo = std::string(nombreBase) + ".vol";
    return nombre.size() >= prefijo.size() + ExtensionIndice.size() && nombre.starts_with(prefijo) &&
           nombre.ends_with(ExtensionIndice);
}

bool NombreSimple(std::string_view nombre) {
    return !nombre.empty() && nombre != "." && nombre != ".." && nombre.find('/') == std::string_view::npos;
}

std::string ClaveDeNombre(std::string_view nombre, bool mayusculasIguales) {
    std::string clave(nombre);
    if (mayusculasIguales)
        for (char& c : clave)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return clave;
}

} // namespace quimbel::par
