#include "LectorPaquetes.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

namespace quimbel::par {
namespace {

constexpr size_t Bloque = size_t{1} << 20;

// The position of the next magic at or after desde; none at the end. error turns true when
// a read fails.
std::optional<uint64_t> BuscarMagia(const FuenteBytes& fuente, uint64_t desde, std::vector<uint8_t>& bloque,
                                    bool& error) {
    const uint64_t tamano = fuente.Tamano();
    const size_t magia = MagiaPaquete.size();
    // Between intact packets the next one starts right here: a look at its magic spares a block.
    char aqui[8];
    if (tamano - desde >= CabeceraPaquete && fuente.LeerEn(aqui, magia, desde) &&
        std::string_view(aqui, magia) == MagiaPaquete)
        return desde;
    while (tamano - desde >= CabeceraPaquete) {
        const auto n = static_cast<size_t>(std::min<uint64_t>(bloque.size(), tamano - desde));
        if (!fuente.LeerEn(bloque.data(), n, desde)) {
            error = true;
            return std::nullopt;
        }
        const std::string_view visto(reinterpret_cast<const char*>(bloque.data()), n);
        if (const size_t k = visto.find(MagiaPaquete); k != std::string_view::npos) return desde + k;
        if (desde + n == tamano) break;
        desde += n - (magia - 1); // a magic may straddle two blocks
    }
    return std::nullopt;
}

// The MD5 of n bytes at the offset, read a block at a time.
std::optional<Huella> Md5DeTramo(const FuenteBytes& fuente, uint64_t posicion, uint64_t n,
                                 std::vector<uint8_t>& bloque) {
    Md5 md5;
    while (n > 0) {
        const auto parte = static_cast<size_t>(std::min<uint64_t>(n, bloque.size()));
        if (!fuente.LeerEn(bloque.data(), parte, posicion)) return std::nullopt;
        md5.Anadir(bloque.data(), parte);
        posicion += parte;
        n -= parte;
    }
    return md5.Valor();
}

} // namespace

uint64_t Leer64(const uint8_t* p) {
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

uint32_t Leer32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

bool FuenteMemoria::LeerEn(void* datos, size_t n, uint64_t posicion) const {
    if (posicion > n_ || n > n_ - posicion) return false;
    if (n > 0) std::memcpy(datos, datos_ + posicion, n);
    return true;
}

bool LeerPaquetes(const FuenteBytes& fuente, const std::function<void(PaqueteLeido&&)>& alPaquete,
                  const std::function<void(uint64_t)>& alAvance) {
    const uint64_t tamano = fuente.Tamano();
    std::vector<uint8_t> bloque(
        static_cast<size_t>(std::min<uint64_t>(Bloque, std::max<uint64_t>(tamano, 64))));
    // Intact packets are hashed once; what is left covers rescans of damaged ones.
    uint64_t presupuesto = 4 * tamano + (uint64_t{64} << 20);
    bool error = false;
    for (uint64_t desde = 0;;) {
        if (alAvance) alAvance(desde);
        const std::optional<uint64_t> p = BuscarMagia(fuente, desde, bloque, error);
        if (!p || tamano - *p < CabeceraPaquete) break;
        desde = *p + 1; // where the search goes on when this packet fails
        uint8_t cabecera[CabeceraRecuperacion] = {};
        if (!fuente.LeerEn(cabecera, CabeceraPaquete, *p)) return false;
        const uint64_t largo = Leer64(cabecera + PosicionLargo);
        if (largo < CabeceraPaquete || largo % 4 != 0 || largo > tamano - *p) continue;
        PaqueteLeido paquete;
        paquete.tipo.assign(reinterpret_cast<const char*>(cabecera + PosicionTipo), 16);
        std::copy_n(cabecera + PosicionConjunto, 16, paquete.conjunto.begin());
        std::copy_n(cabecera + PosicionHash, 16, paquete.hash.begin());
        paquete.posicion = *p;
        paquete.largo = largo;
        const bool recuperacion = paquete.tipo == TipoRecuperacion;
        if (recuperacion && largo < CabeceraRecuperacion) continue;
        const uint64_t hashear = largo - PosicionConjunto;
        if (hashear > presupuesto) break;
        presupuesto -= hashear;
        std::optional<Huella> hash;
        if (!recuperacion && largo - CabeceraPaquete <= CuerpoMaximo) {
            paquete.cuerpo.resize(static_cast<size_t>(largo - CabeceraPaquete));
            if (!fuente.LeerEn(paquete.cuerpo.data(), paquete.cuerpo.size(), *p + CabeceraPaquete))
                return false;
            Md5 md5;
            md5.Anadir(cabecera + PosicionConjunto, CabeceraPaquete - PosicionConjunto);
            md5.Anadir(paquete.cuerpo.data(), paquete.cuerpo.size());
            hash = md5.Valor();
        } else {
            hash = Md5DeTramo(fuente, *p + PosicionConjunto, hashear, bloque);
            if (!hash) return false;
        }
        if (*hash != paquete.hash) continue;
        if (recuperacion) {
            if (!fuente.LeerEn(cabecera + CabeceraPaquete, 4, *p + CabeceraPaquete)) return false;
            paquete.exponente = Leer32(cabecera + CabeceraPaquete);
        }
        alPaquete(std::move(paquete));
        desde = *p + largo;
    }
    if (alAvance) alAvance(tamano);
    return !error;
}

} // namespace quimbel::par
