#include "libs/par/FicherosJuego.h"

#include "libs/par/Nombres.h"

#include <dirent.h>

#include <algorithm>

namespace quimbel::par {
namespace {

constexpr std::string_view Extension = ".par2";

bool Digitos(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

std::string BaseDelJuego(std::string_view nombre) {
    if (nombre.size() < Extension.size() ||
        ClaveDeNombre(nombre.substr(nombre.size() - Extension.size()), true) != Extension)
        return std::string(nombre);
    std::string_view base = nombre.substr(0, nombre.size() - Extension.size());
    // "<base>.vol<first>+<count>"
    const size_t vol = base.rfind(".vol");
    if (vol != std::string_view::npos) {
        const std::string_view numeros = base.substr(vol + 4);
        const size_t mas = numeros.find('+');
        if (mas != std::string_view::npos && Digitos(numeros.substr(0, mas)) &&
            Digitos(numeros.substr(mas + 1)))
            base = base.substr(0, vol);
    }
    return std::string(base);
}

std::vector<std::string> FicherosDelJuego(const std::string& ruta) {
    const std::string_view nombre = NombreSinCarpeta(ruta);
    const std::string prefijo = ruta.substr(0, ruta.size() - nombre.size());
    const std::string base = BaseDelJuego(nombre);
    std::vector<std::string> otros{ruta};
    if (DIR* carpeta = opendir(prefijo.empty() ? "." : prefijo.c_str())) {
        while (const dirent* e = readdir(carpeta)) {
            const std::string_view n = e->d_name;
            if (n != nombre && (n == base + std::string(Extension) || EsVolumenDe(n, base)))
                otros.push_back(prefijo + std::string(n));
        }
        closedir(carpeta);
    }
    std::sort(otros.begin() + 1, otros.end());
    return otros;
}

} // namespace quimbel::par
