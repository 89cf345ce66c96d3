// SPDX-License-Identifier: GPL-3.0-or-later
#include "Vecinos.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "files/Carpeta.h"
#include "files/Listado.h"
#include "files/Rutas.h"

namespace quimbel {

Vecinos ListarVecinos(const std::string& trozo) {
    Vecinos v;
    Carpeta carpeta;
    if (!AbrirCarpeta(carpeta, CarpetaDeRuta(trozo)).Bien()) return v;
    const std::string prefijo = NombreDeRuta(CambiarExtension(trozo, "")) + ".";
    const auto delTallo = [&](std::string_view nombre) {
        if (!nombre.starts_with(prefijo) || nombre.size() == prefijo.size()) return false;
        struct stat st {};
        const std::string n(nombre);
        return fstatat(carpeta.Descriptor(), n.c_str(), &st, 0) == 0 && S_ISREG(st.st_mode);
    };
    const auto nombres = ListarCarpeta(carpeta, delTallo);
    if (!nombres) return v;
    for (const std::string& nombre : *nombres)
        v.sufijos.push_back(nombre.substr(prefijo.size()));
    v.listados = true;
    return v;
}

} // namespace quimbel
