#include "libs/par/FicherosJuego.h"

#include "libs/par/Nombres.h"

#include "files/Comparar.h"

#include <dirent.h>

#include <algorithm>

namespace quimbel::par {
namespace {

constexpr std::string_view Extension = ".par2";

// Any "<base>.vol" ... ".par2" may hold packets of the set, as par2 looks for them.
bool PuedeSerVolumenDe(std::string_view nombre, const std::string& base) {
    const std::string prefijo = base + ".vol";
    return nombre.size() >= prefijo.size() + Extension.size() && nombre.starts_with(prefijo) &&
           nombre.ends_with(Extension);
}

} // namespace

std::string BaseDelJuego(std::string_view nombre) {
    if (const std::optional<std::string_view> base = BaseDeVolumen(nombre)) return std::string(*base);
    if (!TerminaSinMayusculas(nombre, Extension)) return std::string(nombre);
    return std::string(nombre.substr(0, nombre.size() - Extension.size()));
}

std::vector<std::string> FicherosDelJuego(const std::string& ruta) {
    const std::string_view nombre = NombreSinCarpeta(ruta);
    const std::string prefijo = ruta.substr(0, ruta.size() - nombre.size());
    const std::string base = BaseDelJuego(nombre);
    std::vector<std::string> otros{ruta};
    if (DIR* carpeta = opendir(prefijo.empty() ? "." : prefijo.c_str())) {
        while (const dirent* e = readdir(carpeta)) {
            const std::string_view n = e->d_name;
            if (n != nombre && (n == base + std::string(Extension) || PuedeSerVolumenDe(n, base)))
                otros.push_back(prefijo + std::string(n));
        }
        closedir(carpeta);
    }
    std::sort(otros.begin() + 1, otros.end());
    return otros;
}

} // namespace quimbel::par
