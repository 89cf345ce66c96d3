#include "libs/par/Disco.h"

#include <sys/stat.h>
#include <unistd.h>

#include "files/Rutas.h"
#include "files/Salidas.h"

namespace quimbel::par {
namespace {

EstadoDisco DeStat(const struct stat& st) {
    return {S_ISREG(st.st_mode),
            S_ISDIR(st.st_mode),
            static_cast<uint64_t>(st.st_size),
            {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)}};
}

} // namespace

std::optional<EstadoDisco> Estado(const std::string& ruta) {
    struct stat st {};
    if (stat(ruta.c_str(), &st) != 0) return std::nullopt;
    return DeStat(st);
}

bool HayAlgo(const std::string& ruta) {
    struct stat st {};
    return lstat(ruta.c_str(), &st) == 0;
}

std::optional<EstadoDisco> Descriptor::Estado() const {
    struct stat st {};
    if (fstat(fichero_.Descriptor(), &st) != 0) return std::nullopt;
    return DeStat(st);
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
