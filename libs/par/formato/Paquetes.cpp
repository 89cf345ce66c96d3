// SPDX-License-Identifier: GPL-3.0-or-later
#include "Paquetes.h"

#include <algorithm>
#include <cstring>

namespace quimbel::par {
namespace {

void Poner64(uint8_t* p, uint64_t v) {
    for (int i = 0; i < 8; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

void Poner32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

void Anexar64(Bytes& b, uint64_t v) {
    uint8_t p[8];
    Poner64(p, v);
    Anexar(b, p, 8);
}

void Anexar32(Bytes& b, uint32_t v) {
    uint8_t p[4];
    Poner32(p, v);
    Anexar(b, p, 4);
}

void AnexarRelleno(Bytes& b) {
    while (b.size() % 4 != 0)
        b.push_back(0);
}

// Magic and length: the first 16 bytes of every header.
void PonerInicio(uint8_t* p, uint64_t largo) {
    std::memcpy(p, MagiaPaquete.data(), MagiaPaquete.size());
    Poner64(p + PosicionLargo, largo);
}

} // namespace

void Anexar(Bytes& b, const void* datos, size_t n) {
    if (n == 0) return;
    const size_t antes = b.size();
    b.resize(antes + n);
    std::memcpy(b.data() + antes, datos, n);
}

Bytes Paquete(const Huella& conjunto, std::string_view tipo, std::span<const uint8_t> cuerpo) {
    Bytes p(CabeceraPaquete + cuerpo.size());
    PonerInicio(p.data(), p.size());
    std::copy(conjunto.begin(), conjunto.end(), p.begin() + 32);
    std::memcpy(p.data() + 48, tipo.data(), 16);
    std::copy(cuerpo.begin(), cuerpo.end(), p.begin() + CabeceraPaquete);
    const Huella hash = Md5De(p.data() + 32, p.size() - 32);
    std::copy(hash.begin(), hash.end(), p.begin() + 16);
    return p;
}

Bytes CuerpoPrincipal(uint64_t tamanoRebanada, std::span<const Huella> ficheros) {
    Bytes b;
    Anexar64(b, tamanoRebanada);
    Anexar32(b, static_cast<uint32_t>(ficheros.size()));
    for (const Huella& id : ficheros)
        Anexar(b, id.data(), id.size());
    return b;
}

Huella IdDeFichero(const Huella& md5Inicio, uint64_t tamano, std::string_view nombre) {
    Bytes b;
    Anexar(b, md5Inicio.data(), md5Inicio.size());
    Anexar64(b, tamano);
    Anexar(b, nombre.data(), nombre.size());
    return Md5De(b.data(), b.size());
}

Bytes CuerpoDescripcion(const Huella& id, const Huella& md5, const Huella& md5Inicio, uint64_t tamano,
                        std::string_view nombre) {
    Bytes b;
    Anexar(b, id.data(), id.size());
    Anexar(b, md5.data(), md5.size());
    Anexar(b, md5Inicio.data(), md5Inicio.size());
    Anexar64(b, tamano);
    Anexar(b, nombre.data(), nombre.size());
    AnexarRelleno(b);
    return b;
}

Bytes CuerpoVerificacion(const Huella& id, std::span<const HuellaRebanada> rebanadas) {
    Bytes b;
    b.reserve(16 + 20 * rebanadas.size());
    Anexar(b, id.data(), id.size());
    for (const HuellaRebanada& r : rebanadas) {
        Anexar(b, r.md5.data(), r.md5.size());
        Anexar32(b, r.crc);
    }
    return b;
}

Bytes CuerpoCreador(std::string_view texto) {
    Bytes b;
    Anexar(b, texto.data(), texto.size());
    AnexarRelleno(b);
    return b;
}

bool MenorId(const Huella& a, const Huella& b) {
    return std::lexicographical_compare(a.rbegin(), a.rend(), b.rbegin(), b.rend());
}

std::array<uint8_t, 36> InicioHashRecuperacion(const Huella& conjunto, uint32_t exponente) {
    std::array<uint8_t, 36> p{};
    std::copy(conjunto.begin(), conjunto.end(), p.begin());
    std::memcpy(p.data() + 16, TipoRecuperacion.data(), 16);
    Poner32(p.data() + 32, exponente);
    return p;
}

std::array<uint8_t, CabeceraRecuperacion> CabeceraDeRecuperacion(const Huella& conjunto, uint32_t exponente,
                                                                 uint64_t tamanoRebanada,
                                                                 const Huella& hash) {
    std::array<uint8_t, CabeceraRecuperacion> c{};
    PonerInicio(c.data(), CabeceraRecuperacion + tamanoRebanada);
    std::copy(hash.begin(), hash.end(), c.begin() + 16);
    std::copy(conjunto.begin(), conjunto.end(), c.begin() + 32);
    std::memcpy(c.data() + 48, TipoRecuperacion.data(), 16);
    Poner32(c.data() + 64, exponente);
    return c;
}

} // namespace quimbel::par
