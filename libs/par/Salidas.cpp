#include "libs/par/Salidas.h"

#include "libs/par/Nombres.h"

#include <dirent.h>

#include <algorithm>
#include <cstdio>

namespace quimbel::par {
namespace {

constexpr std::string_view ExtensionVieja = ".old";

bool EsTrozo(const std::string& ruta, std::span<const Entrada> entradas) {
    const auto estado = Estado(ruta);
    return estado && std::any_of(entradas.begin(), entradas.end(),
                                 [&](const Entrada& e) { return e.id == estado->id; });
}

bool EsCarpeta(const std::string& ruta) {
    const auto estado = Estado(ruta);
    return estado && estado->carpeta;
}

// The folder part of a path as it prefixes names in it ("" for the current folder).
std::string Prefijo(const std::string& ruta) {
    return ruta.substr(0, ruta.size() - NombreSinCarpeta(ruta).size());
}

// Every "<base>.vol*.par2" in the base's folder that is not a folder.
std::vector<std::string> VolumenesPresentes(const std::string& base) {
    std::vector<std::string> presentes;
    const std::string prefijo = Prefijo(base);
    DIR* carpeta = opendir(prefijo.empty() ? "." : prefijo.c_str());
    if (carpeta == nullptr) return presentes;
    while (const dirent* entrada = readdir(carpeta)) {
        const std::string ruta = prefijo + entrada->d_name;
        if (EsVolumenDe(entrada->d_name, NombreSinCarpeta(base)) && !EsCarpeta(ruta))
            presentes.push_back(ruta);
    }
    closedir(carpeta);
    std::sort(presentes.begin(), presentes.end());
    return presentes;
}

} // namespace

std::string ExaminarSalidas(Salidas& salidas, std::span<const Entrada> entradas, bool renombrar) {
    salidas.presentes = VolumenesPresentes(BaseVolumenes(salidas.indice));
    if (HayAlgo(salidas.indice) && !EsCarpeta(salidas.indice))
        salidas.presentes.insert(salidas.presentes.begin(), salidas.indice);

    std::vector<std::string> tocadas = salidas.presentes;
    tocadas.push_back(salidas.indice);
    tocadas.insert(tocadas.end(), salidas.volumenes.begin(), salidas.volumenes.end());
    for (const std::string& ruta : tocadas) {
        if (EsTrozo(ruta, entradas)) return "¡ Error, el PAR sobrescribiría el fichero " + ruta + " !";
        if (EsCarpeta(ruta)) return "¡ Error al crear fichero " + ruta + " !";
    }
    if (salidas.presentes.empty()) return "";
    if (!renombrar) return "¡ Error, ya existe el fichero " + salidas.presentes.front() + " !";
    for (const std::string& ruta : salidas.presentes) {
        const std::string vieja = ruta + std::string(ExtensionVieja);
        if (EsTrozo(vieja, entradas)) return "¡ Error, el PAR sobrescribiría el fichero " + vieja + " !";
        if (EsCarpeta(vieja)) return "¡ Error al renombrar fichero " + ruta + " !";
    }
    return "";
}

std::string RenombrarViejas(const Salidas& salidas) {
    for (const std::string& ruta : salidas.presentes)
        if (std::rename(ruta.c_str(), (ruta + std::string(ExtensionVieja)).c_str()) != 0)
            return "¡ Error al renombrar fichero " + ruta + " !";
    return "";
}

} // namespace quimbel::par
