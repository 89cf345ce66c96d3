// SPDX-License-Identifier: GPL-3.0-or-later
#include "NombresPar.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "files/Comparar.h"

namespace quimbel::par {
namespace {

constexpr std::string_view Extension = ".par2";

} // namespace

std::string BaseDelJuego(std::string_view nombre) {
    if (const std::optional<std::string_view> base = BaseDeVolumen(nombre)) return std::string(*base);
    if (!TerminaSinMayusculas(nombre, Extension)) return std::string(nombre);
    return std::string(nombre.substr(0, nombre.size() - Extension.size()));
}

bool EsFicheroPar2(std::string_view nombre) {
    return TerminaSinMayusculas(nombre, Extension);
}

bool EsDelJuego(std::string_view nombre, std::string_view base) {
    if (EsVolumenDe(nombre, base)) return true;
    return TerminaSinMayusculas(nombre, Extension) &&
           nombre.substr(0, nombre.size() - Extension.size()) == base;
}

bool EsCarpetaEn(const quimbel::Carpeta& carpeta, const std::string& nombre) {
    struct stat st {};
    return fstatat(carpeta.Descriptor(), nombre.c_str(), &st, 0) == 0 && S_ISDIR(st.st_mode);
}

std::vector<std::string> ListarEn(const quimbel::Carpeta& carpeta,
                                  const std::function<bool(std::string_view)>& filtro) {
    std::vector<std::string> nombres;
    // A descriptor of its own to read the entries; the folder's stays as it is.
    const int fd = openat(carpeta.Descriptor(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return nombres;
    DIR* entradas = fdopendir(fd);
    if (entradas == nullptr) {
        close(fd);
        return nombres;
    }
    while (const dirent* e = readdir(entradas)) {
        const std::string nombre = e->d_name;
        if (filtro(nombre) && !EsCarpetaEn(carpeta, nombre)) nombres.push_back(nombre);
    }
    closedir(entradas);
    std::sort(nombres.begin(), nombres.end());
    return nombres;
}

std::vector<std::string> SalidasPresentes(const quimbel::Carpeta& carpeta, std::string_view nombreIndice,
                                          bool viejas) {
    const std::string base = BaseVolumenes(nombreIndice);
    return ListarEn(carpeta, [&](std::string_view nombre) {
        return viejas ? EsSalidaDe(nombre, nombreIndice)
                      : nombre == nombreIndice || EsVolumenDe(nombre, base);
    });
}

std::vector<std::string> FicherosDelJuego(const quimbel::Carpeta& carpeta, const std::string& nombre) {
    const std::string base = BaseDelJuego(nombre);
    std::vector<std::string> ficheros{nombre};
    for (std::string& otro :
         ListarEn(carpeta, [&](std::string_view n) { return n != nombre && EsDelJuego(n, base); }))
        ficheros.push_back(std::move(otro));
    return ficheros;
}

bool EsProtegidoEn(const quimbel::Carpeta& carpeta, const std::string& nombre, const Protegidos& protegidos) {
    Fichero fichero;
    return AbrirFicheroEn(fichero, carpeta, nombre).Bien() && protegidos.Contiene(fichero);
}

std::string LineaNombreNoValido(std::string_view nombre) {
    return "¡ Error, nombre no válido para PAR: " + std::string(nombre) + " !";
}

std::string LineaSobrescribiria(const std::string& ruta) {
    return "¡ Error, el PAR sobrescribiría el fichero " + ruta + " !";
}

} // namespace quimbel::par
