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
#include <atomic>
#include <utility>

namespace quimbel {

namespace {

std::atomic<int64_t> discoRestante{-1};
std::atomic<int64_t> lecturaRestante{-1};

// Takes n bytes from a simulated device's allowance; false when they no longer fit.
bool Cabe(std::atomic<int64_t>& restante, size_t n) {
    int64_t resto = restante.load(std::memory_order_relaxed);
    while (resto >= 0) {
        if (static_cast<int64_t>(n) > resto) return false;
        if (restante.compare_exchange_weak(resto, resto - static_cast<int64_t>(n))) return true;
    }
    return true;
}

bool CabeEnDisco(size_t n) {
    return Cabe(discoRestante, n);
}

bool SePuedeLeer(size_t n) {
    if (Cabe(lecturaRestante, n)) return true;
    errno = EIO;
    return false;
}

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

void SimularDiscoLleno(int64_t bytes) {
    discoRestante.store(bytes < 0 ? -1 : bytes);
}

void SimularFalloDeLectura(int64_t bytes) {
    lecturaRestante.store(bytes < 0 ? -1 : bytes);
}

Fichero::~Fichero() {
    CerrarDescriptor(fd_);
}

Fichero::Fichero(Fichero&& otro) noexcept
    : fd_(std::exchange(otro.fd_, -1)), posicion_(otro.posicion_), limite_(otro.limite_),
      ilegible_(otro.ilegible_) {}

Fichero& Fichero::operator=(Fichero&& otro) noexcept {
    if (this != &otro) {
        CerrarDescriptor(fd_);
        fd_ = std::exchange(otro.fd_, -1);
        posicion_ = otro.posicion_;
        limite_ = otro.limite_;
        ilegible_ = otro.ilegible_;
    }
    return *this;
}

Fichero Fichero::Adoptar(int descriptor) {
    Fichero f;
    f.fd_ = descriptor;
    return f;
}

int Fichero::Cerrar() {
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

int Fichero::Posicionar(int64_t posicion) {
    if (posicion < 0) return EINVAL;
    if (lseek(fd_, static_cast<off_t>(posicion), SEEK_SET) < 0) return errno;
    posicion_ = posicion;
    return 0;
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

int Fichero::Escribir(const void* datos, size_t n) {
    const auto* p = static_cast<const unsigned char*>(datos);
    size_t total = 0;
    while (total < n) {
        if (!CabeEnDisco(n - total)) return ENOSPC;
        const ssize_t escritos = write(fd_, p + total, n - total);
        if (escritos < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (escritos == 0) return ENOSPC;
        total += static_cast<size_t>(escritos);
        posicion_ += escritos;
    }
    return 0;
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

bool Fichero::EscribirEn(const void* datos, size_t n, uint64_t posicion) const {
    if (!CabeEnDisco(n)) return false;
    const auto* p = static_cast<const unsigned char*>(datos);
    return Completar(n, posicion, [&](size_t hecho, size_t resto, off_t donde) {
        return pwrite(fd_, p + hecho, resto, donde);
    });
}

namespace {

// Opens an input at ruta relative to carpeta and checks what it is; the read bound is its size now.
int AbrirEntrada(Fichero& fichero, int carpeta, const char* ruta, int banderas) {
    fichero.Cerrar();
    // Non-blocking: a FIFO must never hang the run before it is recognised and refused.
    int fd = openat(carpeta, ruta, O_RDONLY | O_CLOEXEC | O_NONBLOCK | banderas);
    if (fd < 0) return errno == ELOOP && (banderas & O_NOFOLLOW) ? ErrorNoEsFichero : errno;
    struct stat st {};
    int error = 0;
    if (fstat(fd, &st) != 0)
        error = errno;
    else if (S_ISDIR(st.st_mode))
        error = EISDIR;
    else if (!S_ISREG(st.st_mode))
        error = ErrorNoEsFichero;
    if (error != 0) {
        CerrarDescriptor(fd);
        return error;
    }
    const int estado = fcntl(fd, F_GETFL);
    if (estado >= 0) fcntl(fd, F_SETFL, estado & ~O_NONBLOCK);
    fichero = Fichero::Adoptar(fd);
    fichero.PonerLimite(static_cast<int64_t>(st.st_size));
    if (EsPseudoSistema(fd)) fichero.HacerIlegible();
    return 0;
}

} // namespace

int AbrirFichero(Fichero& fichero, const std::string& ruta) {
    return AbrirEntrada(fichero, AT_FDCWD, ruta.c_str(), 0);
}

int AbrirFicheroBajo(Fichero& fichero, const Carpeta& carpeta, std::string_view relativa) {
    fichero.Cerrar();
    Carpeta padre;
    std::string hoja;
    if (const int error = ResolverBajo(carpeta, relativa, padre, hoja, true); error != 0) return error;
    return AbrirEntrada(fichero, padre.Descriptor(), hoja.c_str(), O_NOFOLLOW);
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
