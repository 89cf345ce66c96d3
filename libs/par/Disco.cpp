#include "libs/par/Disco.h"

#include <sys/stat.h>
#include <unistd.h>

#include "files/Rutas.h"
#include "files/Salidas.h"

namespace quimbel::par {

std::optional<EstadoDisco> Estado(const std::string& ruta) {
    struct stat st {};
    if (stat(ruta.c_str(), &st) != 0) return std::nullopt;
    return EstadoDisco{S_ISREG(st.st_mode), static_cast<uint64_t>(st.st_size)};
}

bool HayAlgo(const std::string& ruta) {
    struct stat st {};
    return lstat(ruta.c_str(), &st) == 0;
}

std::optional<uint64_t> Descriptor::Tamano() const {
    const int64_t tamano = fichero_.Tamano();
    if (tamano < 0) return std::nullopt;
    return static_cast<uint64_t>(tamano);
}

Descriptor AbrirLectura(const std::string& ruta) {
    quimbel::Fichero fichero;
    if (!AbrirFichero(fichero, ruta).Bien()) return Descriptor();
    return Descriptor(std::move(fichero));
}

CarpetaSalidas::CarpetaSalidas(const std::string& ruta) {
    AbrirCarpeta(carpeta_, CarpetaDeRuta(ruta));
}

Descriptor CarpetaSalidas::CrearNuevo(const std::string& ruta) const {
    quimbel::Fichero fichero;
    if (!CrearSalidaNueva(fichero, carpeta_, NombreDeRuta(ruta)).Bien()) return Descriptor();
    return Descriptor(std::move(fichero));
}

Descriptor CarpetaSalidas::AbrirEscritura(const std::string& ruta) const {
    quimbel::Fichero fichero;
    if (!AbrirSalida(fichero, carpeta_, NombreDeRuta(ruta)).Bien()) return Descriptor();
    return Descriptor(std::move(fichero));
}

void CarpetaSalidas::Borrar(const std::string& ruta) const {
    unlinkat(carpeta_.Descriptor(), NombreDeRuta(ruta).c_str(), 0);
}

} // namespace quimbel::par
