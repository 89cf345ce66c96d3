// SPDX-License-Identifier: GPL-3.0-or-later
#include "AyudaUnir.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>
#include <vector>

namespace quimbel {
void PrintTo(const PlanUnir& p, std::ostream* os) {
    *os << "{" << p.PrimerTrozo << ", " << p.UltimoTrozo << ", " << p.TrozoFin << ", \"" << p.ExtTrozos
        << "\", " << p.CerosTrozos << ", " << p.TamCabeceraHacha << ", \"" << p.ExtFicUnido << "\", \""
        << p.ExtFin << "\", " << p.TamFuente << ", " << p.TamTrozo << "}";
}
} // namespace quimbel

namespace quimbel::prueba {

PlanUnir Plan(int64_t primero, int64_t ultimo, int64_t fin, std::string ext, bool ceros, int64_t cabecera,
              std::string unido) {
    PlanUnir p;
    p.PrimerTrozo = primero;
    p.UltimoTrozo = ultimo;
    p.TrozoFin = fin;
    p.ExtTrozos = std::move(ext);
    p.CerosTrozos = ceros;
    p.TamCabeceraHacha = cabecera;
    p.ExtFicUnido = std::move(unido);
    return p;
}

std::vector<int64_t> Etiquetas(const AnalisisUnir& a) {
    return {a.tamTrozo, a.trozos, a.tamUnido, a.mostrarTeorico ? a.tamTeorico : -1};
}

std::string Entero32(int32_t valor) {
    const auto v = static_cast<uint32_t>(valor);
    std::string s;
    for (int i = 0; i < 4; ++i)
        s += static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}

std::string CabeceraCAHecha(int32_t n, std::string_view extension) {
    std::string s = "\x07"
                    "cortarc" +
                    Entero32(n);
    s += static_cast<char>(extension.size());
    s += extension;
    return s;
}

std::string CabeceraHachaHecha(int32_t h, std::string_view nombre, std::string_view s, std::string_view p) {
    const std::string m = "?????";
    return m + Entero32(h) + m + std::string(nombre) + m + std::string(s) + m + std::string(p) + m;
}

int32_t LargoHacha(std::string_view nombre, std::string_view s, std::string_view p) {
    return static_cast<int32_t>(nombre.size() + s.size() + p.size() + 20);
}

void FicheroDisperso(const std::string& ruta, int64_t tamano) {
    const int fd = open(ruta.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ftruncate(fd, static_cast<off_t>(tamano)) != 0)
        throw std::runtime_error("disperso " + ruta);
    close(fd);
}

namespace {
// Reads until the buffer is full or the file ends; the count read, -1 on error.
ssize_t LeerLleno(int fd, std::vector<char>& buffer) {
    size_t total = 0;
    while (total < buffer.size()) {
        const ssize_t leidos = read(fd, buffer.data() + total, buffer.size() - total);
        if (leidos < 0) return -1;
        if (leidos == 0) break;
        total += static_cast<size_t>(leidos);
    }
    return static_cast<ssize_t>(total);
}
} // namespace

bool MismoContenido(const std::string& a, const std::string& b) {
    const int fa = open(a.c_str(), O_RDONLY);
    const int fb = open(b.c_str(), O_RDONLY);
    bool igual = fa >= 0 && fb >= 0;
    std::vector<char> ba(4 << 20);
    std::vector<char> bb(4 << 20);
    while (igual) {
        const ssize_t na = LeerLleno(fa, ba);
        const ssize_t nb = LeerLleno(fb, bb);
        igual = na >= 0 && na == nb && std::memcmp(ba.data(), bb.data(), static_cast<size_t>(na)) == 0;
        if (na <= 0) break;
    }
    if (fa >= 0) close(fa);
    if (fb >= 0) close(fb);
    return igual;
}

} // namespace quimbel::prueba
