// SPDX-License-Identifier: GPL-3.0-or-later
#include "Temporales.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <array>
#include <utility>

#include "Listado.h"
#include "Rutas.h"

namespace quimbel {

namespace {

// A temporary is born under this name, unlocked, and takes its locked name at once; one left
// under it (a kill in between) belongs to no run once it has not changed for EdadAbandono.
constexpr std::string_view Naciente = "nuevo-";
constexpr time_t EdadAbandono = 60;

std::string NombreAleatorio(std::string_view marca = {}) {
    std::array<unsigned char, 8> bytes{};
    if (getrandom(bytes.data(), bytes.size(), GRND_NONBLOCK) != static_cast<ssize_t>(bytes.size())) {
        // No entropy yet (early boot): time and process still make a name unlikely to be taken.
        const auto semilla =
            static_cast<uint64_t>(time(nullptr)) * 1000003u + static_cast<uint64_t>(getpid());
        for (size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<unsigned char>(semilla >> (8 * i));
    }
    static constexpr char Cifras[] = "0123456789abcdef";
    std::string nombre(PrefijoTemporal);
    nombre += marca;
    for (const unsigned char b : bytes) {
        nombre += Cifras[b >> 4];
        nombre += Cifras[b & 15];
    }
    return nombre;
}

int Renombrar2(int carpeta, const std::string& antigua, const std::string& nueva, unsigned banderas) {
    return static_cast<int>(
        syscall(SYS_renameat2, carpeta, antigua.c_str(), carpeta, nueva.c_str(), banderas));
}

// Puts the temporary at `nombre` in place of the regular file `id` that stands there. The
// exchange is atomic: what now bears the temporary's name is checked to be that file before
// it is removed, and swapped back otherwise.
Desenlace Sustituir(int carpeta, const std::string& temporal, const std::string& nombre,
                    const IdFichero& id) {
    if (Renombrar2(carpeta, temporal, nombre, RENAME_EXCHANGE) != 0) {
        if (errno != EINVAL && errno != ENOSYS) return ErrorSistema(errno);
        // File systems without the exchange (vfat, NFS): the name was checked just before.
        if (renameat(carpeta, temporal.c_str(), carpeta, nombre.c_str()) != 0) return ErrorSistema(errno);
        return Hecho;
    }
    struct stat st {};
    if (fstatat(carpeta, temporal.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
        IdDeStat(st) == id) {
        unlinkat(carpeta, temporal.c_str(), 0);
        return Hecho;
    }
    Renombrar2(carpeta, temporal, nombre, RENAME_EXCHANGE);
    return ErrorSistema(ESTALE);
}

// Removes one leftover temporary when no run holds it.
void QuitarAbandonado(int carpeta, const std::string& nombre) {
    const int fd = openat(carpeta, nombre.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    struct stat st {};
    const bool naciente = std::string_view(nombre).substr(PrefijoTemporal.size()).starts_with(Naciente);
    const bool abandonable = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
                             (!naciente || time(nullptr) - st.st_mtime > EdadAbandono);
    if (abandonable && flock(fd, LOCK_EX | LOCK_NB) == 0) {
        struct stat ahoraAhi {};
        // Still the file that was opened, and locked by nobody else: a dead run's.
        if (fstatat(carpeta, nombre.c_str(), &ahoraAhi, AT_SYMLINK_NOFOLLOW) == 0 &&
            IdDeStat(ahoraAhi) == IdDeStat(st))
            unlinkat(carpeta, nombre.c_str(), 0);
    }
    close(fd);
}

} // namespace

bool EsTemporal(std::string_view nombre) {
    return nombre.starts_with(PrefijoTemporal);
}

bool Ocupante::Libre() const {
    return estado == ErrorSistema(ENOENT);
}

Ocupante MirarOcupante(const Carpeta& carpeta, const std::string& nombre, const Protegidos& protegidos) {
    Ocupante o;
    if (!carpeta.Abierta()) {
        o.estado = carpeta.Error();
        return o;
    }
    if (!NombreSimple(nombre)) {
        o.estado = ErrorSistema(EINVAL);
        return o;
    }
    o.estado = MirarNombre(carpeta, nombre, &o.id);
    if (!o.estado.Bien()) return o;
    // Compared while open, so that no identity comes from a file that left the cache.
    const int fd = openat(carpeta.Descriptor(), nombre.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) {
        const Fichero abierto = Fichero::Adoptar(fd);
        o.intocable = abierto.Id() == o.id && protegidos.Contiene(abierto);
    }
    return o;
}

SalidaTemporal::~SalidaTemporal() {
    Descartar();
}

SalidaTemporal::SalidaTemporal(SalidaTemporal&& otra) noexcept
    : carpeta_(std::exchange(otra.carpeta_, nullptr)), nombre_(std::exchange(otra.nombre_, {})),
      fichero_(std::move(otra.fichero_)) {}

SalidaTemporal& SalidaTemporal::operator=(SalidaTemporal&& otra) noexcept {
    if (this != &otra) {
        Descartar();
        carpeta_ = std::exchange(otra.carpeta_, nullptr);
        nombre_ = std::exchange(otra.nombre_, {});
        fichero_ = std::move(otra.fichero_);
    }
    return *this;
}

Desenlace SalidaTemporal::Crear(const Carpeta& carpeta) {
    Descartar();
    if (!carpeta.Abierta()) return carpeta.Error();
    for (int intento = 0; intento < 16; ++intento) {
        const std::string naciente = NombreAleatorio(Naciente);
        Fichero fichero;
        if (const Desenlace creado = CrearNuevo(fichero, carpeta, naciente); !creado.Bien()) {
            if (creado == ErrorSistema(EEXIST)) continue;
            return creado;
        }
        const int fd = fichero.Descriptor();
        // Locked before it takes a name a later run's clean-up looks at, and held until the
        // file is published or removed.
        std::string nombre = NombreAleatorio();
        if (flock(fd, LOCK_EX | LOCK_NB) != 0 || !RenombrarEn(carpeta, naciente, nombre).Bien()) {
            unlinkat(carpeta.Descriptor(), naciente.c_str(), 0);
            continue;
        }
        fichero.EmpezarVolcadoAlEscribir();
        fichero_ = std::move(fichero);
        carpeta_ = &carpeta;
        nombre_ = std::move(nombre);
        return Hecho;
    }
    return ErrorSistema(EEXIST);
}

Desenlace SalidaTemporal::Publicar(const std::string& nombre, const Protegidos& protegidos,
                                   std::optional<IdFichero> reemplazable) {
    if (carpeta_ == nullptr || nombre_.empty() || !fichero_.Abierto()) return ErrorSistema(EBADF);
    if (!NombreSimple(nombre) || EsTemporal(nombre)) return ErrorSistema(EINVAL);
    if (const Desenlace volcado = Volcar(); !volcado.Bien()) return volcado;
    const int fd = carpeta_->Descriptor();
    // A name that changes hands meanwhile is looked at again.
    for (int intento = 0; intento < 3; ++intento) {
        const Ocupante o = MirarOcupante(*carpeta_, nombre, protegidos);
        Desenlace hecho = o.estado;
        if (o.Libre()) {
            hecho = RenombrarEn(*carpeta_, nombre_, nombre);
            if (hecho == ErrorSistema(EEXIST)) continue;
        } else if (o.estado.Bien()) {
            if (o.intocable) return Resultado::Intocable;
            if (!reemplazable || !(o.id == *reemplazable)) return ErrorSistema(EEXIST);
            hecho = Sustituir(fd, nombre_, nombre, o.id);
            if (hecho == ErrorSistema(ESTALE) || hecho == ErrorSistema(ENOENT)) continue;
        }
        if (!hecho.Bien()) return hecho;
        nombre_.clear();
        fichero_.Cerrar();
        carpeta_ = nullptr;
        return Hecho;
    }
    return ErrorSistema(EAGAIN);
}

Desenlace SalidaTemporal::Volcar() {
    if (!fichero_.Abierto()) return ErrorSistema(EBADF);
    return fsync(fichero_.Descriptor()) == 0 ? Hecho : ErrorSistema(errno);
}

void SalidaTemporal::Descartar() {
    if (carpeta_ != nullptr && !nombre_.empty()) unlinkat(carpeta_->Descriptor(), nombre_.c_str(), 0);
    nombre_.clear();
    fichero_.Cerrar();
    carpeta_ = nullptr;
}

void LimpiarTemporales(const Carpeta& carpeta, const std::function<bool(std::string_view)>& conservar) {
    const auto nombres = ListarCarpeta(carpeta, [&](std::string_view nombre) {
        return EsTemporal(nombre) && !(conservar && conservar(nombre));
    });
    if (!nombres) return;
    for (const std::string& nombre : *nombres)
        QuitarAbandonado(carpeta.Descriptor(), nombre);
}

void SincronizarCarpeta(const Carpeta& carpeta) {
    if (!carpeta.Abierta()) return;
    const int fd = openat(carpeta.Descriptor(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

} // namespace quimbel
