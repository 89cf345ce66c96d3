// SPDX-License-Identifier: GPL-3.0-or-later
#include "Salidas.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "Rutas.h"

namespace quimbel {

namespace {

constexpr int BanderasSalida = O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;

// What stands at the name now, links not followed.
Desenlace Mirar(const Carpeta& carpeta, const std::string& nombre, struct stat& st) {
    if (fstatat(carpeta.Descriptor(), nombre.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISDIR(st.st_mode)) return ErrorSistema(EISDIR);
        return S_ISREG(st.st_mode) ? Hecho : Resultado::NoEsFichero;
    }
    return ErrorSistema(errno);
}

Desenlace Nuevo(Fichero& fichero, const Carpeta& carpeta, const std::string& nombre) {
    const int fd = openat(carpeta.Descriptor(), nombre.c_str(), BanderasSalida | O_CREAT | O_EXCL, 0666);
    if (fd < 0) return ErrorSistema(errno);
    fichero = Fichero::Adoptar(fd);
    return Hecho;
}

// Opens the regular file that Mirar saw; ESTALE when the name changed hands meanwhile.
Desenlace AbrirVisto(Fichero& fichero, const Carpeta& carpeta, const std::string& nombre,
                     const struct stat& visto, int banderas) {
    const int fd = openat(carpeta.Descriptor(), nombre.c_str(), banderas);
    if (fd < 0) return errno == ELOOP ? Resultado::NoEsFichero : ErrorSistema(errno);
    Fichero f = Fichero::Adoptar(fd);
    struct stat st {};
    if (fstat(fd, &st) != 0) return ErrorSistema(errno);
    if (!S_ISREG(st.st_mode) || !(IdDeStat(st) == IdDeStat(visto))) return ErrorSistema(ESTALE);
    fichero = std::move(f);
    return Hecho;
}

// Whether the name changed hands between the look and the open (another file, or none):
// then it is looked at again.
bool CambioDeManos(const Desenlace& d) {
    return d == ErrorSistema(ESTALE) || d == ErrorSistema(ENOENT);
}

} // namespace

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

Desenlace CrearSalida(Fichero& fichero, const Carpeta& carpeta, const std::string& nombre,
                      const Protegidos& protegidos) {
    fichero.Cerrar();
    if (!carpeta.Abierta()) return carpeta.Error();
    if (!NombreSimple(nombre)) return ErrorSistema(EINVAL);
    // A name that changes hands between the look and the open is looked at again.
    for (int intento = 0; intento < 3; ++intento) {
        struct stat visto {};
        const Desenlace mirado = Mirar(carpeta, nombre, visto);
        if (mirado == ErrorSistema(ENOENT)) {
            const Desenlace creado = Nuevo(fichero, carpeta, nombre);
            if (creado == ErrorSistema(EEXIST)) continue;
            return creado;
        }
        if (!mirado.Bien()) return mirado;
        Fichero f;
        const Desenlace abierto = AbrirVisto(f, carpeta, nombre, visto, BanderasSalida);
        if (CambioDeManos(abierto)) continue;
        if (!abierto.Bien()) return abierto;
        if (protegidos.Contiene(f)) return Resultado::Intocable;
        if (visto.st_nlink > 1) {
            // Emptying in place would empty every other name of the file too.
            f.Cerrar();
            if (unlinkat(carpeta.Descriptor(), nombre.c_str(), 0) != 0) return ErrorSistema(errno);
            const Desenlace creado = Nuevo(fichero, carpeta, nombre);
            if (creado == ErrorSistema(EEXIST)) continue;
            return creado;
        }
        if (ftruncate(f.Descriptor(), 0) != 0) return ErrorSistema(errno);
        fichero = std::move(f);
        return Hecho;
    }
    return ErrorSistema(EAGAIN);
}

Desenlace CrearSalidaNueva(Fichero& fichero, const Carpeta& carpeta, const std::string& nombre) {
    fichero.Cerrar();
    if (!carpeta.Abierta()) return carpeta.Error();
    if (!NombreSimple(nombre)) return ErrorSistema(EINVAL);
    return Nuevo(fichero, carpeta, nombre);
}

Desenlace AbrirSalida(Fichero& fichero, const Carpeta& carpeta, const std::string& nombre) {
    fichero.Cerrar();
    if (!carpeta.Abierta()) return carpeta.Error();
    if (!NombreSimple(nombre)) return ErrorSistema(EINVAL);
    struct stat visto {};
    if (const Desenlace mirado = Mirar(carpeta, nombre, visto); !mirado.Bien()) return mirado;
    return AbrirVisto(fichero, carpeta, nombre, visto, BanderasSalida);
}

Desenlace CrearFichero(Fichero& fichero, const std::string& ruta, const Protegidos& protegidos) {
    Carpeta carpeta;
    if (const Desenlace abierta = AbrirCarpeta(carpeta, CarpetaDeRuta(ruta)); !abierta.Bien()) {
        fichero.Cerrar();
        return abierta;
    }
    return CrearSalida(fichero, carpeta, NombreDeRuta(ruta), protegidos);
}

} // namespace quimbel
