// SPDX-License-Identifier: GPL-3.0-or-later
#include "Cabeceras.h"

#include <algorithm>

namespace quimbel {

namespace {

// Headers are put together in a string and handed out as bytes once whole: GCC 12 warns
// falsely (-Warray-bounds, -Wstringop-overflow) on a byte vector growing by inserted ranges in
// optimised builds.
void PonerEntero32(std::string& bytes, int32_t valor) {
    const auto v = static_cast<uint32_t>(valor);
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<char>(static_cast<unsigned char>(v >> (8 * i))));
}

std::vector<unsigned char> Bytes(const std::string& texto) {
    return {texto.begin(), texto.end()};
}

// Whether the marker stands at pos of the header.
bool MarcaEn(std::span<const unsigned char> c, size_t pos) {
    return pos + MarcaHacha.size() <= c.size() &&
           std::all_of(c.begin() + static_cast<std::ptrdiff_t>(pos),
                       c.begin() + static_cast<std::ptrdiff_t>(pos + MarcaHacha.size()),
                       [](unsigned char b) { return b == '?'; });
}

// Where the text ending at fin begins: right after the "?" before it, never before desde.
size_t InicioTexto(std::span<const unsigned char> c, size_t desde, size_t fin) {
    while (fin > desde && c[fin - 1] != '?')
        --fin;
    return fin;
}

std::string Texto(std::span<const unsigned char> c, size_t desde, size_t hasta) {
    return std::string(c.begin() + static_cast<std::ptrdiff_t>(desde),
                       c.begin() + static_cast<std::ptrdiff_t>(hasta));
}

} // namespace

std::vector<unsigned char> CabeceraCA(int32_t n, std::string_view extension) {
    std::string bytes(1, static_cast<char>(FirmaCA.size()));
    bytes += FirmaCA;
    PonerEntero32(bytes, n);
    // A file name holds at most 255 bytes, so its extension always fits the length byte.
    if (extension.size() > 255) extension = extension.substr(0, 255);
    bytes.push_back(static_cast<char>(static_cast<unsigned char>(extension.size())));
    bytes += extension;
    return Bytes(bytes);
}

std::vector<unsigned char> CabeceraHacha(std::string_view nombre, int64_t s, int64_t p) {
    const std::string textoS = std::to_string(s);
    const std::string textoP = std::to_string(p);
    const auto h =
        static_cast<int32_t>(nombre.size() + textoS.size() + textoP.size() + 4 * MarcaHacha.size());
    std::string bytes(MarcaHacha);
    PonerEntero32(bytes, h);
    for (std::string_view texto : {nombre, std::string_view(textoS), std::string_view(textoP)}) {
        bytes += MarcaHacha;
        bytes += texto;
    }
    bytes += MarcaHacha;
    return Bytes(bytes);
}

int32_t Entero32LE(const unsigned char* p) {
    const uint32_t v = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                       static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
    return static_cast<int32_t>(v);
}

std::optional<DatosCabeceraCA> LeerCabeceraCA(std::span<const unsigned char> inicio) {
    if (inicio.size() < TamFijoCabeceraCA) return std::nullopt;
    const size_t largo = inicio[TamFijoCabeceraCA - 1];
    if (inicio.size() < TamFijoCabeceraCA + largo) return std::nullopt;
    DatosCabeceraCA d;
    d.n = Entero32LE(inicio.data() + 1 + FirmaCA.size());
    d.extension = Texto(inicio, TamFijoCabeceraCA, TamFijoCabeceraCA + largo);
    d.tamano = TamFijoCabeceraCA + largo;
    return d;
}

bool EsCabeceraHacha(std::span<const unsigned char, TamPruebaHacha> inicio) {
    return MarcaEn(inicio, 0) && MarcaEn(inicio, TamAntesDeHacha);
}

std::optional<std::array<std::string, 3>> TextosCabeceraHacha(std::span<const unsigned char> c) {
    const size_t marca = MarcaHacha.size();
    if (c.size() < TamPruebaHacha + 2 * marca || !MarcaEn(c, c.size() - marca)) return std::nullopt;
    const size_t finP = c.size() - marca;
    const size_t inicioP = InicioTexto(c, TamPruebaHacha, finP);
    if (inicioP < TamPruebaHacha + marca || !MarcaEn(c, inicioP - marca)) return std::nullopt;
    const size_t finS = inicioP - marca;
    const size_t inicioS = InicioTexto(c, TamPruebaHacha, finS);
    if (inicioS < TamPruebaHacha + marca || !MarcaEn(c, inicioS - marca)) return std::nullopt;
    return std::array<std::string, 3>{Texto(c, TamPruebaHacha, inicioS - marca), Texto(c, inicioS, finS),
                                      Texto(c, inicioP, finP)};
}

std::string NombreSeguro(std::string_view nombre) {
    const size_t corte = nombre.find_last_of(std::string_view("/\0", 2));
    if (corte != std::string_view::npos) nombre.remove_prefix(corte + 1);
    if (nombre == "." || nombre == "..") return {};
    return std::string(nombre);
}

} // namespace quimbel
