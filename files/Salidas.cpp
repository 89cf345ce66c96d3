// SPDX-License-Identifier: GPL-3.0-or-later
#include "Salidas.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace quimbel {

void Protegidos::Anadir(const Fichero& abierto) {
    abiertos_.push_back(&abierto);
}

void Protegidos::Anadir(std::string ruta) {
    rutas_.push_back(std::move(ruta));
}

void Protegidos::Anadir(IdFichero id) {
    ids_.push_back(id);
}

bool Protegidos::Contiene(const Fichero& abierto) const {
    const IdFichero id = abierto.Id();
    if (std::find(ids_.begin(), ids_.end(), id) != ids_.end()) return true;
    for (const Fichero* f : abiertos_)
        if (f->Abierto() && f->Id() == id) return true;
    for (const std::string& ruta : rutas_) {
        // A path-only open never blocks, whatever the name reaches.
        const int fd = open(ruta.c_str(), O_PATH | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st {};
        const bool igual = fstat(fd, &st) == 0 && IdDeStat(st) == id;
        close(fd);
        if (igual) return true;
    }
    return false;
}

Desenlace MirarNombre(const Carpeta& carpeta, const std::string& nombre, IdFichero* id) {
    struct stat st {};
    if (fstatat(carpeta.Descriptor(), nombre.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return ErrorSistema(errno);
    if (S_ISDIR(st.st_mode)) return ErrorSistema(EISDIR);
    if (!S_ISREG(st.st_mode)) return Resultado::NoEsFichero;
    if (id) *id = IdDeStat(st);
    return Hecho;
}

Desenlace CrearNuevo(Fichero& fichero, const Carpeta& carpeta, const std::string& nombre) {
    const int fd = openat(carpeta.Descriptor(), nombre.c_str(),
                          O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) return ErrorSistema(errno);
    fichero = Fichero::Adoptar(fd);
    return Hecho;
}

} // namespace quimbel
