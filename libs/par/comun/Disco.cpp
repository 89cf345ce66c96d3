// SPDX-License-Identifier: GPL-3.0-or-later
#include "Disco.h"

#include "LlamadaPar.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/Rutas.h"

namespace quimbel::par {

std::optional<EstadoDisco> EstadoEn(const quimbel::Carpeta& carpeta, const std::string& nombre) {
    struct stat st {};
    if (fstatat(carpeta.Descriptor(), nombre.c_str(), &st, 0) != 0) return std::nullopt;
    return EstadoDisco{S_ISREG(st.st_mode), static_cast<uint64_t>(st.st_size)};
}

bool HayAlgoEn(const quimbel::Carpeta& carpeta, const std::string& nombre) {
    struct stat st {};
    return fstatat(carpeta.Descriptor(), nombre.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

void BorrarEn(const quimbel::Carpeta& carpeta, const std::string& nombre) {
    unlinkat(carpeta.Descriptor(), nombre.c_str(), 0);
}

void BorrarSiEs(const quimbel::Carpeta& carpeta, const std::string& nombre, const quimbel::IdFichero& id) {
    const quimbel::Fichero ahora = quimbel::Fichero::Adoptar(
        openat(carpeta.Descriptor(), nombre.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    if (ahora.Abierto() && ahora.Id() == id) unlinkat(carpeta.Descriptor(), nombre.c_str(), 0);
}

std::optional<uint64_t> TamanoDe(const quimbel::Fichero& fichero) {
    const int64_t tamano = fichero.Tamano();
    if (tamano < 0) return std::nullopt;
    return static_cast<uint64_t>(tamano);
}

CarpetaDelTrabajo::CarpetaDelTrabajo(int descriptor) : descriptor_(descriptor) {}

quimbel::Desenlace CarpetaDelTrabajo::Abrir(const std::string& ruta, quimbel::Carpeta& carpeta) const {
    if (descriptor_ == LLAMADA_PAR_CARPETA_ACTUAL) return AbrirCarpeta(carpeta, CarpetaDeRuta(ruta));
    return CopiarCarpeta(carpeta, descriptor_);
}

} // namespace quimbel::par
