#include "libs/par/Presentes.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

#include "files/Ficheros.h"
#include "libs/par/Nombres.h"

namespace quimbel::par {

std::vector<std::string> SalidasPresentes(const std::string& indice, bool viejas) {
    std::vector<std::string> presentes;
    const std::string_view nombreIndice = NombreSinCarpeta(indice);
    const std::string prefijo = indice.substr(0, indice.size() - nombreIndice.size());
    DIR* carpeta = opendir(prefijo.empty() ? "." : prefijo.c_str());
    if (carpeta == nullptr) return presentes;
    while (const dirent* entrada = readdir(carpeta)) {
        const std::string_view nombre = entrada->d_name;
        const bool salida = viejas
                                ? EsSalidaDe(nombre, nombreIndice)
                                : nombre == nombreIndice || EsVolumenDe(nombre, BaseVolumenes(nombreIndice));
        if (salida && !EsCarpeta(prefijo + entrada->d_name)) presentes.push_back(prefijo + entrada->d_name);
    }
    closedir(carpeta);
    std::sort(presentes.begin(), presentes.end());
    return presentes;
}

bool EsProtegido(const std::string& ruta, const Protegidos& protegidos) {
    Fichero fichero;
    return AbrirFichero(fichero, ruta).Bien() && protegidos.Contiene(fichero);
}

bool EsCarpeta(const std::string& ruta) {
    struct stat st {};
    return stat(ruta.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string LineaSobrescribiria(const std::string& ruta) {
    return "¡ Error, el PAR sobrescribiría el fichero " + ruta + " !";
}

} // namespace quimbel::par
