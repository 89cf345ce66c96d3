// SPDX-License-Identifier: GPL-3.0-or-later
#include "TrabajoReparacion.h"

#include "Busqueda.h"
#include "Comprobacion.h"
#include "Cuenta.h"
#include "Galois.h"
#include "JuegoLeido.h"
#include "LecturaJuego.h"
#include "Limites.h"
#include "LlamadaPar.h"
#include "NombresPar.h"
#include "OrdenReparacion.h"
#include "Progreso.h"
#include "Reconstruccion.h"
#include "Solucion.h"
#include "Temporales.h"

#include <algorithm>
#include <new>
#include <numeric>
#include <set>

#include "files/Rutas.h"
#include "files/Temporales.h"

namespace quimbel::par {
namespace {

// Invalido is also a check's "cannot be repaired", as par2 verify's.
constexpr int Bien = 0, Mal = 1, Invalido = 2;

// The job's result after a failure: 2 when there is no set to work on, LLAMADA_PAR_INTERRUMPIDA
// when the caller stopped it, 1 otherwise.
int EstadoDe(const FalloPar& fallo) {
    if (fallo.codigo == CodigoFallo::Interrumpido) return LLAMADA_PAR_INTERRUMPIDA;
    return fallo.codigo == CodigoFallo::SinJuego || fallo.codigo == CodigoFallo::Argumentos ? Invalido : Mal;
}

// A file's ID as the lines show it: 32 hexadecimal digits.
std::string Hexadecimal(const Huella& id) {
    static constexpr char Cifras[] = "0123456789abcdef";
    std::string texto;
    for (const uint8_t b : id) {
        texto += Cifras[b >> 4];
        texto += Cifras[b & 15];
    }
    return texto;
}

class Reparacion {
  public:
    Reparacion(const OrdenReparacion& orden, const CarpetaDelTrabajo& trabajo, Avisos& avisos,
               const Limites& limites)
        : orden_(orden), trabajo_(trabajo), avisos_(avisos), limites_(limites),
          mostrada_(orden.carpeta ? ConBarraFinal(*orden.carpeta) : CarpetaDeRuta(orden.indice)) {}

    int Ejecutar() {
        // The set's folder and that of its files, each opened once for the whole job.
        trabajo_.Abrir(orden_.indice, carpetaJuego_);
        const quimbel::Desenlace abierta = orden_.carpeta ? AbrirCarpeta(carpeta_, *orden_.carpeta)
                                                          : trabajo_.Abrir(orden_.indice, carpeta_);
        if (!abierta.Bien())
            return Acabar({CodigoFallo::SinJuego, "¡ Error al abrir la carpeta " + mostrada_ + " !"});
        if (const Fallo fallo = LeerJuego()) return Acabar(*fallo);
        if (const Fallo fallo = ArmarJuego(recogida_, orden_.indice, juego_)) return Acabar(*fallo);
        if (orden_.reparar) LimpiarTemporales();
        if (const Fallo fallo = ComprobarFicheros(
                juego_, carpeta_, idsJuego_, Hilos(limites_, juego_.rebanadas), limites_, avisos_, estados_))
            return Acabar(*fallo);
        for (const std::string& ruta : orden_.otros) {
            otros_.emplace_back();
            otros_.back().ruta = ruta;
        }
        if (const Fallo fallo = BuscarRebanadas(juego_, estados_, carpeta_, otros_, idsJuego_,
                                                Hilos(limites_, juego_.rebanadas), avisos_, hallazgos_))
            return Acabar(*fallo);
        Listar();
        if (plan_.reescritos.empty() && intocables_ == 0) return Bien;
        // A check's result is par2's: 1 when a repair would make every file whole, 2 when not.
        if (!orden_.reparar) return intocables_ == 0 && Reparable() ? Mal : Invalido;
        if (plan_.reescritos.empty()) return Mal;
        const int reparado = Reparar();
        return intocables_ == 0 ? reparado : Mal;
    }

  private:
    // The names the set lists beneath its folder.
    std::set<std::string> Listados() const {
        std::set<std::string> nombres;
        for (const FicheroJuego& f : juego_.ficheros)
            nombres.insert(f.nombre);
        return nombres;
    }

    // Temporaries left in the files' folder by runs that died go, never a file the set lists
    // or one of the set's own.
    void LimpiarTemporales() const {
        const std::set<std::string> listados = Listados();
        const std::set<std::string> delJuego(nombresJuego_.begin(), nombresJuego_.end());
        quimbel::LimpiarTemporales(carpeta_, [&](std::string_view nombre) {
            const std::string n(nombre);
            return listados.count(n) != 0 || delJuego.count(n) != 0;
        });
    }

    int Acabar(const FalloPar& fallo) const {
        avisos_.Decir(fallo);
        return EstadoDe(fallo);
    }

    std::string Ruta(size_t fichero) const { return mostrada_ + juego_.ficheros[fichero].nombre; }

    // Reads the packets of every file of the set. Nothing, or the failure: none of them could be
    // opened, memory ran short, or the job was stopped.
    Fallo LeerJuego() {
        FicherosPar leidos;
        Fallo error = LeerFicherosPar(carpetaJuego_, orden_.indice, limites_, avisos_, recogida_, leidos);
        nombresJuego_ = std::move(leidos.nombres);
        rutasJuego_ = std::move(leidos.rutas);
        idsJuego_ = std::move(leidos.ids);
        return error;
    }

    // One line per file in name order, then the recovery slices' line; the files that are
    // not whole, and their bad slices, make the plan.
    void Listar() {
        std::vector<size_t> orden(juego_.ficheros.size());
        std::iota(orden.begin(), orden.end(), size_t{0});
        std::sort(orden.begin(), orden.end(),
                  [&](size_t a, size_t b) { return juego_.ficheros[a].nombre < juego_.ficheros[b].nombre; });
        uint64_t necesarios = 0;
        for (const size_t i : orden) {
            const FicheroJuego& f = juego_.ficheros[i];
            const EstadoFichero& e = estados_[i];
            if (Entero(f, e)) {
                avisos_.Decir("  Correcto: " + Ruta(i));
                continue;
            }
            const uint32_t perdidas = Perdidas(i);
            necesarios += perdidas;
            if (!f.descrito) {
                ++intocables_;
                avisos_.Decir("Sin nombre: " + Hexadecimal(f.id) + " (" + Bloques(perdidas) + ")");
                continue;
            }
            if (Ilegible(e)) {
                // Unknown, never rebuilt: its slices are unknowns of the others' repair.
                ++intocables_;
                avisos_.Decir("  Ilegible: " + Ruta(i) + " (" + MotivoIlegible(e.fallo) + ")");
                continue;
            }
            plan_.reescritos.push_back(i);
            if (!e.existe)
                avisos_.Decir(" No existe: " + Ruta(i));
            else
                avisos_.Decir("    Dañado: " + Ruta(i) + " (" + Bloques(perdidas) + ")");
        }
        DecirHallazgos(orden);
        for (size_t i = 0; i < juego_.ficheros.size(); ++i)
            for (uint32_t j = 0; j < juego_.ficheros[i].rebanadas; ++j)
                if (Perdida(i, j)) plan_.faltantes.push_back(juego_.ficheros[i].primera + j);
        avisos_.Decir(
            "Bloques de recuperación: " + Cuenta(juego_.recuperacion.size(), "disponible", "disponibles") +
            ", " + Cuenta(necesarios, "necesario", "necesarios"));
    }

    // Slice j of file i is neither intact at its place nor found elsewhere.
    bool Perdida(size_t i, uint32_t j) const {
        const uint32_t r = juego_.ficheros[i].primera + j;
        return estados_[i].malas[j] != 0 && !(r < hallazgos_.size() && hallazgos_[r].Hallado());
    }
    uint32_t Perdidas(size_t i) const {
        uint32_t n = 0;
        for (uint32_t j = 0; j < juego_.ficheros[i].rebanadas; ++j)
            n += Perdida(i, j) ? 1 : 0;
        return n;
    }

    // One line per file where slices not intact at their place were found: the listed files in
    // name order, then the others in the caller's.
    void DecirHallazgos(const std::vector<size_t>& orden) {
        const size_t n = juego_.ficheros.size();
        std::vector<uint64_t> cuantas(n + otros_.size(), 0);
        for (const Hallazgo& h : hallazgos_)
            if (h.Hallado()) ++cuantas[h.origen];
        const auto decir = [&](size_t origen, const std::string& ruta) {
            if (cuantas[origen] > 0)
                avisos_.Decir("Encontrado: " + ruta + " (" + Bloques(cuantas[origen]) + ")");
        };
        for (const size_t i : orden)
            decir(i, Ruta(i));
        for (size_t k = 0; k < otros_.size(); ++k)
            decir(n + k, otros_[k].ruta);
    }

    // Whether every missing slice could be solved from the recovery slices at hand, and every
    // file to rebuild may be written.
    bool Reparable() const {
        if (!juego_.numerado) return false;
        for (const size_t i : plan_.reescritos)
            if (estados_[i].delJuego) return false;
        const size_t m = plan_.faltantes.size();
        if (m > juego_.recuperacion.size()) return false;
        Solucion solucion;
        size_t rango = 0;
        return Resolver(Incognitas(), Disponibles(), solucion, rango, MemoriaParaSistema(limites_),
                        Hilos(limites_, m), avisos_) == Resuelto::Si;
    }

    int Reparar() {
        if (!juego_.numerado)
            return Acabar(
                {CodigoFallo::JuegoNoValido,
                 "¡ Error, falta la descripción de un fichero en el juego PAR2 " + orden_.indice + " !"});
        for (const size_t i : plan_.reescritos)
            if (estados_[i].delJuego)
                return Acabar({CodigoFallo::Salida, "¡ Error, el fichero " + Ruta(i) +
                                                        " es uno de los ficheros del juego PAR2 !"});
        const size_t m = plan_.faltantes.size();
        if (m > juego_.recuperacion.size())
            return Acabar({CodigoFallo::Recuperacion, FaltanBloques(m - juego_.recuperacion.size())});
        const bool resuelto = Solucionar(m);
        if (avisos_.Detenido()) return Acabar(FalloInterrumpido());
        if (!resuelto) return Mal;
        const unsigned hilos = Hilos(limites_, juego_.rebanadas);
        const bool mantener =
            CabenAbiertos(limites_, juego_.ficheros.size() + otros_.size() + rutasJuego_.size() +
                                        2 * uint64_t{plan_.reescritos.size()});
        Temporales temporales(carpeta_, Listados());
        for (const size_t i : plan_.reescritos)
            if (temporales.Crear(juego_.ficheros[i].nombre,
                                 juego_.ficheros[i].descrito ? juego_.ficheros[i].tamano : 0) != 0)
                return Acabar({CodigoFallo::Salida, "¡ Error al crear fichero " + Ruta(i) + " !"});
        const OrigenesReparacion origenes{carpeta_,    mostrada_, carpetaJuego_, nombresJuego_,
                                          rutasJuego_, idsJuego_, otros_,        hallazgos_};
        std::vector<EstadoFichero> rehechos;
        if (const Fallo fallo = Reconstruir(juego_, estados_, plan_, solucion_, origenes, temporales, hilos,
                                            mantener, limites_, avisos_, rehechos))
            return Acabar(*fallo);
        return Colocar(temporales, rehechos);
    }

    // Solves for the missing slices; false after the line that says how many recovery slices
    // are missing.
    bool Solucionar(size_t m) {
        size_t rango = 0;
        const uint64_t memoria = MemoriaParaSistema(limites_);
        const std::vector<uint32_t> disponibles = Disponibles();
        switch (Resolver(Incognitas(), disponibles, solucion_, rango, memoria, Hilos(limites_, m), avisos_)) {
        case Resuelto::Si:
            return true;
        case Resuelto::SinMemoria:
            Acabar({CodigoFallo::Memoria,
                    "¡ Error, memoria insuficiente para resolver " + Bloques(m) + ": hacen falta " +
                        std::to_string(MiB(MemoriaResolver(m, disponibles))) + " MiB y hay " +
                        std::to_string(MiB(memoria)) + " MiB libres !"});
            return false;
        case Resuelto::SinRango:
            // A stop is told by the caller.
            if (avisos_.Parar()) return false;
            Acabar({CodigoFallo::Recuperacion, FaltanBloques(m - rango)});
        }
        return false;
    }

    static uint64_t MiB(uint64_t bytes) { return (bytes + (uint64_t{1} << 20) - 1) >> 20; }

    // The logarithms of the missing slices' constants, and the exponents at hand.
    std::vector<uint32_t> Incognitas() const {
        const std::vector<uint32_t> logaritmos = LogaritmosDeEntrada(juego_.rebanadas);
        std::vector<uint32_t> suyos;
        for (const uint32_t r : plan_.faltantes)
            suyos.push_back(logaritmos[r]);
        return suyos;
    }
    std::vector<uint32_t> Disponibles() const {
        std::vector<uint32_t> disponibles;
        for (const RebanadaRecuperacion& r : juego_.recuperacion)
            disponibles.push_back(r.exponente);
        return disponibles;
    }

    // Each rebuilt file that holds takes its name; one that fails is removed, the damaged file
    // keeping its name. A file with slice checksums holds when the bytes written for it give them
    // (rehechos); one without, when its MD5, read back, does. All are checked before any takes its
    // name, so that a stop meanwhile leaves every file as it was.
    int Colocar(Temporales& temporales, const std::vector<EstadoFichero>& rehechos) {
        std::vector<bool> correctos;
        for (size_t t = 0; t < plan_.reescritos.size(); ++t) {
            const FicheroJuego& f = juego_.ficheros[plan_.reescritos[t]];
            correctos.push_back(f.huellas.empty() ? Md5Correcto(temporales, t, f)
                                                  : Entero(f, rehechos[plan_.reescritos[t]]));
            if (avisos_.Detenido()) return Acabar(FalloInterrumpido());
        }
        std::vector<std::string> fallos;
        for (size_t t = 0; t < plan_.reescritos.size(); ++t) {
            const size_t i = plan_.reescritos[t];
            std::string apartado;
            if (!correctos[t]) {
                temporales.Descartar(t);
                fallos.push_back("¡ Error, el fichero reparado " + Ruta(i) +
                                 " no coincide con el juego PAR2 !");
            } else if (temporales.Colocar(t, apartado) != 0) {
                fallos.push_back("¡ Error al renombrar fichero " + Ruta(i) + " !");
            } else {
                avisos_.Decir("  Reparado: " + Ruta(i));
            }
        }
        temporales.Sincronizar();
        for (const std::string& f : fallos)
            avisos_.Decir(f);
        return fallos.empty() ? Bien : Mal;
    }

    // Whether the rebuilt file has the set's MD5; the check ends early, false, when the job is
    // told to stop.
    bool Md5Correcto(const Temporales& temporales, size_t t, const FicheroJuego& f) {
        quimbel::Fichero local;
        const quimbel::Fichero* fichero = temporales.Abrir(t, local);
        if (fichero == nullptr || fichero->Tamano() != static_cast<int64_t>(f.tamano)) return false;
        std::vector<uint8_t> bloque(size_t{1} << 20);
        Md5 md5;
        for (uint64_t x = 0; x < f.tamano;) {
            const auto n = static_cast<size_t>(std::min<uint64_t>(bloque.size(), f.tamano - x));
            if (avisos_.Detenido() || !fichero->LeerEn(bloque.data(), n, x)) return false;
            md5.Anadir(bloque.data(), n);
            x += n;
        }
        return md5.Valor() == f.md5;
    }

    const OrdenReparacion& orden_;
    const CarpetaDelTrabajo& trabajo_;
    Avisos& avisos_;
    const Limites& limites_;
    std::string mostrada_;          // the files' folder as the lines show it, ending in "/" unless empty
    quimbel::Carpeta carpeta_;      // the listed files'
    quimbel::Carpeta carpetaJuego_; // the set's files'
    std::vector<std::string> nombresJuego_; // the set's files, by name in carpetaJuego_
    std::vector<std::string> rutasJuego_;   // and as the lines show them
    std::vector<quimbel::IdFichero> idsJuego_;
    Recogida recogida_;
    JuegoLeido juego_;
    std::vector<EstadoFichero> estados_;
    std::vector<OtroFichero> otros_;  // the other files searched
    std::vector<Hallazgo> hallazgos_; // by set slice: where it was found, when not at its place
    PlanReconstruccion plan_;
    size_t intocables_ = 0; // listed files never rebuilt: unreadable, or without description
    Solucion solucion_;
};

} // namespace

int EjecutarReparacion(std::span<const std::string> argumentos, const CarpetaDelTrabajo& trabajo,
                       Avisos& avisos, const Limites& limites) {
    OrdenReparacion orden;
    if (const Fallo rechazo = LeerOrdenReparacion(argumentos, orden)) {
        avisos.Decir(*rechazo);
        return EstadoDe(*rechazo);
    }
    FalloPar fallo{CodigoFallo::Interno, {}};
    try {
        return Reparacion(orden, trabajo, avisos, limites).Ejecutar();
    } catch (const std::bad_alloc&) {
        fallo = FalloMemoriaReparar();
    } catch (const std::exception& e) {
        fallo = {CodigoFallo::Interno, std::string("¡ Error al reparar: ") + e.what() + " !"};
    }
    avisos.Decir(fallo);
    return EstadoDe(fallo);
}

} // namespace quimbel::par
