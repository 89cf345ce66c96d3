// SPDX-License-Identifier: GPL-3.0-or-later
#include "Busqueda.h"

#include "Md5.h"
#include "Progreso.h"
#include "SumaCrc.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <new>
#include <unordered_map>

namespace quimbel::par {
namespace {

constexpr size_t Bloque = size_t{1} << 20;
// Window starts per piece of work: enough that the first window's sum weighs little.
constexpr uint64_t InicioPorTrozo = uint64_t{16} << 20;
// The filter of the CRCs looked for: one bit each of 2^20.
constexpr uint32_t BitsFiltro = 20;

// Window starts [desde, hasta) of a file to scan; `cola`: the stretch ends at the file's end,
// where the short slices are looked for.
struct Trozo {
    size_t origen = 0;
    uint64_t inicio = 0;
    uint64_t desde = 0, hasta = 0;
    bool cola = false;
};

struct Buscada {
    uint32_t rebanada; // set index
    uint64_t largo;    // its bytes in its file (the rest of the slice is zero padding)
    Huella md5;
};

class Buscador {
  public:
    Buscador(const JuegoLeido& juego, std::span<const EstadoFichero> estados, const quimbel::Carpeta& carpeta,
             std::vector<OtroFichero>& otros, std::vector<Hallazgo>& hallazgos)
        : juego_(juego), estados_(estados), carpeta_(carpeta), otros_(otros), hallazgos_(hallazgos),
          s_(juego.tamanoRebanada), deslizante_(juego.tamanoRebanada),
          filtro_(size_t{1} << (BitsFiltro - 3), 0) {
        for (size_t i = 0; i < juego.ficheros.size(); ++i) {
            const FicheroJuego& f = juego.ficheros[i];
            if (f.huellas.empty() || estados[i].malas.size() != f.rebanadas) continue;
            for (uint32_t j = 0; j < f.rebanadas; ++j) {
                if (estados[i].malas[j] == 0) continue;
                const uint64_t largo =
                    f.descrito ? std::min(s_, f.tamano - uint64_t{j} * s_) : s_; // unknown length: whole
                const uint32_t crc = f.huellas[j].crc;
                porCrc_.emplace(crc, Buscada{f.primera + j, largo, f.huellas[j].md5});
                filtro_[(crc & Mascara) >> 3] |= static_cast<uint8_t>(1u << (crc & 7));
                if (largo < s_ && std::find(cortos_.begin(), cortos_.end(), largo) == cortos_.end())
                    cortos_.push_back(largo);
            }
        }
    }

    bool NadaQueBuscar() const { return porCrc_.empty(); }

    // The stretches of the damaged listed files and the whole of the other files, in pieces.
    void Planear(std::span<const quimbel::IdFichero> excluidos) {
        for (size_t i = 0; i < juego_.ficheros.size(); ++i) {
            const EstadoFichero& e = estados_[i];
            const FicheroJuego& f = juego_.ficheros[i];
            if (!e.abierto || Entero(f, e)) continue;
            uint64_t desde = 0, hasta = 0;
            const auto cerrar = [&] {
                if (hasta > desde) Trocear(i, desde, hasta, hasta == e.tamano);
            };
            for (uint32_t j = 0; j <= f.rebanadas; ++j) {
                // Past the listed length counts as damaged too.
                const bool mala = j == f.rebanadas || e.malas[j] != 0;
                const uint64_t a =
                    j == f.rebanadas ? std::min(f.tamano, e.tamano) : std::min(uint64_t{j} * s_, e.tamano);
                const uint64_t b =
                    j == f.rebanadas ? e.tamano : std::min(a + s_, std::min(f.tamano, e.tamano));
                if (!mala || b <= a) {
                    if (!mala) {
                        cerrar();
                        desde = hasta = b;
                    }
                    continue;
                }
                if (a != hasta) {
                    cerrar();
                    desde = a;
                }
                hasta = b;
            }
            cerrar();
        }
        for (size_t k = 0; k < otros_.size(); ++k) {
            OtroFichero& o = otros_[k];
            quimbel::Fichero fichero;
            if (!quimbel::AbrirFichero(fichero, o.ruta).Bien()) continue;
            const int64_t tamano = fichero.Tamano();
            o.id = fichero.Id();
            const bool repetido = std::find(excluidos.begin(), excluidos.end(), o.id) != excluidos.end() ||
                                  std::any_of(estados_.begin(), estados_.end(), [&](const EstadoFichero& e) {
                                      return e.abierto && e.id == o.id;
                                  });
            if (tamano <= 0 || repetido) continue;
            o.leido = true;
            o.tamano = static_cast<uint64_t>(tamano);
            Trocear(juego_.ficheros.size() + k, 0, o.tamano, true);
        }
    }

    uint64_t Total() const {
        uint64_t total = 0;
        for (const Trozo& t : trozos_)
            total += t.hasta - t.desde;
        return total;
    }

    Fallo Trabajar(Progreso& avance, const Avisos& avisos) {
        Lectura l;
        size_t abierto = Hallazgo::SinOrigen;
        quimbel::Fichero fichero;
        while (!avisos.Parar()) {
            const size_t i = siguiente_++;
            if (i >= trozos_.size()) break;
            const Trozo& t = trozos_[i];
            if (t.origen != abierto) {
                abierto = t.origen;
                if (!Abrir(t.origen, fichero)) fichero.Cerrar();
            }
            if (fichero.Abierto())
                Escanear(fichero, t, l, avance, avisos);
            else
                avance.Sumar(t.hasta - t.desde);
        }
        return std::nullopt;
    }

  private:
    static constexpr uint32_t Mascara = (uint32_t{1} << BitsFiltro) - 1;

    struct Lectura {
        std::vector<uint8_t> sale = std::vector<uint8_t>(Bloque), entra = std::vector<uint8_t>(Bloque),
                             ventana = std::vector<uint8_t>(Bloque);
    };

    // A stretch [a, b) of a file: its window starts in pieces, and its end when it is the file's.
    void Trocear(size_t origen, uint64_t a, uint64_t b, bool finDeFichero) {
        const uint64_t paso = std::max(InicioPorTrozo, 4 * s_);
        if (b - a >= s_)
            for (uint64_t x = a; x < b - s_ + 1; x += paso)
                trozos_.push_back({origen, a, x, std::min(x + paso, b - s_ + 1), false});
        if (finDeFichero && !cortos_.empty()) trozos_.push_back({origen, a, b, b, true});
    }

    // The file at origen, opened again: it must still be the one checked (or first read).
    bool Abrir(size_t origen, quimbel::Fichero& fichero) const {
        if (origen < juego_.ficheros.size()) {
            const EstadoFichero& e = estados_[origen];
            return AbrirEntradaBajo(fichero, carpeta_, juego_.ficheros[origen].nombre).Bien() &&
                   fichero.Id() == e.id && fichero.Tamano() == static_cast<int64_t>(e.tamano);
        }
        const OtroFichero& o = otros_[origen - juego_.ficheros.size()];
        return quimbel::AbrirFichero(fichero, o.ruta).Bien() && fichero.Id() == o.id &&
               fichero.Tamano() == static_cast<int64_t>(o.tamano);
    }

    bool EnFiltro(uint32_t crc) const { return (filtro_[(crc & Mascara) >> 3] >> (crc & 7)) & 1; }

    // The MD5 of n bytes at the offset, then `ceros` zero bytes; none when a read fails.
    std::optional<Huella> Md5En(const quimbel::Fichero& f, uint64_t posicion, uint64_t n, uint64_t ceros,
                                std::vector<uint8_t>& bloque) const {
        Md5 md5;
        while (n > 0) {
            const auto parte = static_cast<size_t>(std::min<uint64_t>(n, bloque.size()));
            if (!f.LeerEn(bloque.data(), parte, posicion)) return std::nullopt;
            md5.Anadir(bloque.data(), parte);
            posicion += parte;
            n -= parte;
        }
        md5.AnadirCeros(ceros);
        return md5.Valor();
    }

    // Whether the `largo` bytes at the offset are a slice looked for whose CRC-32 (padded) is
    // crc; each such slice not yet found is found there.
    bool Confirmar(const quimbel::Fichero& f, size_t origen, uint64_t posicion, uint64_t largo, uint32_t crc,
                   std::vector<uint8_t>& bloque) {
        const auto [primero, ultimo] = porCrc_.equal_range(crc);
        if (std::none_of(primero, ultimo, [&](const auto& b) { return b.second.largo == largo; }))
            return false;
        const std::optional<Huella> md5 = Md5En(f, posicion, largo, s_ - largo, bloque);
        if (!md5) return false;
        bool alguna = false;
        const std::lock_guard bloqueo(mutex_);
        for (auto it = primero; it != ultimo; ++it) {
            const Buscada& b = it->second;
            if (b.largo != largo || b.md5 != *md5) continue;
            alguna = true;
            if (!hallazgos_[b.rebanada].Hallado()) hallazgos_[b.rebanada] = {origen, posicion};
        }
        return alguna;
    }

    // The CRC-32 of the window at p, read whole.
    std::optional<uint32_t> CrcEn(const quimbel::Fichero& f, uint64_t p, std::vector<uint8_t>& bloque) const {
        uint32_t crc = 0;
        for (uint64_t n = s_; n > 0;) {
            const auto parte = static_cast<size_t>(std::min<uint64_t>(n, bloque.size()));
            if (!f.LeerEn(bloque.data(), parte, p)) return std::nullopt;
            crc = SumarCrc(crc, bloque.data(), parte);
            p += parte;
            n -= parte;
        }
        return crc;
    }

    void Escanear(const quimbel::Fichero& f, const Trozo& t, Lectura& l, Progreso& avance,
                  const Avisos& avisos) {
        if (t.cola) {
            // The short slices end where the file does.
            for (const uint64_t largo : cortos_) {
                if (t.hasta - t.inicio < largo) continue;
                const uint64_t p = t.hasta - largo;
                std::vector<uint8_t>& b = l.ventana;
                uint32_t crc = 0;
                bool leido = true;
                for (uint64_t x = 0; x < largo && leido;) {
                    const auto parte = static_cast<size_t>(std::min<uint64_t>(largo - x, b.size()));
                    leido = f.LeerEn(b.data(), parte, p + x);
                    crc = SumarCrc(crc, b.data(), parte);
                    x += parte;
                }
                crc = SumarCerosCrc(crc, s_ - largo);
                if (leido && EnFiltro(crc)) Confirmar(f, t.origen, p, largo, crc, b);
            }
            return;
        }
        uint64_t p = t.desde;
        while (p < t.hasta && !avisos.Parar()) {
            const uint64_t inicio = p;
            const std::optional<uint32_t> crc = CrcEn(f, p, l.ventana);
            if (!crc) break;
            uint32_t r = CrcDeslizante::Registro(*crc);
            bool salto = false;
            while (!salto) {
                const uint32_t c = CrcDeslizante::Crc(r);
                if (EnFiltro(c) && Confirmar(f, t.origen, p, s_, c, l.ventana)) {
                    p += s_;
                    salto = true;
                    break;
                }
                if (p + 1 >= t.hasta) {
                    p = t.hasta;
                    break;
                }
                // Moves from window p on, checking each window before it moves.
                const auto n = static_cast<size_t>(std::min<uint64_t>(Bloque, t.hasta - 1 - p));
                if (!f.LeerEn(l.sale.data(), n, p) || !f.LeerEn(l.entra.data(), n, p + s_)) {
                    p = t.hasta;
                    break;
                }
                const uint8_t* sale = l.sale.data();
                const uint8_t* entra = l.entra.data();
                size_t k = 0;
                r = deslizante_.Mover(r, sale[0], entra[0]);
                for (k = 1; k < n; ++k) {
                    const uint32_t ck = CrcDeslizante::Crc(r);
                    if (EnFiltro(ck) && Confirmar(f, t.origen, p + k, s_, ck, l.ventana)) {
                        p += k + s_;
                        salto = true;
                        break;
                    }
                    r = deslizante_.Mover(r, sale[k], entra[k]);
                }
                if (!salto) p += n;
            }
            avance.Sumar(std::min(p, t.hasta) - inicio);
        }
    }

    const JuegoLeido& juego_;
    std::span<const EstadoFichero> estados_;
    const quimbel::Carpeta& carpeta_;
    std::vector<OtroFichero>& otros_;
    std::vector<Hallazgo>& hallazgos_;
    uint64_t s_;
    CrcDeslizante deslizante_;
    std::vector<uint8_t> filtro_;
    std::unordered_multimap<uint32_t, Buscada> porCrc_;
    std::vector<uint64_t> cortos_; // the short slices' lengths
    std::vector<Trozo> trozos_;
    std::atomic<size_t> siguiente_{0};
    std::mutex mutex_;
};

} // namespace

Fallo BuscarRebanadas(const JuegoLeido& juego, std::span<const EstadoFichero> estados,
                      const quimbel::Carpeta& carpeta, std::vector<OtroFichero>& otros,
                      std::span<const quimbel::IdFichero> excluidos, unsigned hilos, Avisos& avisos,
                      std::vector<Hallazgo>& hallazgos) {
    hallazgos.assign(juego.rebanadas, {});
    if (!juego.numerado) return std::nullopt;
    Buscador buscador(juego, estados, carpeta, otros, hallazgos);
    if (buscador.NadaQueBuscar()) return std::nullopt;
    buscador.Planear(excluidos);
    Progreso avance(avisos, buscador.Total());
    const Fallo error = avisos.EnParalelo(hilos, [&](unsigned) -> Fallo {
        try {
            return buscador.Trabajar(avance, avisos);
        } catch (const std::bad_alloc&) {
            return FalloMemoriaReparar();
        }
    });
    if (error) return error;
    avance.Terminar();
    return std::nullopt;
}

} // namespace quimbel::par
