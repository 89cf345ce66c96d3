// SPDX-License-Identifier: GPL-3.0-or-later
#include "Ficheros.h"

#include "Carpeta.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <algorithm>
#include <utility>

namespace quimbel {

namespace {

bool SePuedeLeer(size_t n) {
    if (LecturaSimulada(n)) return true;
    errno = EIO;
    return false;
}

Desenlace CerrarDescriptor(int& fd) {
    if (fd < 0) return Hecho;
    const int resultado = close(fd);
    fd = -1;
    // A close interrupted by a signal has still released the descriptor on Linux.
    return resultado == 0 || errno == EINTR ? Hecho : ErrorSistema(errno);
}

// Kernel file systems whose files report a size that says nothing of their content, or
// whose reads may wait for events for ever.
bool EsPseudoSistema(int fd) {
    struct statfs fs {};
    if (fstatfs(fd, &fs) != 0) return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case SECURITYFS_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC:
    case 0x62656570: // configfs
    case BPF_FS_MAGIC:
    case EFIVARFS_MAGIC:
    case PSTOREFS_MAGIC:
        return true;
    default:
        return false;
    }
}

} // namespace

// Weak: what ships has no simulated device and no state for one; the tests link the strong
// definitions of files/Simulacion.cpp.
__attribute__((weak)) bool CabeEnDisco(size_t) {
    return true;
}

__attribute__((weak)) bool LecturaSimulada(size_t) {
    return true;
}

Fichero::~Fichero() {
    CerrarDescriptor(fd_);
}

Fichero::Fichero(Fichero&& otro) noexcept
    : fd_(std::exchange(otro.fd_, -1)), posicion_(otro.posicion_), limite_(otro.limite_),
      ilegible_(otro.ilegible_), volcarPronto_(otro.volcarPronto_), volcadoDesde_(otro.volcadoDesde_) {}

Fichero& Fichero::operator=(Fichero&& otro) noexcept {
    if (this != &otro) {
        CerrarDescriptor(fd_);
        fd_ = std::exchange(otro.fd_, -1);
        posicion_ = otro.posicion_;
        limite_ = otro.limite_;
        ilegible_ = otro.ilegible_;
        volcarPronto_ = otro.volcarPronto_;
        volcadoDesde_ = otro.volcadoDesde_;
    }
    return *this;
}

Fichero Fichero::Adoptar(int descriptor) {
    Fichero f;
    f.fd_ = descriptor;
    return f;
}

Desenlace Fichero::Cerrar() {
    posicion_ = 0;
    limite_ = -1;
    ilegible_ = false;
    return CerrarDescriptor(fd_);
}

int64_t Fichero::Tamano() const {
    struct stat st {};
    if (fstat(fd_, &st) != 0) return -1;
    return static_cast<int64_t>(st.st_size);
}

IdFichero Fichero::Id() const {
    struct stat st {};
    if (fstat(fd_, &st) != 0) return {};
    return IdDeStat(st);
}

Desenlace Fichero::Posicionar(int64_t posicion) {
    if (posicion < 0) return ErrorSistema(EINVAL);
    if (lseek(fd_, static_cast<off_t>(posicion), SEEK_SET) < 0) return ErrorSistema(errno);
    posicion_ = posicion;
    return Hecho;
}

int64_t Fichero::Disponibles(int64_t desde, size_t n) const {
    const auto pedido = static_cast<int64_t>(std::min<size_t>(n, INT64_MAX));
    if (limite_ < 0) return pedido;
    return std::clamp<int64_t>(limite_ - desde, 0, pedido);
}

int64_t Fichero::Leer(void* datos, size_t n) {
    if (ilegible_) {
        errno = EIO;
        return -1;
    }
    auto* p = static_cast<unsigned char*>(datos);
    const auto cuenta = static_cast<size_t>(Disponibles(posicion_, n));
    size_t total = 0;
    // A network or FUSE file system may return less than asked before the end.
    while (total < cuenta) {
        if (!SePuedeLeer(cuenta - total)) return -1;
        const ssize_t leidos = read(fd_, p + total, cuenta - total);
        if (leidos < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (leidos == 0) break;
        total += static_cast<size_t>(leidos);
    }
    posicion_ += static_cast<int64_t>(total);
    return static_cast<int64_t>(total);
}

Desenlace Fichero::Escribir(const void* datos, size_t n) {
    const auto* p = static_cast<const unsigned char*>(datos);
    size_t total = 0;
    while (total < n) {
        if (!CabeEnDisco(n - total)) return ErrorSistema(ENOSPC);
        const ssize_t escritos = write(fd_, p + total, n - total);
        if (escritos < 0) {
            if (errno == EINTR) continue;
            return ErrorSistema(errno);
        }
        if (escritos == 0) return ErrorSistema(ENOSPC);
        total += static_cast<size_t>(escritos);
        posicion_ += escritos;
    }
    if (volcarPronto_ && posicion_ - volcadoDesde_ >= ventana_) {
        // Only started: an error shows at the flush that ends the file.
        sync_file_range(fd_, volcadoDesde_, posicion_ - volcadoDesde_, SYNC_FILE_RANGE_WRITE);
        volcadoDesde_ = posicion_;
    }
    return Hecho;
}

namespace {

// Repeats a positioned read or write until all n bytes moved; false on an error or when
// nothing more moves (end of file, full disk).
template <typename Llamada> bool Completar(size_t n, uint64_t posicion, Llamada llamada) {
    for (size_t hecho = 0; hecho < n;) {
        const ssize_t r = llamada(hecho, n - hecho, static_cast<off_t>(posicion + hecho));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        hecho += static_cast<size_t>(r);
    }
    return true;
}

} // namespace

bool Fichero::LeerEn(void* datos, size_t n, uint64_t posicion) const {
    if (ilegible_) return false;
    if (posicion > INT64_MAX || Disponibles(static_cast<int64_t>(posicion), n) != static_cast<int64_t>(n))
        return false;
    if (!SePuedeLeer(n)) return false;
    auto* p = static_cast<unsigned char*>(datos);
    return Completar(n, posicion, [&](size_t hecho, size_t resto, off_t donde) {
        return pread(fd_, p + hecho, resto, donde);
    });
}

void Fichero::EmpezarVolcado(uint64_t posicion, uint64_t n) const {
    // Only started: an error shows at the flush that ends the file.
    if (fd_ >= 0)
        sync_file_range(fd_, static_cast<off_t>(posicion), static_cast<off_t>(n), SYNC_FILE_RANGE_WRITE);
}

void Fichero::Reservar(uint64_t n) const {
    if (fd_ >= 0 && n > 0 && n <= INT64_MAX) fallocate(fd_, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(n));
}

void Fichero::Anticipar(uint64_t posicion, size_t n) const {
    if (fd_ >= 0)
        posix_fadvise(fd_, static_cast<off_t>(posicion), static_cast<off_t>(n), POSIX_FADV_WILLNEED);
}

bool Fichero::EscribirEn(const void* datos, size_t n, uint64_t posicion) const {
    if (!CabeEnDisco(n)) return false;
    const auto* p = static_cast<const unsigned char*>(datos);
    return Completar(n, posicion, [&](size_t hecho, size_t resto, off_t donde) {
        return pwrite(fd_, p + hecho, resto, donde);
    });
}

namespace {

// Opens an input at ruta relative to carpeta and checks what it is; the read bound is its size now.
Desenlace AbrirEntrada(Fichero& fichero, int carpeta, const char* ruta, int banderas) {
    fichero.Cerrar();
    // Non-blocking: a FIFO must never hang the run before it is recognised and refused.
    int fd = openat(carpeta, ruta, O_RDONLY | O_CLOEXEC | O_NONBLOCK | banderas);
    if (fd < 0)
        return errno == ELOOP && (banderas & O_NOFOLLOW) ? Resultado::NoEsFichero : ErrorSistema(errno);
    struct stat st {};
    Desenlace fallo = Hecho;
    if (fstat(fd, &st) != 0)
        fallo = ErrorSistema(errno);
    else if (S_ISDIR(st.st_mode))
        fallo = ErrorSistema(EISDIR);
    else if (!S_ISREG(st.st_mode))
        fallo = Resultado::NoEsFichero;
    if (!fallo.Bien()) {
        CerrarDescriptor(fd);
        return fallo;
    }
    const int estado = fcntl(fd, F_GETFL);
    if (estado >= 0) fcntl(fd, F_SETFL, estado & ~O_NONBLOCK);
    fichero = Fichero::Adoptar(fd);
    fichero.PonerLimite(static_cast<int64_t>(st.st_size));
    if (EsPseudoSistema(fd)) fichero.HacerIlegible();
    return Hecho;
}

} // namespace

Desenlace AbrirFichero(Fichero& fichero, const std::string& ruta) {
    return AbrirEntrada(fichero, AT_FDCWD, ruta.c_str(), 0);
}

Desenlace AbrirFicheroBajo(Fichero& fichero, const Carpeta& carpeta, std::string_view relativa) {
    fichero.Cerrar();
    Carpeta padre;
    std::string hoja;
    if (const Desenlace resuelto = ResolverBajo(carpeta, relativa, padre, hoja, true); !resuelto.Bien())
        return resuelto;
    return AbrirEntrada(fichero, padre.Descriptor(), hoja.c_str(), O_NOFOLLOW);
}

Desenlace AbrirEntradaBajo(Fichero& fichero, const Carpeta& carpeta, std::string_view relativa) {
    fichero.Cerrar();
    Carpeta padre;
    std::string hoja;
    if (const Desenlace resuelto = ResolverBajo(carpeta, relativa, padre, hoja); !resuelto.Bien())
        return resuelto;
    return AbrirEntrada(fichero, padre.Descriptor(), hoja.c_str(), 0);
}

Desenlace AbrirFicheroEn(Fichero& fichero, const Carpeta& carpeta, const std::string& nombre) {
    fichero.Cerrar();
    if (!carpeta.Abierta()) return carpeta.Error();
    if (nombre.empty() || nombre.find('/') != std::string::npos) return ErrorSistema(EINVAL);
    return AbrirEntrada(fichero, carpeta.Descriptor(), nombre.c_str(), 0);
}

bool ExisteFichero(const std::string& ruta) {
    struct stat st {};
    return stat(ruta.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

int32_t FechaDosDeTiempo(int64_t segundosUnix) {
    const auto t = static_cast<time_t>(segundosUnix);
    struct tm local {};
    if (localtime_r(&t, &local) == nullptr) return 0;
    int anio = local.tm_year + 1900;
    if (anio < 1980) return (0 << 25) | (1 << 21) | (1 << 16); // 1980-01-01 00:00:00
    if (anio > 2107)
        return static_cast<int32_t>((127u << 25) | (12u << 21) | (31u << 16) | (23u << 11) | (59u << 5) |
                                    29u);
    const auto fecha =
        static_cast<uint32_t>(((anio - 1980) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday);
    const auto hora = static_cast<uint32_t>((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
    return static_cast<int32_t>((fecha << 16) | hora);
}

int InfoFichero(const std::string& ruta, InfoRegistro& info) {
    struct stat st {};
    if (stat(ruta.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return -1;
    InfoRegistro nuevo;
    Fichero f;
    const bool abierto = AbrirFichero(f, ruta).Bien();
    if (abierto) {
        nuevo.tamano = f.Tamano();
        nuevo.fechaDos = FechaDosDeTiempo(static_cast<int64_t>(st.st_mtim.tv_sec));
        f.Cerrar();
    }
    nuevo.atributos = static_cast<int32_t>(st.st_mode);
    info = nuevo;
    return abierto ? 0 : -1;
}

IdFichero IdDeStat(const struct stat& st) {
    return {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
}

} // namespace quimbel
