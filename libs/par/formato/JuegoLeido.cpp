// SPDX-License-Identifier: GPL-3.0-or-later
#include "JuegoLeido.h"

#include "Franjas.h"
#include "Galois.h"

#include <algorithm>
#include <optional>
#include <tuple>
#include <unordered_map>

namespace quimbel::par {
namespace {

// The fixed part of a description body: ID, MD5, 16 KiB MD5, length.
constexpr size_t FijoDescripcion = 56;

Huella HuellaEn(const uint8_t* p) {
    Huella h{};
    std::copy_n(p, h.size(), h.begin());
    return h;
}

// A name shown in a line: control bytes as "?".
std::string Mostrable(std::string_view nombre) {
    std::string s(nombre.substr(0, 256));
    for (char& c : s)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return s;
}

} // namespace

void Recogida::Anadir(size_t origen, PaqueteLeido&& p) {
    std::lock_guard bloqueo(mutex_);
    if (soloDe_ && p.conjunto != *soloDe_) return;
    if (p.tipo == TipoRecuperacion) {
        const auto clave = std::make_pair(p.conjunto, p.exponente);
        if (bytes_ + CostoGuardado > MemoriaGuardada || recuperacion_.count(clave) != 0) return;
        const RebanadaRecuperacion r{p.exponente, origen, p.posicion + CabeceraRecuperacion};
        recuperacion_.emplace(clave, std::make_pair(r, p.largo));
        bytes_ += CostoGuardado;
        Aporta(origen);
        return;
    }
    if (p.tipo != TipoPrincipal && p.tipo != TipoDescripcion && p.tipo != TipoVerificacion) return;
    const uint64_t costo = CostoGuardado + p.cuerpo.size();
    if (p.cuerpo.size() != p.largo - CabeceraPaquete || bytes_ + costo > MemoriaGuardada) return;
    if (!vistos_.insert(p.hash).second) return;
    bytes_ += costo;
    Aporta(origen);
    paquetes_.push_back({origen, std::move(p)});
}

void Recogida::Aporta(size_t origen) {
    if (aportes_.size() <= origen) aportes_.resize(origen + 1, false);
    aportes_[origen] = true;
}

void Recogida::SoloDe(const Huella& conjunto) {
    std::lock_guard bloqueo(mutex_);
    soloDe_ = conjunto;
}

size_t Recogida::Guardados() const {
    std::lock_guard bloqueo(mutex_);
    return paquetes_.size() + recuperacion_.size();
}

uint64_t Recogida::Memoria() const {
    std::lock_guard bloqueo(mutex_);
    return bytes_;
}

bool Recogida::Aporto(size_t origen) const {
    std::lock_guard bloqueo(mutex_);
    return origen < aportes_.size() && aportes_[origen];
}

std::optional<Huella> Recogida::Conjunto() {
    std::lock_guard bloqueo(mutex_);
    const Guardado* principal = Principal();
    if (principal == nullptr) return std::nullopt;
    return principal->paquete.conjunto;
}

const Recogida::Guardado* Recogida::Principal() {
    std::sort(paquetes_.begin(), paquetes_.end(), [](const Guardado& a, const Guardado& b) {
        return std::tie(a.origen, a.paquete.posicion) < std::tie(b.origen, b.paquete.posicion);
    });
    for (const Guardado& g : paquetes_) {
        const Bytes& c = g.paquete.cuerpo;
        if (g.paquete.tipo != TipoPrincipal || c.size() < 12 || (c.size() - 12) % 16 != 0) continue;
        if (Leer32(c.data() + 8) > (c.size() - 12) / 16 || Md5De(c.data(), c.size()) != g.paquete.conjunto)
            continue;
        return &g;
    }
    return nullptr;
}

// Builds the set from the gathered packets, one step at a time.
class Armado {
  public:
    Armado(Recogida& r, const std::string& indice, JuegoLeido& juego)
        : r_(r), bloqueo_(r.mutex_), indice_(indice), juego_(juego) {}

    Fallo Armar() {
        if (!Principal())
            return FalloPar{CodigoFallo::SinJuego, "¡ " + indice_ + " no es un juego PAR2 válido !"};
        if (Fallo fallo = Ficheros()) return fallo;
        Recuperacion();
        return std::nullopt;
    }

  private:
    // The set's main packet: slice size, file count, IDs.
    bool Principal() {
        const Recogida::Guardado* principal = r_.Principal();
        if (principal == nullptr) return false;
        const Bytes& c = principal->paquete.cuerpo;
        juego_.id = principal->paquete.conjunto;
        juego_.tamanoRebanada = Leer64(c.data());
        const uint32_t cuenta = Leer32(c.data() + 8);
        ids_.clear();
        for (uint32_t i = 0; i < cuenta; ++i)
            ids_.push_back(HuellaEn(c.data() + 12 + 16 * size_t{i}));
        return true;
    }

    // A description of the set's whose ID is its own: the hash of its 16 KiB MD5, length and name.
    std::optional<FicheroJuego> Descripcion(const PaqueteLeido& p) const {
        const Bytes& c = p.cuerpo;
        if (p.conjunto != juego_.id || c.size() <= FijoDescripcion) return std::nullopt;
        FicheroJuego f;
        f.id = HuellaEn(c.data());
        f.md5 = HuellaEn(c.data() + 16);
        f.md5Inicio = HuellaEn(c.data() + 32);
        f.tamano = Leer64(c.data() + 48);
        std::string_view nombre(reinterpret_cast<const char*>(c.data()) + FijoDescripcion,
                                c.size() - FijoDescripcion);
        while (!nombre.empty() && nombre.back() == '\0')
            nombre.remove_suffix(1);
        f.nombre = std::string(nombre);
        if (IdDeFichero(f.md5Inicio, f.tamano, f.nombre) != f.id) return std::nullopt;
        return f;
    }

    Fallo Ficheros() {
        const uint64_t s = juego_.tamanoRebanada;
        if (s == 0 || s % 4 != 0 || s > RebanadaJuegoMaxima)
            return FalloPar{CodigoFallo::JuegoNoValido,
                            "¡ Error, tamaño de bloque no válido en el juego PAR2 " + indice_ + " !"};
        if (ids_.size() > RebanadasMaximas ||
            std::set<Huella>(ids_.begin(), ids_.end()).size() != ids_.size())
            return FalloPar{CodigoFallo::JuegoNoValido,
                            "¡ Error, lista de ficheros no válida en el juego PAR2 " + indice_ + " !"};
        std::unordered_map<Huella, FicheroJuego, DispersionHuella> descritos;
        for (const auto& [origen, p] : r_.paquetes_)
            if (p.tipo == TipoDescripcion)
                if (auto f = Descripcion(p); f && descritos.count(f->id) == 0)
                    descritos.emplace(f->id, std::move(*f));
        std::set<std::string> nombres;
        uint64_t total = 0;
        for (const Huella& id : ids_) {
            auto it = descritos.find(id);
            if (it == descritos.end()) {
                // Only its own slices are lost: their count, when its checksums tell it.
                FicheroJuego f;
                f.id = id;
                f.descrito = false;
                const Bytes* huellas = Verificacion(id);
                if (huellas == nullptr) juego_.numerado = false;
                f.primera = static_cast<uint32_t>(std::min<uint64_t>(total, RebanadasMaximas));
                f.rebanadas = huellas == nullptr ? 0 : static_cast<uint32_t>((huellas->size() - 16) / 20);
                total += f.rebanadas;
                if (total > RebanadasMaximas)
                    return FalloPar{CodigoFallo::JuegoNoValido,
                                    "¡ Error, demasiados bloques en el juego PAR2 " + indice_ + " !"};
                juego_.ficheros.push_back(std::move(f));
                continue;
            }
            FicheroJuego& f = it->second;
            if (!NombreJuegoValido(f.nombre))
                return FalloPar{
                    CodigoFallo::JuegoNoValido,
                    "¡ Error, nombre de fichero no válido en el juego PAR2: " + Mostrable(f.nombre) + " !"};
            if (!nombres.insert(f.nombre).second)
                return FalloPar{CodigoFallo::JuegoNoValido,
                                "¡ Error, el juego PAR2 nombra dos veces el fichero " + Mostrable(f.nombre) +
                                    " !"};
            const uint64_t rebanadas = RebanadasDe(f.tamano, s);
            total += rebanadas;
            if (total > RebanadasMaximas)
                return FalloPar{CodigoFallo::JuegoNoValido,
                                "¡ Error, demasiados bloques en el juego PAR2 " + indice_ + " !"};
            f.primera = static_cast<uint32_t>(total - rebanadas);
            f.rebanadas = static_cast<uint32_t>(rebanadas);
            juego_.ficheros.push_back(std::move(f));
        }
        juego_.rebanadas = static_cast<uint32_t>(total);
        Huellas();
        return std::nullopt;
    }

    // The body of the set's first checksum packet of the file whose ID is given, whole entries.
    const Bytes* Verificacion(const Huella& id) const {
        for (const auto& [origen, p] : r_.paquetes_) {
            const Bytes& c = p.cuerpo;
            if (p.tipo == TipoVerificacion && p.conjunto == juego_.id && c.size() >= 16 &&
                (c.size() - 16) % 20 == 0 && HuellaEn(c.data()) == id)
                return &c;
        }
        return nullptr;
    }

    // The slice checksums of each file: the first packet of the set with the file's ID and
    // exactly one entry per slice.
    void Huellas() {
        std::unordered_map<Huella, size_t, DispersionHuella> indices;
        for (size_t i = 0; i < juego_.ficheros.size(); ++i)
            indices.emplace(juego_.ficheros[i].id, i);
        for (const auto& [origen, p] : r_.paquetes_) {
            const Bytes& c = p.cuerpo;
            if (p.tipo != TipoVerificacion || p.conjunto != juego_.id || c.size() < 16) continue;
            const auto it = indices.find(HuellaEn(c.data()));
            if (it == indices.end()) continue;
            FicheroJuego& f = juego_.ficheros[it->second];
            if (!f.huellas.empty() || c.size() != 16 + 20 * uint64_t{f.rebanadas}) continue;
            f.huellas.resize(f.rebanadas);
            for (uint32_t j = 0; j < f.rebanadas; ++j) {
                const uint8_t* e = c.data() + 16 + 20 * size_t{j};
                f.huellas[j] = {HuellaEn(e), Leer32(e + 16)};
            }
        }
    }

    // The set's recovery slices whose packet length fits the slice size; exponents stay below
    // the field's order, as the constants repeat after it.
    void Recuperacion() {
        for (const auto& [clave, valor] : r_.recuperacion_)
            if (clave.first == juego_.id && clave.second < OrdenGalois &&
                valor.second == CabeceraRecuperacion + juego_.tamanoRebanada)
                juego_.recuperacion.push_back(valor.first);
    }

    Recogida& r_;
    std::lock_guard<std::mutex> bloqueo_;
    const std::string& indice_;
    JuegoLeido& juego_;
    std::vector<Huella> ids_;
};

Fallo ArmarJuego(Recogida& recogida, const std::string& indice, JuegoLeido& juego) {
    juego = {};
    return Armado(recogida, indice, juego).Armar();
}

} // namespace quimbel::par
