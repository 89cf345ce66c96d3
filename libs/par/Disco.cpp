#include "libs/par/Disco.h"

#include <sys/stat.h>

#include "files/Carpeta.h"
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

// Opens the output's folder (the job's, links followed) and applies abrir to its name there.
template <typename Abrir> Descriptor EnSuCarpeta(const std::string& ruta, Abrir abrir) {
    Carpeta carpeta;
    quimbel::Fichero fichero;
    if (AbrirCarpeta(carpeta, CarpetaDeRuta(ruta)) != 0 || abrir(fichero, carpeta, NombreDeRuta(ruta)) != 0)
        return Descriptor();
    return Descriptor(std::move(fichero));
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
    if (AbrirFichero(fichero, ruta) != 0) return Descriptor();
    return Descriptor(std::move(fichero));
}

Descriptor CrearNuevo(const std::string& ruta) {
    return EnSuCarpeta(ruta, [](quimbel::Fichero& f, const Carpeta& c, const std::string& n) {
        return CrearSalidaNueva(f, c, n);
    });
}

Descriptor AbrirEscritura(const std::string& ruta) {
    return EnSuCarpeta(ruta, [](quimbel::Fichero& f, const Carpeta& c, const std::string& n) {
        return AbrirSalida(f, c, n);
    });
}

} // namespace quimbel::par
