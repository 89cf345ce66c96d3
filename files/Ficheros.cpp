#include "Ficheros.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <utility>

namespace quimbel {

namespace {

IdFichero IdDeStat(const struct stat& st) {
    return {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
}

int CerrarDescriptor(int& fd) {
    if (fd < 0) return 0;
    const int resultado = close(fd);
    fd = -1;
    // A close interrupted by a signal has still released the descriptor on Linux.
    return resultado == 0 || errno == EINTR ? 0 : errno;
}

} // namespace

std::optional<IdFichero> IdDeRuta(const std::string& ruta) {
    struct stat st {};
    if (stat(ruta.c_str(), &st) != 0) return std::nullopt;
    return IdDeStat(st);
}

Fichero::~Fichero() {
    CerrarDescriptor(fd_);
}

Fichero::Fichero(Fichero&& otro) noexcept : fd_(std::exchange(otro.fd_, -1)) {}

Fichero& Fichero::operator=(Fichero&& otro) noexcept {
    if (this != &otro) {
        CerrarDescriptor(fd_);
        fd_ = std::exchange(otro.fd_, -1);
    }
    return *this;
}

int Fichero::Cerrar() {
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

int Fichero::Posicionar(int64_t posicion) {
    if (lseek(fd_, static_cast<off_t>(posicion), SEEK_SET) < 0) return errno;
    return 0;
}

int64_t Fichero::Leer(void* datos, size_t n) {
    auto* p = static_cast<unsigned char*>(datos);
    size_t total = 0;
    // A network or FUSE file system may return less than asked before the end.
    while (total < n) {
        const ssize_t leidos = read(fd_, p + total, n - total);
        if (leidos < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (leidos == 0) break;
        total += static_cast<size_t>(leidos);
    }
    return static_cast<int64_t>(total);
}

int Fichero::Escribir(const void* datos, size_t n) {
    const auto* p = static_cast<const unsigned char*>(datos);
    size_t total = 0;
    while (total < n) {
        const ssize_t escritos = write(fd_, p + total, n - total);
        if (escritos < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (escritos == 0) return ENOSPC;
        total += static_cast<size_t>(escritos);
    }
    return 0;
}

int AbrirFichero(Fichero& fichero, const std::string& ruta) {
    fichero.Cerrar();
    // Non-blocking open so that a FIFO never hangs the window; reads block as usual afterwards.
    int fd = open(ruta.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return errno;
    struct stat st {};
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        const int error = S_ISDIR(st.st_mode) ? EISDIR : errno;
        CerrarDescriptor(fd);
        return error;
    }
    const int banderas = fcntl(fd, F_GETFL);
    if (banderas >= 0) fcntl(fd, F_SETFL, banderas & ~O_NONBLOCK);
    fichero.fd_ = fd;
    return 0;
}

int CrearFichero(Fichero& fichero, const std::string& ruta, std::span<const IdFichero> intocables) {
    fichero.Cerrar();
    // Opened without O_TRUNC: the identity is checked before anything is emptied.
    int fd = open(ruta.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return errno;
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        const int error = errno;
        CerrarDescriptor(fd);
        return error;
    }
    if (std::find(intocables.begin(), intocables.end(), IdDeStat(st)) != intocables.end()) {
        CerrarDescriptor(fd);
        return ErrorFicheroIntocable;
    }
    if (S_ISREG(st.st_mode) && st.st_size != 0 && ftruncate(fd, 0) != 0) {
        const int error = errno;
        CerrarDescriptor(fd);
        return error;
    }
    fichero.fd_ = fd;
    return 0;
}

int RenombrarFichero(const std::string& antigua, const std::string& nueva) {
    if (syscall(SYS_renameat2, AT_FDCWD, antigua.c_str(), AT_FDCWD, nueva.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // The file system refuses the flag: a hard link cannot replace either.
    if (link(antigua.c_str(), nueva.c_str()) != 0) return errno;
    if (unlink(antigua.c_str()) != 0) {
        const int error = errno;
        unlink(nueva.c_str()); // one name remains
        return error;
    }
    return 0;
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

double FechaDeDos(int32_t fechaDos) {
    const auto v = static_cast<uint32_t>(fechaDos);
    const int anio = static_cast<int>((v >> 25) & 0x7F) + 1980;
    const int mes = static_cast<int>((v >> 21) & 0x0F);
    const int dia = static_cast<int>((v >> 16) & 0x1F);
    const int hora = static_cast<int>((v >> 11) & 0x1F);
    const int minuto = static_cast<int>((v >> 5) & 0x3F);
    const int segundo = static_cast<int>(v & 0x1F) * 2;
    // Days from 1899-12-30 by the proleptic Gregorian civil-from-days inverse.
    const int y = mes <= 2 ? anio - 1 : anio;
    const int era = y / 400;
    const int yoe = y - era * 400;
    const int mp = (mes + 9) % 12;
    const int doy = (153 * mp + 2) / 5 + dia - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const long diasUnix = static_cast<long>(era) * 146097 + doe - 719468;
    const long dias = diasUnix + 25569; // 1970-01-01 is day 25569
    return static_cast<double>(dias) + (hora * 3600 + minuto * 60 + segundo) / 86400.0;
}

int InfoFichero(const std::string& ruta, InfoRegistro& info) {
    struct stat st {};
    if (stat(ruta.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return -1;
    InfoRegistro nuevo;
    Fichero f;
    const bool abierto = AbrirFichero(f, ruta) == 0;
    if (abierto) {
        nuevo.tamano = f.Tamano();
        nuevo.fechaDos = FechaDosDeTiempo(static_cast<int64_t>(st.st_mtim.tv_sec));
        nuevo.fechaModificacion = FechaDeDos(nuevo.fechaDos);
        f.Cerrar();
    }
    nuevo.atributos = static_cast<int32_t>(st.st_mode);
    info = nuevo;
    return abierto ? 0 : -1;
}

} // namespace quimbel
