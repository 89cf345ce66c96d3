// SPDX-License-Identifier: GPL-3.0-or-later
#include "Biblioteca.h"

#include <dlfcn.h>
#include <unistd.h>

#include <vector>

#include "Ficheros.h"
#include "Rutas.h"

namespace quimbel {

std::string CarpetaDelEjecutable() {
    std::vector<char> ruta(4096);
    for (;;) {
        const ssize_t n = readlink("/proc/self/exe", ruta.data(), ruta.size());
        if (n < 0) return {};
        if (static_cast<size_t>(n) < ruta.size())
            return CarpetaDeRuta(std::string(ruta.data(), static_cast<size_t>(n)));
        ruta.resize(ruta.size() * 2); // paths are not cut at any length
    }
}

ManejadorBiblioteca CargarBiblioteca(const std::string& nombre, const std::string& carpetaPrimero) {
    // RTLD_LOCAL keeps the library's exports out of the global scope, so neither the
    // program nor a later library binds to them by accident.
    constexpr int modo = RTLD_NOW | RTLD_LOCAL;
    void* h = nullptr;
    const std::string enCarpeta =
        carpetaPrimero.empty() ? std::string() : ConBarraFinal(carpetaPrimero) + nombre;
    if (!enCarpeta.empty() && ExisteFichero(enCarpeta))
        h = dlopen(enCarpeta.c_str(), modo);
    else
        h = dlopen(nombre.c_str(), modo);
    if (h == nullptr) dlerror(); // consumed, never shown
    return h;
}

void* BuscarExportacion(ManejadorBiblioteca biblioteca, const char* nombre) {
    if (biblioteca == nullptr) return nullptr;
    void* p = dlsym(biblioteca, nombre);
    if (p == nullptr) dlerror();
    return p;
}

void LiberarBiblioteca(ManejadorBiblioteca biblioteca) {
    if (biblioteca != nullptr) dlclose(biblioteca);
}

} // namespace quimbel
