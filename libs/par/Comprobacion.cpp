#include "libs/par/Comprobacion.h"

#include "libs/par/Avance.h"
#include "libs/par/Crc.h"
#include "libs/par/Md5Varios.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <memory>
#include <mutex>
#include <new>

namespace quimbel::par {
namespace {

constexpr size_t Bloque = size_t{1} << 20;
// A file is cut into units of about this many bytes, so that one large file also goes on
// several threads.
constexpr uint64_t BytesPorUnidad = uint64_t{64} << 20;

// A file's slices [desde, hasta); a file without checksums is one unit, read for its MD5.
struct Unidad {
    size_t fichero = 0;
    uint32_t desde = 0, hasta = 0;
};

// The file a unit reads, opened by the first of its units and closed by the last.
struct Abierto {
    std::once_flag abrir;
    quimbel::Fichero fichero;
    std::atomic<size_t> pendientes{0};
};

class Comprobador {
  public:
    Comprobador(const Juego& juego, const quimbel::Carpeta& carpeta,
                std::span<const quimbel::IdFichero> delJuego)
        : juego_(juego), carpeta_(carpeta), delJuego_(delJuego), estados_(juego.ficheros.size()) {
        for (size_t i = 0; i < juego.ficheros.size(); ++i) {
            const FicheroJuego& f = juego.ficheros[i];
            estados_[i].malas.assign(f.rebanadas, 0);
            abiertos_.push_back(std::make_unique<Abierto>());
            if (f.huellas.empty()) {
                unidades_.push_back({i, 0, f.rebanadas});
                ++abiertos_.back()->pendientes;
                continue;
            }
            // Never fewer slices than the MD5 kernel hashes at once (up to 16), which costs
            // no more than one; a file's units still go to several threads.
            const uint64_t carriles = std::min(CarrilesMd5(NucleoMd5::Automatico), 16u);
            const auto porUnidad = static_cast<uint32_t>(std::clamp<uint64_t>(
                BytesPorUnidad / juego.tamanoRebanada, carriles, RebanadasJuegoMaximas));
            for (uint32_t j = 0; j < f.rebanadas; j += porUnidad) {
                unidades_.push_back({i, j, std::min(f.rebanadas, j + porUnidad)});
                ++abiertos_.back()->pendientes;
            }
        }
    }

    uint64_t Total() const {
        uint64_t total = 0;
        for (const Unidad& u : unidades_)
            total += BytesDe(u);
        return total;
    }

    Fallo Trabajar(Avance& avance, const Avisos& avisos) {
        std::vector<uint8_t> bloque(Bloque);
        while (!avisos.Parar()) {
            const size_t i = siguiente_++;
            if (i >= unidades_.size()) break;
            const Unidad& u = unidades_[i];
            Abierto& a = *abiertos_[u.fichero];
            std::call_once(a.abrir, [&] { Abrir(u.fichero, a.fichero); });
            if (!estados_[u.fichero].abierto)
                Marcar(u);
            else if (juego_.ficheros[u.fichero].huellas.empty())
                ComprobarEntero(u, a.fichero, bloque);
            else
                ComprobarRebanadas(u, a.fichero, bloque);
            avance.Sumar(BytesDe(u));
            if (--a.pendientes == 0) a.fichero.Cerrar();
        }
        return std::nullopt;
    }

    std::vector<EstadoFichero> Estados() {
        for (EstadoFichero& e : estados_)
            e.nMalas = static_cast<uint32_t>(std::count(e.malas.begin(), e.malas.end(), 1));
        return std::move(estados_);
    }

  private:
    uint64_t BytesDe(const Unidad& u) const {
        const FicheroJuego& f = juego_.ficheros[u.fichero];
        return f.huellas.empty() ? f.tamano : uint64_t{u.hasta - u.desde} * juego_.tamanoRebanada;
    }

    void Abrir(size_t i, quimbel::Fichero& fichero) {
        EstadoFichero& e = estados_[i];
        const quimbel::Desenlace abierto = AbrirFicheroBajo(fichero, carpeta_, juego_.ficheros[i].nombre);
        e.existe = abierto.error != ENOENT && abierto.error != ENOTDIR;
        if (!abierto.Bien()) return;
        const int64_t tamano = fichero.Tamano();
        if (tamano < 0) return;
        e.abierto = true;
        e.tamano = static_cast<uint64_t>(tamano);
        e.id = fichero.Id();
        e.delJuego = std::find(delJuego_.begin(), delJuego_.end(), e.id) != delJuego_.end();
    }

    void Marcar(const Unidad& u) {
        std::fill(estados_[u.fichero].malas.begin() + u.desde, estados_[u.fichero].malas.begin() + u.hasta,
                  1);
    }

    // The MD5 and CRC-32 of `n` bytes from the offset, added to the running ones.
    bool Leer(const quimbel::Fichero& fichero, uint64_t desde, uint64_t n, std::vector<uint8_t>& bloque,
              Md5& md5, uint32_t* crc) const {
        while (n > 0) {
            const auto parte = static_cast<size_t>(std::min<uint64_t>(n, bloque.size()));
            if (!fichero.LeerEn(bloque.data(), parte, desde)) return false;
            md5.Anadir(bloque.data(), parte);
            if (crc != nullptr) *crc = SumarCrc(*crc, bloque.data(), parte);
            desde += parte;
            n -= parte;
        }
        return true;
    }

    // The unit's slices, hashed in lockstep a group at a time (as many as the MD5 kernel has
    // lanes), each group read a part of every slice at a time into the block.
    void ComprobarRebanadas(const Unidad& u, const quimbel::Fichero& fichero, std::vector<uint8_t>& bloque) {
        const FicheroJuego& f = juego_.ficheros[u.fichero];
        EstadoFichero& estado = estados_[u.fichero];
        const uint64_t s = juego_.tamanoRebanada;
        Md5Varios md5(u.hasta - u.desde);
        const uint32_t grupo = std::min<uint32_t>(md5.Carriles(), static_cast<uint32_t>(bloque.size() / 64));
        // A part of each slice per read: the block shared by the group, in whole MD5 blocks.
        const uint64_t parte = bloque.size() / grupo / 64 * 64;
        std::vector<uint32_t> crcs(u.hasta - u.desde, 0);
        std::vector<Md5Varios::Porcion> porciones;
        for (uint32_t g = u.desde; g < u.hasta; g += grupo) {
            const uint32_t hasta = std::min(u.hasta, g + grupo);
            // A slice whose range passes the file's end is damaged, unread.
            for (uint32_t j = g; j < hasta; ++j)
                if (std::min(uint64_t{j} * s + s, f.tamano) > estado.tamano) estado.malas[j] = 1;
            for (uint64_t desde = 0; desde < s; desde += parte) {
                porciones.clear();
                for (uint32_t j = g; j < hasta; ++j) {
                    const uint64_t inicio = uint64_t{j} * s + desde;
                    const uint64_t fin = std::min({inicio + parte, uint64_t{j} * s + s, f.tamano});
                    if (estado.malas[j] != 0 || fin <= inicio) continue;
                    uint8_t* datos = bloque.data() + (j - g) * parte;
                    if (!fichero.LeerEn(datos, static_cast<size_t>(fin - inicio), inicio)) {
                        estado.malas[j] = 1;
                        continue;
                    }
                    crcs[j - u.desde] = SumarCrc(crcs[j - u.desde], datos, static_cast<size_t>(fin - inicio));
                    porciones.push_back({j - u.desde, datos, fin - inicio});
                }
                md5.Anadir(porciones);
            }
            for (uint32_t j = g; j < hasta; ++j) {
                if (estado.malas[j] != 0) continue;
                // The last slice of a file is zero-padded to the slice size.
                const uint64_t relleno = uint64_t{j} * s + s - std::min(uint64_t{j} * s + s, f.tamano);
                md5.Anadir(j - u.desde, nullptr, relleno);
                const uint32_t crc = SumarCerosCrc(crcs[j - u.desde], relleno);
                if (md5.Valor(j - u.desde) != f.huellas[j].md5 || crc != f.huellas[j].crc)
                    estado.malas[j] = 1;
            }
        }
    }

    void ComprobarEntero(const Unidad& u, const quimbel::Fichero& fichero, std::vector<uint8_t>& bloque) {
        const FicheroJuego& f = juego_.ficheros[u.fichero];
        Md5 md5;
        if (estados_[u.fichero].tamano != f.tamano || !Leer(fichero, 0, f.tamano, bloque, md5, nullptr) ||
            md5.Valor() != f.md5)
            Marcar(u);
    }

    const Juego& juego_;
    const quimbel::Carpeta& carpeta_;
    std::span<const quimbel::IdFichero> delJuego_;
    std::vector<EstadoFichero> estados_;
    std::vector<std::unique_ptr<Abierto>> abiertos_;
    std::vector<Unidad> unidades_;
    std::atomic<size_t> siguiente_{0};
};

} // namespace

bool Entero(const FicheroJuego& fichero, const EstadoFichero& estado) {
    return estado.abierto && estado.tamano == fichero.tamano && estado.nMalas == 0;
}

Fallo ComprobarFicheros(const Juego& juego, const quimbel::Carpeta& carpeta,
                        std::span<const quimbel::IdFichero> delJuego, unsigned hilos, Avisos& avisos,
                        std::vector<EstadoFichero>& estados) {
    Comprobador comprobador(juego, carpeta, delJuego);
    Avance avance(avisos, comprobador.Total());
    const Fallo error = avisos.EnParalelo(hilos, [&](unsigned) -> Fallo {
        try {
            return comprobador.Trabajar(avance, avisos);
        } catch (const std::bad_alloc&) {
            return ErrorMemoriaReparar;
        }
    });
    if (error) return error;
    avance.Terminar();
    estados = comprobador.Estados();
    return std::nullopt;
}

} // namespace quimbel::par
