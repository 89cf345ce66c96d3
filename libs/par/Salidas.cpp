#include "libs/par/Salidas.h"

#include "libs/par/Nombres.h"

#include "files/Carpeta.h"
#include "files/Salidas.h"

#include <dirent.h>

#include <algorithm>
#include <cstdio>

namespace quimbel::par {
namespace {

constexpr std::string_view ExtensionVieja = ".old";

// Whether the file at ruta, links followed, is one of the pieces: compared with each piece
// while both are open.
bool EsTrozo(const std::string& ruta, std::span<const Entrada> entradas) {
    quimbel::Fichero fichero;
    if (!AbrirFichero(fichero, ruta).Bien()) return false;
    Protegidos trozos;
    for (const Entrada& e : entradas)
        trozos.Anadir(e.nombre);
    return trozos.Contiene(fichero);
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

Renombradas::~Renombradas() {
    if (confirmado_) return;
    for (auto it = hechos_.rbegin(); it != hechos_.rend(); ++it)
        RenombrarFichero(it->second, it->first);
}

std::string Renombradas::Renombrar(const Salidas& salidas) {
    for (const std::string& ruta : salidas.presentes) {
        const std::string vieja = ruta + std::string(ExtensionVieja);
        if (HayAlgo(vieja)) {
            // The older ".old" stays until the new set is whole.
            std::string aparte;
            for (int i = 1; aparte.empty() && i <= 1000; ++i)
                if (RenombrarFichero(vieja, vieja + "." + std::to_string(i)).Bien())
                    aparte = vieja + "." + std::to_string(i);
            if (aparte.empty()) return "¡ Error al renombrar fichero " + vieja + " !";
            hechos_.emplace_back(vieja, aparte);
            apartadas_.push_back(aparte);
        }
        if (!RenombrarFichero(ruta, vieja).Bien()) return "¡ Error al renombrar fichero " + ruta + " !";
        hechos_.emplace_back(ruta, vieja);
    }
    return "";
}

void Renombradas::Confirmar() {
    confirmado_ = true;
    for (const std::string& ruta : apartadas_)
        std::remove(ruta.c_str());
}

} // namespace quimbel::par
