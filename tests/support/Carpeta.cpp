// SPDX-License-Identifier: GPL-3.0-or-later
#include "Carpeta.h"

#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace quimbel::prueba {

CarpetaTemporal::CarpetaTemporal(const std::string& base) {
    const std::filesystem::path padre =
        base.empty() ? std::filesystem::temp_directory_path() : std::filesystem::path(base);
    std::string plantilla = (padre / "quimbel-XXXXXX").string();
    std::vector<char> buf(plantilla.begin(), plantilla.end());
    buf.push_back('\0');
    if (mkdtemp(buf.data()) == nullptr) throw std::runtime_error("mkdtemp");
    ruta_ = std::string(buf.data()) + "/";
}

CarpetaTemporal::~CarpetaTemporal() {
    std::error_code ec;
    // Folders a test made read-only must be writable again to be removed.
    for (auto it = std::filesystem::recursive_directory_iterator(ruta_, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ec);
    }
    std::filesystem::remove_all(ruta_, ec);
}

void EscribirFichero(const std::string& ruta, std::string_view contenido) {
    std::ofstream f(ruta, std::ios::binary | std::ios::trunc);
    f.write(contenido.data(), static_cast<std::streamsize>(contenido.size()));
    if (!f) throw std::runtime_error("no se pudo escribir " + ruta);
}

std::string LeerFichero(const std::string& ruta) {
    std::ifstream f(ruta, std::ios::binary);
    if (!f) throw std::runtime_error("no se pudo leer " + ruta);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

bool Existe(const std::string& ruta) {
    struct stat st {};
    return lstat(ruta.c_str(), &st) == 0;
}

std::vector<std::string> Nombres(const std::string& carpeta) {
    std::vector<std::string> nombres;
    for (const auto& entrada : std::filesystem::directory_iterator(carpeta))
        nombres.push_back(entrada.path().filename().string());
    std::sort(nombres.begin(), nombres.end());
    return nombres;
}

std::map<std::string, std::string> Contenido(const std::string& carpeta) {
    std::map<std::string, std::string> contenido;
    for (const auto& e : std::filesystem::directory_iterator(carpeta))
        contenido[e.path().filename().string()] =
            e.is_regular_file() ? LeerFichero(e.path().string()) : "<carpeta>";
    return contenido;
}

bool HayEspacio(const std::string& carpeta, long long bytes) {
    struct statvfs st {};
    if (statvfs(carpeta.c_str(), &st) != 0) return true;
    return static_cast<long long>(st.f_bavail) * static_cast<long long>(st.f_frsize) >= bytes;
}

std::string CarpetaEnMemoria(long long bytes) {
    const std::string shm = "/dev/shm";
    struct statfs fs {};
    if (statfs(shm.c_str(), &fs) != 0 || fs.f_type != TMPFS_MAGIC) return "";
    return HayEspacio(shm, bytes) ? shm : "";
}

std::string Datos(size_t n, unsigned semilla) {
    std::mt19937 gen(semilla);
    std::string s(n, '\0');
    for (auto& c : s)
        c = static_cast<char>(gen() & 0xFF);
    return s;
}

} // namespace quimbel::prueba
