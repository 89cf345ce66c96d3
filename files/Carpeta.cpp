// SPDX-License-Identifier: GPL-3.0-or-later
#include "Carpeta.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/fs.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>

#include <utility>

#include "Ficheros.h"

namespace quimbel {

namespace {

constexpr int BanderasCarpeta = O_PATH | O_DIRECTORY | O_CLOEXEC;

// Splits "a/b/c" into "a/b" and "c"; the folder part is "" for a bare name.
std::pair<std::string_view, std::string_view> PartirUltimo(std::string_view ruta) {
    const size_t barra = ruta.rfind('/');
    if (barra == std::string_view::npos) return {std::string_view(), ruta};
    return {ruta.substr(0, barra), ruta.substr(barra + 1)};
}

int PorOpenat2(int base, const std::string& carpetas, bool sinEnlaces) {
    open_how como{};
    como.flags = BanderasCarpeta;
    como.resolve = RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS | (sinEnlaces ? RESOLVE_NO_SYMLINKS : 0);
    for (;;) {
        const long fd = syscall(SYS_openat2, base, carpetas.c_str(), &como, sizeof como);
        if (fd >= 0) return static_cast<int>(fd);
        if (errno != EINTR && errno != EAGAIN) return -errno;
    }
}

// Component by component, never following a link: stricter than the kernel's beneath
// resolution, which accepts links that stay inside.
int Recorriendo(int base, std::string_view carpetas) {
    int actual = fcntl(base, F_DUPFD_CLOEXEC, 0);
    if (actual < 0) return -errno;
    while (!carpetas.empty()) {
        const size_t barra = carpetas.find('/');
        const std::string parte(carpetas.substr(0, barra));
        carpetas = barra == std::string_view::npos ? std::string_view() : carpetas.substr(barra + 1);
        if (parte.empty() || parte == ".") continue;
        if (parte == "..") {
            close(actual);
            return -EXDEV;
        }
        const int siguiente = openat(actual, parte.c_str(), BanderasCarpeta | O_NOFOLLOW);
        const int error = errno;
        close(actual);
        // A link opened with O_NOFOLLOW and O_DIRECTORY is ENOTDIR: refused like any link.
        if (siguiente < 0) return -(error == ENOTDIR ? ELOOP : error);
        actual = siguiente;
    }
    return actual;
}

Desenlace RenombrarSinReemplazo(int carpeta, const char* antigua, const char* nueva) {
    if (syscall(SYS_renameat2, carpeta, antigua, carpeta, nueva, RENAME_NOREPLACE) == 0) return Hecho;
    if (errno != EINVAL && errno != ENOSYS) return ErrorSistema(errno);
    // The file system refuses the flag (NFS): a hard link cannot replace either.
    if (linkat(carpeta, antigua, carpeta, nueva, 0) != 0) return ErrorSistema(errno);
    if (unlinkat(carpeta, antigua, 0) != 0) {
        const int error = errno;
        unlinkat(carpeta, nueva, 0); // one name remains
        return ErrorSistema(error);
    }
    return Hecho;
}

} // namespace

// Weak, as the simulated device's hooks (files/Simulacion.cpp).
__attribute__((weak)) bool RecorridoSinOpenat2() {
    return false;
}

Carpeta::~Carpeta() {
    if (fd_ >= 0) close(fd_);
}

Carpeta::Carpeta(Carpeta&& otra) noexcept
    : fd_(std::exchange(otra.fd_, -1)), error_(std::exchange(otra.error_, EBADF)) {}

Carpeta& Carpeta::operator=(Carpeta&& otra) noexcept {
    if (this != &otra) Poner(std::exchange(otra.fd_, -1), std::exchange(otra.error_, EBADF));
    return *this;
}

void Carpeta::Poner(int fd, int error) {
    if (fd_ >= 0) close(fd_);
    fd_ = fd;
    error_ = fd >= 0 ? 0 : error;
}

Desenlace AbrirCarpeta(Carpeta& carpeta, const std::string& ruta) {
    const int fd = open(ruta.empty() ? "." : ruta.c_str(), BanderasCarpeta);
    carpeta.Poner(fd, errno);
    return carpeta.Error();
}

Desenlace CopiarCarpeta(Carpeta& carpeta, int descriptor) {
    struct stat st {};
    if (fstat(descriptor, &st) != 0) {
        carpeta.Poner(-1, errno);
        return carpeta.Error();
    }
    if (!S_ISDIR(st.st_mode)) {
        carpeta.Poner(-1, ENOTDIR);
        return carpeta.Error();
    }
    const int fd = fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
    carpeta.Poner(fd, errno);
    return carpeta.Error();
}

Desenlace ResolverBajo(const Carpeta& carpeta, std::string_view relativa, Carpeta& padre, std::string& hoja,
                       bool sinEnlaces) {
    hoja.clear();
    if (!carpeta.Abierta()) return carpeta.Error();
    if (relativa.empty() || relativa.front() == '/') return ErrorSistema(EXDEV);
    if (relativa.find('\0') != std::string_view::npos) return ErrorSistema(EINVAL);
    const auto [carpetas, ultimo] = PartirUltimo(relativa);
    if (ultimo.empty() || ultimo == "." || ultimo == "..")
        return ErrorSistema(ultimo == ".." ? EXDEV : EINVAL);
    const std::string partes = carpetas.empty() ? std::string(".") : std::string(carpetas);
    int fd = -ENOSYS;
    if (!RecorridoSinOpenat2()) fd = PorOpenat2(carpeta.Descriptor(), partes, sinEnlaces);
    // Without openat2 (ENOSYS) or where a filter forbids it (EPERM): the manual walk.
    if (fd == -ENOSYS || fd == -EPERM) fd = Recorriendo(carpeta.Descriptor(), carpetas);
    if (fd < 0) return ErrorSistema(-fd);
    padre.Poner(fd, 0);
    hoja = std::string(ultimo);
    return Hecho;
}

Desenlace CrearCarpetasBajo(const Carpeta& carpeta, std::string_view relativa,
                            std::vector<std::string>& creadas) {
    if (!carpeta.Abierta()) return carpeta.Error();
    if (relativa.empty() || relativa.front() == '/' || relativa.find('\0') != std::string_view::npos)
        return ErrorSistema(EXDEV);
    const std::string_view carpetas = PartirUltimo(relativa).first;
    Carpeta actual;
    actual.Poner(fcntl(carpeta.Descriptor(), F_DUPFD_CLOEXEC, 0), errno);
    if (!actual.Abierta()) return actual.Error();
    for (size_t inicio = 0; inicio < carpetas.size();) {
        const size_t barra = std::min(carpetas.find('/', inicio), carpetas.size());
        const std::string parte(carpetas.substr(inicio, barra - inicio));
        inicio = barra + 1;
        if (parte.empty() || parte == ".") continue;
        if (parte == "..") return ErrorSistema(EXDEV);
        int fd = openat(actual.Descriptor(), parte.c_str(), BanderasCarpeta | O_NOFOLLOW);
        if (fd < 0 && errno == ENOENT) {
            if (mkdirat(actual.Descriptor(), parte.c_str(), 0777) == 0)
                creadas.push_back(std::string(carpetas.substr(0, barra)));
            else if (errno != EEXIST)
                return ErrorSistema(errno);
            fd = openat(actual.Descriptor(), parte.c_str(), BanderasCarpeta | O_NOFOLLOW);
        }
        // A link opened with O_NOFOLLOW and O_DIRECTORY is ENOTDIR: refused like any link.
        if (fd < 0) return ErrorSistema(errno == ENOTDIR ? ELOOP : errno);
        actual.Poner(fd, 0);
    }
    return Hecho;
}

Desenlace RenombrarEn(const Carpeta& carpeta, const std::string& antigua, const std::string& nueva) {
    if (!carpeta.Abierta()) return carpeta.Error();
    if (antigua.find('/') != std::string::npos || nueva.find('/') != std::string::npos)
        return ErrorSistema(EINVAL);
    return RenombrarSinReemplazo(carpeta.Descriptor(), antigua.c_str(), nueva.c_str());
}

std::optional<std::string> RenombrarAlPrimerLibre(const Carpeta& carpeta, const std::string& hoja, int limite,
                                                  const std::function<std::string(int)>& nombre) {
    for (int i = 1; i <= limite; ++i) {
        std::string nuevo = nombre(i);
        if (RenombrarEn(carpeta, hoja, nuevo).Bien()) return nuevo;
    }
    return std::nullopt;
}

Desenlace RenombrarBajo(const Carpeta& carpeta, std::string_view relativa, const std::string& nuevaHoja) {
    Carpeta padre;
    std::string hoja;
    if (const Desenlace resuelto = ResolverBajo(carpeta, relativa, padre, hoja); !resuelto.Bien())
        return resuelto;
    return RenombrarEn(padre, hoja, nuevaHoja);
}

Desenlace RenombrarFichero(const std::string& antigua, const std::string& nueva) {
    return RenombrarSinReemplazo(AT_FDCWD, antigua.c_str(), nueva.c_str());
}

} // namespace quimbel
