#include "Trozos.h"

#include "Rutas.h"

namespace quimbel {

namespace {

// Headers are put together in a string and handed out as bytes once whole: GCC 12
// warns falsely (-Warray-bounds, -Wstringop-overflow) on a byte vector growing by
// inserted ranges in optimised builds.
void PonerEntero32(std::string& bytes, int32_t valor) {
    const auto v = static_cast<uint32_t>(valor);
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<char>(static_cast<unsigned char>(v >> (8 * i))));
}

std::vector<unsigned char> Bytes(const std::string& texto) {
    return {texto.begin(), texto.end()};
}

// "." and the number; built by appending, as GCC 12 warns falsely (-Wrestrict) on
// "." + std::string in optimised builds.
std::string PuntoYNumero(int64_t numero) {
    std::string sufijo = ".";
    sufijo += std::to_string(numero);
    return sufijo;
}

constexpr std::string_view MarcaHacha = "?????";

} // namespace

int64_t NumeroTrozos(int64_t s, int64_t p) {
    return s / p + (s % p != 0 ? 1 : 0);
}

int AnchoNormal(int64_t n) {
    const int digitos = static_cast<int>(std::to_string(n).size());
    return digitos < 3 ? 3 : digitos;
}

std::string SufijoTrozo(TipoCorte tipo, int64_t k, int64_t n) {
    switch (tipo) {
    case TipoCorte::CortaArchivos:
        return k == n ? ".fin" : PuntoYNumero(k);
    case TipoCorte::Hacha:
        return PuntoYNumero(k - 1);
    case TipoCorte::Normal:
        break;
    }
    std::string numero = std::to_string(k);
    const auto ancho = static_cast<size_t>(AnchoNormal(n));
    std::string sufijo = ".";
    if (numero.size() < ancho) sufijo.append(ancho - numero.size(), '0');
    sufijo += numero;
    return sufijo;
}

std::string NombreTrozo(std::string_view fuente, std::string_view destino, int64_t k, int64_t n,
                        TipoCorte tipo) {
    const std::string base = std::string(destino) + NombreDeRuta(fuente);
    return CambiarExtension(base, SufijoTrozo(tipo, k, n));
}

std::vector<unsigned char> CabeceraCA(int32_t n, std::string_view extension) {
    std::string bytes = "\x07" "cortarc";
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
    const auto h = static_cast<int32_t>(nombre.size() + textoS.size() + textoP.size() + 20);
    std::string bytes(MarcaHacha);
    PonerEntero32(bytes, h);
    for (std::string_view texto : {nombre, std::string_view(textoS), std::string_view(textoP)}) {
        bytes += MarcaHacha;
        bytes += texto;
    }
    bytes += MarcaHacha;
    return Bytes(bytes);
}

bool LlevaCabecera(TipoCorte tipo, int64_t k, int64_t n) {
    return (tipo == TipoCorte::CortaArchivos && k == n) || (tipo == TipoCorte::Hacha && k == 1 && n >= 2);
}

} // namespace quimbel
