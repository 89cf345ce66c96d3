#include "libs/par/Disco.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace quimbel::par {
namespace {

EstadoDisco DeStat(const struct stat& st) {
    return {S_ISREG(st.st_mode),
            S_ISDIR(st.st_mode),
            static_cast<uint64_t>(st.st_size),
            {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)}};
}

// Repeats a positioned read or write until all n bytes moved; false on an error or
// when nothing more moves (end of file, full disk).
template <typename Llamada> bool Completar(size_t n, uint64_t posicion, Llamada llamada) {
    for (size_t hecho = 0; hecho < n;) {
        const ssize_t r = llamada(hecho, n - hecho, posicion + hecho);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        hecho += static_cast<size_t>(r);
    }
    return true;
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

Descriptor::~Descriptor() {
    Cerrar();
}

Descriptor::Descriptor(Descriptor&& otro) noexcept : fd_(std::exchange(otro.fd_, -1)) {}

Descriptor& Descriptor::operator=(Descriptor&& otro) noexcept {
    if (this != &otro) {
        Cerrar();
        fd_ = std::exchange(otro.fd_, -1);
    }
    return *this;
}

bool Descriptor::Cerrar() {
    if (fd_ < 0) return true;
    const int r = close(std::exchange(fd_, -1));
    return r == 0 || errno == EINTR;
}

std::optional<EstadoDisco> Descriptor::Estado() const {
    struct stat st {};
    if (fstat(fd_, &st) != 0) return std::nullopt;
    return DeStat(st);
}

bool Descriptor::LeerEn(void* datos, size_t n, uint64_t posicion) const {
    return Completar(n, posicion, [&](size_t hecho, size_t resto, uint64_t donde) {
        return pread(fd_, static_cast<char*>(datos) + hecho, resto, static_cast<off_t>(donde));
    });
}

bool Descriptor::EscribirEn(const void* datos, size_t n, uint64_t posicion) const {
    return Completar(n, posicion, [&](size_t hecho, size_t resto, uint64_t donde) {
        return pwrite(fd_, static_cast<const char*>(datos) + hecho, resto, static_cast<off_t>(donde));
    });
}

Descriptor AbrirLectura(const std::string& ruta) {
    return Descriptor(open(ruta.c_str(), O_RDONLY | O_CLOEXEC));
}

Descriptor CrearNuevo(const std::string& ruta) {
    return Descriptor(open(ruta.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
}

Descriptor AbrirEscritura(const std::string& ruta) {
    return Descriptor(open(ruta.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW));
}

} // namespace quimbel::par
