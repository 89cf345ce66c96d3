// SPDX-License-Identifier: GPL-3.0-or-later
#include "LectorPaquetes.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <optional>
#include <string_view>
#include <vector>

namespace quimbel::par {
namespace {

constexpr size_t Bloque = size_t{1} << 20;
// The bytes of a block kept for the next one: a header (with a recovery slice's exponent)
// that starts near a block's end is looked at whole in the next.
constexpr size_t Arrastre = CabeceraRecuperacion - 1;
// Packets already checked that wait behind an earlier packet still being hashed, which might
// hold them: past this many bytes of theirs that earlier packet is given up.
constexpr uint64_t RetenidoMaximo = uint64_t{4} << 20;

// A magic found with a plausible header: a packet until its MD5 says otherwise.
struct Candidato {
    enum class Estado { Abierto, Valido, Invalido };
    PaqueteLeido paquete;
    uint64_t fin = 0;       // where its bytes end
    uint64_t hasta = 0;     // the bytes hashed so far end here
    std::optional<Md5> md5; // while it is open
    bool conCuerpo = false; // its body is kept
    Estado estado = Estado::Abierto;
    uint64_t Retenido() const { return sizeof(Candidato) + paquete.cuerpo.size(); }
};

// One pass over the source. Candidates are decided in the order they start, as a reader that
// checked each in turn and went on after the end of every packet that held (or one byte after
// the start of one that did not) would decide them; each is hashed as the bytes go by.
class Lectura {
  public:
    Lectura(const FuenteBytes& fuente, const std::function<void(PaqueteLeido&&)>& alPaquete,
            const std::function<void(uint64_t)>& alAvance, const std::function<bool()>& parar)
        : fuente_(fuente), alPaquete_(alPaquete), alAvance_(alAvance), parar_(parar),
          tamano_(fuente.Tamano()),
          bloque_(static_cast<size_t>(std::min<uint64_t>(Bloque, tamano_)) + Arrastre) {}

    bool Leer() {
        uint64_t explorado = 0; // where the search for the next magic goes on
        size_t enBloque = 0;    // bytes in bloque_: those from inicio_ to leido_
        while (leido_ < tamano_) {
            if (parar_ && parar_()) return true;
            // The bytes not yet searched stay at the front.
            const auto arrastre = static_cast<size_t>(leido_ - explorado);
            std::memmove(bloque_.data(), bloque_.data() + enBloque - arrastre, arrastre);
            inicio_ = explorado;
            const auto n = static_cast<size_t>(std::min<uint64_t>(Bloque, tamano_ - leido_));
            if (!fuente_.LeerEn(bloque_.data() + arrastre, n, leido_)) {
                Despachar();
                return false;
            }
            leido_ += n;
            enBloque = arrastre + n;
            for (Candidato& c : pendientes_)
                if (c.estado == Candidato::Estado::Abierto) Alimentar(c);
            Despachar();
            // A magic is looked at once its header is in, or the source ends.
            const uint64_t limite = leido_ == tamano_
                                        ? (tamano_ >= CabeceraPaquete ? tamano_ - CabeceraPaquete + 1 : 0)
                                        : leido_ - Arrastre;
            if (limite > explorado) Explorar(explorado, limite);
            explorado = std::max(explorado, limite);
            if (alAvance_) alAvance_(leido_);
        }
        // Every candidate ends within the source: all are decided now.
        Despachar();
        return true;
    }

  private:
    const uint8_t* En(uint64_t posicion) const { return bloque_.data() + (posicion - inicio_); }

    // Looks for magics that start from desde to before hasta.
    void Explorar(uint64_t desde, uint64_t hasta) {
        const size_t magia = MagiaPaquete.size();
        const std::string_view visto(reinterpret_cast<const char*>(En(desde)),
                                     static_cast<size_t>(hasta - desde) + magia - 1);
        for (size_t k = visto.find(MagiaPaquete); k != std::string_view::npos;
             k = visto.find(MagiaPaquete, k + 1)) {
            const uint64_t p = desde + k;
            // Inside a packet given, nothing more is looked for.
            if (p < cursor_) {
                if (cursor_ >= hasta) return;
                k = static_cast<size_t>(cursor_ - desde) - 1;
                continue;
            }
            Considerar(p);
        }
    }

    // The magic at p, whose header is in the block.
    void Considerar(uint64_t p) {
        const uint8_t* cabecera = En(p);
        const uint64_t largo = Leer64(cabecera + PosicionLargo);
        if (largo < CabeceraPaquete || largo % 4 != 0 || largo > tamano_ - p) return;
        Candidato c;
        c.paquete.tipo.assign(reinterpret_cast<const char*>(cabecera + PosicionTipo), 16);
        const bool recuperacion = c.paquete.tipo == TipoRecuperacion;
        if (recuperacion && largo < CabeceraRecuperacion) return;
        std::copy_n(cabecera + PosicionConjunto, 16, c.paquete.conjunto.begin());
        std::copy_n(cabecera + PosicionHash, 16, c.paquete.hash.begin());
        c.paquete.posicion = p;
        c.paquete.largo = largo;
        if (recuperacion) c.paquete.exponente = Leer32(cabecera + CabeceraPaquete);
        c.conCuerpo = !recuperacion && largo - CabeceraPaquete <= CuerpoMaximo;
        c.fin = p + largo;
        c.hasta = p + PosicionConjunto;
        // Each byte is hashed for a bounded number of candidates at most.
        std::erase_if(hashes_, [&](uint64_t fin) { return fin <= c.hasta; });
        if (hashes_.size() >= CandidatosAbiertos) return;
        hashes_.push_back(c.fin);
        if (c.fin <= leido_) {
            // The whole packet is at hand.
            if (c.conCuerpo)
                Anexar(c.paquete.cuerpo, cabecera + CabeceraPaquete,
                       static_cast<size_t>(largo - CabeceraPaquete));
            c.hasta = c.fin;
            Decidir(c, Md5De(cabecera + PosicionConjunto, static_cast<size_t>(largo - PosicionConjunto)));
        } else {
            c.md5.emplace();
            if (c.conCuerpo) c.paquete.cuerpo.reserve(static_cast<size_t>(largo - CabeceraPaquete));
            Alimentar(c);
        }
        pendientes_.push_back(std::move(c));
        Despachar();
    }

    // Hashes the candidate's bytes that the block brought.
    void Alimentar(Candidato& c) {
        const uint64_t hasta = std::min(c.fin, leido_);
        if (hasta > c.hasta) {
            c.md5->Anadir(En(c.hasta), static_cast<size_t>(hasta - c.hasta));
            const uint64_t cuerpo = std::max(c.hasta, c.paquete.posicion + CabeceraPaquete);
            if (c.conCuerpo && hasta > cuerpo)
                Anexar(c.paquete.cuerpo, En(cuerpo), static_cast<size_t>(hasta - cuerpo));
            c.hasta = hasta;
        }
        if (c.hasta == c.fin) {
            const Huella hash = c.md5->Valor();
            c.md5.reset();
            Decidir(c, hash);
        }
    }

    void Decidir(Candidato& c, const Huella& hash) {
        if (hash == c.paquete.hash) {
            c.estado = Candidato::Estado::Valido;
            retenido_ += c.Retenido();
        } else {
            c.estado = Candidato::Estado::Invalido;
            Bytes().swap(c.paquete.cuerpo);
        }
    }

    // Gives the packets that no earlier candidate still open may hold, in order.
    void Despachar() {
        while (!pendientes_.empty()) {
            Candidato& c = pendientes_.front();
            const bool abierto = c.estado == Candidato::Estado::Abierto;
            if (c.paquete.posicion >= cursor_ && abierto && retenido_ <= RetenidoMaximo) return;
            // One given up is hashed no more.
            if (const auto h = std::find(hashes_.begin(), hashes_.end(), c.fin);
                abierto && h != hashes_.end())
                hashes_.erase(h);
            if (c.estado == Candidato::Estado::Valido) {
                retenido_ -= c.Retenido();
                if (c.paquete.posicion >= cursor_) {
                    cursor_ = c.fin;
                    alPaquete_(std::move(c.paquete));
                }
            }
            pendientes_.pop_front();
        }
    }

    const FuenteBytes& fuente_;
    const std::function<void(PaqueteLeido&&)>& alPaquete_;
    const std::function<void(uint64_t)>& alAvance_;
    const std::function<bool()>& parar_;
    const uint64_t tamano_;
    std::vector<uint8_t> bloque_;
    uint64_t inicio_ = 0;              // the source offset of bloque_'s first byte
    uint64_t leido_ = 0;               // the bytes read so far
    uint64_t cursor_ = 0;              // the end of the last packet given
    uint64_t retenido_ = 0;            // bytes of checked packets waiting in pendientes_
    std::deque<Candidato> pendientes_; // by their start
    std::vector<uint64_t> hashes_;     // where the bytes of the last candidates hashed end
};

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
                  const std::function<void(uint64_t)>& alAvance, const std::function<bool()>& parar) {
    return Lectura(fuente, alPaquete, alAvance, parar).Leer();
}

} // namespace quimbel::par
