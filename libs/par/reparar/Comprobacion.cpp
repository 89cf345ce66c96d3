// SPDX-License-Identifier: GPL-3.0-or-later
#include "Comprobacion.h"

#include "Md5Varios.h"
#include "Progreso.h"
#include "SumaCrc.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <memory>
#include <mutex>
#include <new>
#include <string>

namespace quimbel::par {
namespace {

constexpr size_t Bloque = size_t{1} << 20;
// Slices go in units of about this many bytes, so that one large file also goes on several
// threads, and small files share one unit, so that their slices are hashed together.
constexpr uint64_t BytesPorUnidad = uint64_t{64} << 20;

// A file's slices [desde, hasta).
struct Tramo {
    size_t fichero = 0;
    uint32_t desde = 0, hasta = 0;
};
// The slices of one or more files, consecutive in set order; a file without checksums is a
// unit alone, read for its MD5.
using Unidad = std::vector<Tramo>;

// The file a unit reads, opened by the first of its units and closed by the last.
struct Abierto {
    std::once_flag abrir;
    quimbel::Fichero fichero;
    std::atomic<size_t> pendientes{0};
};

// Opens the file that stands for set file i: Hecho, or why not.
using AbrirComprobado = std::function<quimbel::Desenlace(size_t i, quimbel::Fichero& fichero)>;

class Comprobador {
  public:
    // ficherosPorUnidad: the files one unit may hold open.
    Comprobador(const JuegoLeido& juego, const AbrirComprobado& abrir,
                std::span<const quimbel::IdFichero> delJuego, size_t ficherosPorUnidad)
        : juego_(juego), abrir_(abrir), delJuego_(delJuego), estados_(juego.ficheros.size()),
          fallidos_(juego.ficheros.size()) {
        // Never fewer slices than the MD5 kernel hashes at once (up to 16), which costs no
        // more than one.
        const uint64_t carriles = std::min(CarrilesMd5(NucleoMd5::Automatico), 16u);
        const auto porUnidad = static_cast<uint32_t>(
            std::clamp<uint64_t>(BytesPorUnidad / juego.tamanoRebanada, carriles, RebanadasMaximas));
        Unidad abierta;
        uint32_t enAbierta = 0;
        for (size_t i = 0; i < juego.ficheros.size(); ++i) {
            const FicheroJuego& f = juego.ficheros[i];
            estados_[i].malas.assign(f.rebanadas, 0);
            abiertos_.push_back(std::make_unique<Abierto>());
            if (!f.descrito) {
                // No name to look at: its slices are lost.
                estados_[i].malas.assign(f.rebanadas, 1);
                continue;
            }
            if (f.huellas.empty()) {
                unidades_.push_back({{i, 0, f.rebanadas}});
                ++abiertos_.back()->pendientes;
                continue;
            }
            if (abierta.size() >= ficherosPorUnidad) {
                unidades_.push_back(std::move(abierta));
                abierta.clear();
                enAbierta = 0;
            }
            for (uint32_t j = 0; j < f.rebanadas;) {
                const uint32_t hasta = std::min(f.rebanadas, j + (porUnidad - enAbierta));
                abierta.push_back({i, j, hasta});
                ++abiertos_.back()->pendientes;
                enAbierta += hasta - j;
                j = hasta;
                if (enAbierta == porUnidad) {
                    unidades_.push_back(std::move(abierta));
                    abierta.clear();
                    enAbierta = 0;
                }
            }
        }
        if (!abierta.empty()) unidades_.push_back(std::move(abierta));
    }

    uint64_t Total() const {
        uint64_t total = 0;
        for (const Unidad& u : unidades_)
            total += BytesDe(u);
        return total;
    }

    Fallo Trabajar(Progreso& avance, const Avisos& avisos) {
        std::vector<uint8_t> bloque(Bloque);
        while (!avisos.Parar()) {
            const size_t i = siguiente_++;
            if (i >= unidades_.size()) break;
            const Unidad& u = unidades_[i];
            for (const Tramo& t : u) {
                Abierto& a = *abiertos_[t.fichero];
                std::call_once(a.abrir, [&] { Abrir(t.fichero, a.fichero); });
            }
            if (juego_.ficheros[u.front().fichero].huellas.empty())
                ComprobarEntero(u.front(), bloque);
            else
                ComprobarRebanadas(u, bloque);
            avance.Sumar(BytesDe(u));
            for (const Tramo& t : u)
                if (--abiertos_[t.fichero]->pendientes == 0) abiertos_[t.fichero]->fichero.Cerrar();
        }
        return std::nullopt;
    }

    std::vector<EstadoFichero> Estados() {
        for (size_t i = 0; i < estados_.size(); ++i) {
            EstadoFichero& e = estados_[i];
            // A read that failed says nothing of the data: the file is unreadable, not damaged.
            if (fallidos_[i].load()) {
                e.abierto = false;
                e.fallo = quimbel::ErrorSistema(EIO);
                std::fill(e.malas.begin(), e.malas.end(), 1);
            }
            e.nMalas = static_cast<uint32_t>(std::count(e.malas.begin(), e.malas.end(), 1));
        }
        return std::move(estados_);
    }

  private:
    uint64_t BytesDe(const Unidad& u) const {
        uint64_t bytes = 0;
        for (const Tramo& t : u) {
            const FicheroJuego& f = juego_.ficheros[t.fichero];
            bytes += f.huellas.empty() ? f.tamano : uint64_t{t.hasta - t.desde} * juego_.tamanoRebanada;
        }
        return bytes;
    }

    void Abrir(size_t i, quimbel::Fichero& fichero) {
        EstadoFichero& e = estados_[i];
        const quimbel::Desenlace abierto = abrir_(i, fichero);
        e.existe = abierto.error != ENOENT && abierto.error != ENOTDIR;
        e.fallo = abierto;
        if (!abierto.Bien()) return;
        const int64_t tamano = fichero.Tamano();
        if (tamano < 0) {
            e.fallo = quimbel::ErrorSistema(EIO);
            return;
        }
        e.abierto = true;
        e.tamano = static_cast<uint64_t>(tamano);
        e.id = fichero.Id();
        e.delJuego = std::find(delJuego_.begin(), delJuego_.end(), e.id) != delJuego_.end();
    }

    void Marcar(const Tramo& t) {
        std::fill(estados_[t.fichero].malas.begin() + t.desde, estados_[t.fichero].malas.begin() + t.hasta,
                  1);
    }

    // The MD5 of `n` bytes from the offset, added to the running one.
    bool Leer(const quimbel::Fichero& fichero, uint64_t desde, uint64_t n, std::vector<uint8_t>& bloque,
              Md5& md5) const {
        while (n > 0) {
            const auto parte = static_cast<size_t>(std::min<uint64_t>(n, bloque.size()));
            if (!fichero.LeerEn(bloque.data(), parte, desde)) return false;
            md5.Anadir(bloque.data(), parte);
            desde += parte;
            n -= parte;
        }
        return true;
    }

    // The unit's slices, hashed in lockstep a group at a time (as many as the MD5 kernel has
    // lanes), each group read a part of every slice at a time into the block. The slices of a
    // file that could not be opened are damaged.
    void ComprobarRebanadas(const Unidad& u, std::vector<uint8_t>& bloque) {
        struct Pieza {
            size_t fichero;
            uint32_t j;
        };
        std::vector<Pieza> piezas;
        for (const Tramo& t : u) {
            if (!estados_[t.fichero].abierto) {
                Marcar(t);
                continue;
            }
            for (uint32_t j = t.desde; j < t.hasta; ++j)
                piezas.push_back({t.fichero, j});
        }
        const uint64_t s = juego_.tamanoRebanada;
        // Where slice k of the unit starts, ends with its data, and ends padded with zeros.
        const auto inicio = [&](size_t k) { return uint64_t{piezas[k].j} * s; };
        const auto finDatos = [&](size_t k) {
            return std::min(inicio(k) + s, juego_.ficheros[piezas[k].fichero].tamano);
        };
        const auto mala = [&](size_t k) -> uint8_t& {
            return estados_[piezas[k].fichero].malas[piezas[k].j];
        };
        Md5Varios md5(piezas.size());
        const size_t grupo = std::min<size_t>(md5.Carriles(), bloque.size() / 64);
        // A part of each slice per read: the block shared by the group, in whole MD5 blocks.
        const uint64_t parte = bloque.size() / grupo / 64 * 64;
        std::vector<uint32_t> crcs(piezas.size(), 0);
        std::vector<Md5Varios::Porcion> porciones;
        for (size_t g = 0; g < piezas.size(); g += grupo) {
            const size_t hasta = std::min(piezas.size(), g + grupo);
            // A slice whose range passes the file's end is damaged, unread.
            for (size_t k = g; k < hasta; ++k)
                if (finDatos(k) > estados_[piezas[k].fichero].tamano) mala(k) = 1;
            for (uint64_t desde = 0; desde < s; desde += parte) {
                porciones.clear();
                for (size_t k = g; k < hasta; ++k) {
                    const uint64_t de = inicio(k) + desde;
                    const uint64_t a = std::min(de + parte, finDatos(k));
                    if (mala(k) != 0 || a <= de) continue;
                    uint8_t* datos = bloque.data() + (k - g) * parte;
                    if (!abiertos_[piezas[k].fichero]->fichero.LeerEn(datos, static_cast<size_t>(a - de),
                                                                      de)) {
                        fallidos_[piezas[k].fichero] = true;
                        mala(k) = 1;
                        continue;
                    }
                    crcs[k] = SumarCrc(crcs[k], datos, static_cast<size_t>(a - de));
                    porciones.push_back({k, datos, a - de});
                }
                md5.Anadir(porciones);
            }
            for (size_t k = g; k < hasta; ++k) {
                if (mala(k) != 0) continue;
                // The last slice of a file is zero-padded to the slice size.
                const uint64_t relleno = inicio(k) + s - finDatos(k);
                md5.Anadir(k, nullptr, relleno);
                const HuellaRebanada& h = juego_.ficheros[piezas[k].fichero].huellas[piezas[k].j];
                if (md5.Valor(k) != h.md5 || SumarCerosCrc(crcs[k], relleno) != h.crc) mala(k) = 1;
            }
        }
    }

    void ComprobarEntero(const Tramo& t, std::vector<uint8_t>& bloque) {
        const FicheroJuego& f = juego_.ficheros[t.fichero];
        Md5 md5;
        if (!estados_[t.fichero].abierto || estados_[t.fichero].tamano != f.tamano) {
            Marcar(t);
        } else if (!Leer(abiertos_[t.fichero]->fichero, 0, f.tamano, bloque, md5)) {
            fallidos_[t.fichero] = true;
        } else if (md5.Valor() != f.md5) {
            Marcar(t);
        }
    }

    const JuegoLeido& juego_;
    const AbrirComprobado& abrir_;
    std::span<const quimbel::IdFichero> delJuego_;
    std::vector<EstadoFichero> estados_;
    std::vector<std::atomic<bool>> fallidos_; // a read of the file failed
    std::vector<std::unique_ptr<Abierto>> abiertos_;
    std::vector<Unidad> unidades_;
    std::atomic<size_t> siguiente_{0};
};

} // namespace

bool Entero(const FicheroJuego& fichero, const EstadoFichero& estado) {
    return estado.abierto && estado.tamano == fichero.tamano && estado.nMalas == 0;
}

bool Ilegible(const EstadoFichero& estado) {
    return estado.existe && !estado.abierto && estado.fallo.resultado != quimbel::Resultado::NoEsFichero &&
           estado.fallo.error != EISDIR;
}

std::string MotivoIlegible(const quimbel::Desenlace& fallo) {
    switch (fallo.error) {
    case EACCES:
    case EPERM:
        return "sin permiso";
    case EMFILE:
    case ENFILE:
        return "demasiados ficheros abiertos";
    case EXDEV:
    case ELOOP:
        return "enlace fuera de la carpeta";
    case ENAMETOOLONG:
        return "nombre demasiado largo";
    case ENOMEM:
        return "memoria insuficiente";
    case EIO:
        return "error de lectura";
    default:
        return "error " + std::to_string(fallo.error);
    }
}

namespace {

Fallo Comprobar(const JuegoLeido& juego, const AbrirComprobado& abrir,
                std::span<const quimbel::IdFichero> delJuego, unsigned hilos, const Limites& limites,
                Avisos& avisos, std::vector<EstadoFichero>& estados) {
    // Half the files the job may hold open, shared by the threads: a unit holds its own
    // and a file whose slices go on in the next unit.
    const auto porUnidad =
        static_cast<size_t>(std::max<uint64_t>(1, AbiertosPermitidos(limites) / 2 / (2 * uint64_t{hilos})));
    Comprobador comprobador(juego, abrir, delJuego, porUnidad);
    Progreso avance(avisos, comprobador.Total());
    const Fallo error = avisos.EnParalelo(hilos, [&](unsigned) -> Fallo {
        try {
            return comprobador.Trabajar(avance, avisos);
        } catch (const std::bad_alloc&) {
            return FalloMemoriaReparar();
        }
    });
    if (error) return error;
    avance.Terminar();
    estados = comprobador.Estados();
    return std::nullopt;
}

} // namespace

Fallo ComprobarFicheros(const JuegoLeido& juego, const quimbel::Carpeta& carpeta,
                        std::span<const quimbel::IdFichero> delJuego, unsigned hilos, const Limites& limites,
                        Avisos& avisos, std::vector<EstadoFichero>& estados) {
    const AbrirComprobado abrir = [&](size_t i, quimbel::Fichero& fichero) {
        return AbrirEntradaBajo(fichero, carpeta, juego.ficheros[i].nombre);
    };
    return Comprobar(juego, abrir, delJuego, hilos, limites, avisos, estados);
}

} // namespace quimbel::par
