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

IdFichero IdDe(const struct stat& st) {
    return {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
}

bool NombreValido(const std::string& nombre) {
    return !nombre.empty() && nombre != "." && nombre != ".." && nombre.find('/') == std::string::npos;
}

// What stands at the name now, links not followed.
int Mirar(const Carpeta& carpeta, const std::string& nombre, struct stat& st) {
    if (fstatat(carpeta.Descriptor(), nombre.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISDIR(st.st_mode)) return EISDIR;
        return S_ISREG(st.st_mode) ? 0 : ErrorNoEsFichero;
    }
    return errno;
}

int Nuevo(Fichero& fichero, const Carpeta& carpeta, const std::string& nombre) {
    const int fd = openat(carpeta.Descriptor(), nombre.c_str(), BanderasSalida | O_CREAT | O_EXCL, 0666);
    if (fd < 0) return errno;
    fichero = Fichero::Adoptar(fd);
    return 0;
}

// Opens the regular file that Mirar saw; ESTALE when the name changed hands meanwhile.
int AbrirVisto(Fichero& fichero, const Carpeta& carpeta, const std::string& nombre, const struct stat& visto,
               int banderas) {
    const int fd = openat(carpeta.Descriptor(), nombre.c_str(), banderas);
    if (fd < 0) return errno == ELOOP ? ErrorNoEsFichero : errno;
    Fichero f = Fichero::Adoptar(fd);
    struct stat st {};
    if (fstat(fd, &st) != 0) return errno;
    if (!S_ISREG(st.st_mode) || !(IdDe(st) == IdDe(visto))) return ESTALE;
    fichero = std::move(f);
    return 0;
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
        const bool igual = fstat(fd, &st) == 0 && IdDe(st) == id;
        close(fd);
        if (igual) return true;
    }
    return false;
}

int CrearSalida(Fichero& fichero, const Carpeta& carpeta, const std::string& nombre,
                const Protegidos& protegidos) {
    fichero.Cerrar();
    if (!carpeta.Abierta()) return carpeta.Error();
    if (!NombreValido(nombre)) return EINVAL;
    // A name that changes hands between the look and the open is looked at again.
    for (int intento = 0; intento < 3; ++intento) {
        struct stat visto {};
        const int mirado = Mirar(carpeta, nombre, visto);
        if (mirado == ENOENT) {
            const int creado = Nuevo(fichero, carpeta, nombre);
            if (creado == EEXIST) continue;
            return creado;
        }
        if (mirado != 0) return mirado;
        Fichero f;
        const int abierto = AbrirVisto(f, carpeta, nombre, visto, BanderasSalida);
        if (abierto == ESTALE || abierto == ENOENT) continue;
        if (abierto != 0) return abierto;
        if (protegidos.Contiene(f)) return ErrorFicheroIntocable;
        if (visto.st_nlink > 1) {
            // Emptying in place would empty every other name of the file too.
            f.Cerrar();
            if (unlinkat(carpeta.Descriptor(), nombre.c_str(), 0) != 0) return errno;
            const int creado = Nuevo(fichero, carpeta, nombre);
            if (creado == EEXIST) continue;
            return creado;
        }
        if (ftruncate(f.Descriptor(), 0) != 0) return errno;
        fichero = std::move(f);
        return 0;
    }
    return EAGAIN;
}

int CrearSalidaNueva(Fichero& fichero, const Carpeta& carpeta, const std::string& nombre) {
    fichero.Cerrar();
    if (!carpeta.Abierta()) return carpeta.Error();
    if (!NombreValido(nombre)) return EINVAL;
    return Nuevo(fichero, carpeta, nombre);
}

int AbrirSalida(Fichero& fichero, const Carpeta& carpeta, const std::string& nombre) {
    fichero.Cerrar();
    if (!carpeta.Abierta()) return carpeta.Error();
    if (!NombreValido(nombre)) return EINVAL;
    struct stat visto {};
    if (const int mirado = Mirar(carpeta, nombre, visto); mirado != 0) return mirado;
    return AbrirVisto(fichero, carpeta, nombre, visto, BanderasSalida);
}

int CrearFichero(Fichero& fichero, const std::string& ruta, const Protegidos& protegidos) {
    Carpeta carpeta;
    if (const int abierta = AbrirCarpeta(carpeta, CarpetaDeRuta(ruta)); abierta != 0) {
        fichero.Cerrar();
        return abierta;
    }
    return CrearSalida(fichero, carpeta, NombreDeRuta(ruta), protegidos);
}

} // namespace quimbel
