#include "libs/par/TrabajoReparacion.h"

#include "libs/par/Abiertos.h"
#include "libs/par/Avance.h"
#include "libs/par/Comprobacion.h"
#include "libs/par/FicherosJuego.h"
#include "libs/par/Galois.h"
#include "libs/par/Juego.h"
#include "libs/par/OrdenReparacion.h"
#include "libs/par/Reconstruccion.h"
#include "libs/par/Solucion.h"
#include "libs/par/Temporales.h"

#include <algorithm>
#include <atomic>
#include <new>
#include <numeric>
#include <thread>

#include "files/Rutas.h"

namespace quimbel::par {
namespace {

constexpr int Bien = 0, Mal = 1, Invalido = 2;

unsigned Hilos(const Limites& limites, size_t trabajos) {
    constexpr unsigned maximo = 16;
    const unsigned hilos = limites.hilos != 0
                               ? limites.hilos
                               : std::min(maximo, std::max(1u, std::thread::hardware_concurrency()));
    return static_cast<unsigned>(std::clamp<size_t>(trabajos, 1, hilos));
}

class Reparacion {
  public:
    Reparacion(const OrdenReparacion& orden, Avisos& avisos, const Limites& limites)
        : orden_(orden), avisos_(avisos), limites_(limites),
          mostrada_(orden.carpeta ? ConBarraFinal(*orden.carpeta) : CarpetaDeRuta(orden.indice)) {}

    int Ejecutar() {
        if (!AbrirCarpeta(carpeta_, orden_.carpeta ? *orden_.carpeta : CarpetaDeRuta(orden_.indice)).Bien())
            return Acabar(Invalido, "¡ Error al abrir la carpeta " + mostrada_ + " !");
        if (const Fallo fallo = LeerJuego())
            return Acabar(*fallo == ErrorMemoriaReparar ? Mal : Invalido, *fallo);
        std::string rechazo;
        switch (ArmarJuego(recogida_, orden_.indice, juego_, rechazo)) {
        case EstadoJuego::SinPrincipal:
            return Acabar(Invalido, rechazo);
        case EstadoJuego::Invalido:
            return Acabar(Mal, rechazo);
        case EstadoJuego::Valido:
            break;
        }
        if (const Fallo fallo = ComprobarFicheros(juego_, carpeta_, idsJuego_,
                                                  Hilos(limites_, juego_.rebanadas), avisos_, estados_))
            return Acabar(Mal, *fallo);
        Listar();
        if (plan_.reescritos.empty()) return Bien;
        if (!orden_.reparar) return Mal;
        return Reparar();
    }

  private:
    int Acabar(int estado, const std::string& linea) const {
        avisos_.Decir(linea);
        return estado;
    }

    std::string Ruta(size_t fichero) const { return mostrada_ + juego_.ficheros[fichero].nombre; }

    // Reads the packets of every file of the set, on several threads. Nothing, or the line of
    // a failure: none of them could be opened, or memory ran short.
    Fallo LeerJuego() {
        rutasJuego_ = FicherosDelJuego(orden_.indice);
        idsJuego_.assign(rutasJuego_.size(), {});
        std::vector<quimbel::Fichero> ficheros(rutasJuego_.size());
        std::vector<uint64_t> tamanos(rutasJuego_.size(), 0);
        uint64_t total = 0;
        bool alguno = false;
        // Opened one at a time, read and closed on the threads: a set of many volumes never
        // holds them all open.
        for (size_t i = 0; i < rutasJuego_.size(); ++i) {
            quimbel::Fichero f;
            if (!AbrirFichero(f, rutasJuego_[i]).Bien()) continue;
            alguno = true;
            idsJuego_[i] = f.Id();
            tamanos[i] = static_cast<uint64_t>(std::max<int64_t>(f.Tamano(), 0));
            total += tamanos[i];
        }
        if (!alguno) return "¡ Error al abrir fichero " + orden_.indice + " !";
        Avance avance(avisos_, total);
        std::atomic<size_t> siguiente{0};
        const Fallo error = avisos_.EnParalelo(Hilos(limites_, rutasJuego_.size()), [&](unsigned) -> Fallo {
            try {
                for (size_t i; (i = siguiente++) < rutasJuego_.size() && !avisos_.Parar();) {
                    quimbel::Fichero f;
                    // Read only while it is still the file measured.
                    if (tamanos[i] == 0 || !AbrirFichero(f, rutasJuego_[i]).Bien() ||
                        !(f.Id() == idsJuego_[i])) {
                        avance.Sumar(tamanos[i]);
                        continue;
                    }
                    uint64_t visto = 0;
                    LeerPaquetes(
                        FuenteFichero(f, std::min<uint64_t>(tamanos[i], static_cast<uint64_t>(f.Tamano()))),
                        [&](PaqueteLeido&& p) { recogida_.Anadir(i, std::move(p)); },
                        [&](uint64_t leido) {
                            avance.Sumar(leido - std::min(leido, visto));
                            visto = std::max(visto, leido);
                        });
                    avance.Sumar(tamanos[i] - std::min(tamanos[i], visto));
                }
                return std::nullopt;
            } catch (const std::bad_alloc&) {
                return ErrorMemoriaReparar;
            }
        });
        if (error) return error;
        avance.Terminar();
        return std::nullopt;
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
            plan_.reescritos.push_back(i);
            necesarios += e.nMalas;
            if (!e.existe)
                avisos_.Decir(" No existe: " + Ruta(i));
            else
                avisos_.Decir("    Dañado: " + Ruta(i) + " (" + std::to_string(e.nMalas) + " bloques)");
        }
        for (size_t i = 0; i < juego_.ficheros.size(); ++i)
            for (uint32_t j = 0; j < juego_.ficheros[i].rebanadas; ++j)
                if (estados_[i].malas[j] != 0) plan_.faltantes.push_back(juego_.ficheros[i].primera + j);
        avisos_.Decir("Bloques de recuperación: " + std::to_string(juego_.recuperacion.size()) +
                      " disponibles, " + std::to_string(necesarios) + " necesarios");
    }

    int Reparar() {
        for (const size_t i : plan_.reescritos)
            if (estados_[i].delJuego)
                return Acabar(Mal,
                              "¡ Error, el fichero " + Ruta(i) + " es uno de los ficheros del juego PAR2 !");
        const size_t m = plan_.faltantes.size();
        if (m > juego_.recuperacion.size())
            return Acabar(Mal, "¡ Faltan " + std::to_string(m - juego_.recuperacion.size()) +
                                   " bloques de recuperación !");
        if (MemoriaResolver(m) > limites_.memoria / 2) return Acabar(Mal, ErrorMemoriaReparar);
        if (!Solucionar(m)) return Mal;
        const size_t hilos = Hilos(limites_, juego_.rebanadas);
        const bool mantener = CabenAbiertos(limites_, juego_.ficheros.size() + rutasJuego_.size() +
                                                          2 * uint64_t{plan_.reescritos.size()});
        Temporales temporales(carpeta_, mantener);
        for (const size_t i : plan_.reescritos)
            if (temporales.Crear(juego_.ficheros[i].nombre) != 0)
                return Acabar(Mal, "¡ Error al crear fichero " + Ruta(i) + " !");
        const OrigenesReparacion origenes{carpeta_, mostrada_, rutasJuego_, idsJuego_};
        if (const Fallo fallo = Reconstruir(juego_, estados_, plan_, solucion_, origenes, temporales,
                                            static_cast<unsigned>(hilos), mantener, limites_, avisos_))
            return Acabar(Mal, *fallo);
        return Colocar(temporales);
    }

    // Solves for the missing slices; false after the line that says how many recovery slices
    // are missing.
    bool Solucionar(size_t m) {
        const std::vector<uint32_t> logaritmos = LogaritmosDeEntrada(juego_.rebanadas);
        std::vector<uint32_t> suyos, disponibles;
        for (const uint32_t r : plan_.faltantes)
            suyos.push_back(logaritmos[r]);
        for (const RebanadaRecuperacion& r : juego_.recuperacion)
            disponibles.push_back(r.exponente);
        size_t rango = 0;
        if (Resolver(suyos, disponibles, solucion_, rango)) return true;
        Acabar(Mal, "¡ Faltan " + std::to_string(m - rango) + " bloques de recuperación !");
        return false;
    }

    // Each rebuilt file whose MD5 holds takes its name; one that fails is removed, the
    // damaged file keeping its name.
    int Colocar(Temporales& temporales) {
        std::vector<std::string> fallos;
        for (size_t t = 0; t < plan_.reescritos.size(); ++t) {
            const size_t i = plan_.reescritos[t];
            std::string apartado;
            if (!Md5Correcto(temporales, t, juego_.ficheros[i])) {
                temporales.Descartar(t);
                fallos.push_back("¡ Error, el fichero reparado " + Ruta(i) +
                                 " no coincide con el juego PAR2 !");
            } else if (temporales.Colocar(t, apartado) != 0) {
                fallos.push_back("¡ Error al renombrar fichero " + Ruta(i) + " !");
            } else {
                avisos_.Decir("  Reparado: " + Ruta(i));
            }
        }
        for (const std::string& f : fallos)
            avisos_.Decir(f);
        return fallos.empty() ? Bien : Mal;
    }

    bool Md5Correcto(const Temporales& temporales, size_t t, const FicheroJuego& f) const {
        quimbel::Fichero local;
        const quimbel::Fichero* fichero = temporales.Abrir(t, local);
        if (fichero == nullptr || fichero->Tamano() != static_cast<int64_t>(f.tamano)) return false;
        std::vector<uint8_t> bloque(size_t{1} << 20);
        Md5 md5;
        for (uint64_t x = 0; x < f.tamano;) {
            const auto n = static_cast<size_t>(std::min<uint64_t>(bloque.size(), f.tamano - x));
            if (!fichero->LeerEn(bloque.data(), n, x)) return false;
            md5.Anadir(bloque.data(), n);
            x += n;
        }
        return md5.Valor() == f.md5;
    }

    const OrdenReparacion& orden_;
    Avisos& avisos_;
    const Limites& limites_;
    std::string mostrada_; // the folder as the lines show it, ending in "/" unless empty
    quimbel::Carpeta carpeta_;
    std::vector<std::string> rutasJuego_;
    std::vector<quimbel::IdFichero> idsJuego_;
    Recogida recogida_;
    Juego juego_;
    std::vector<EstadoFichero> estados_;
    PlanReconstruccion plan_;
    Solucion solucion_;
};

} // namespace

int EjecutarReparacion(std::span<const std::string> argumentos, Avisos& avisos, const Limites& limites) {
    std::string error;
    const auto orden = LeerOrdenReparacion(argumentos, error);
    if (!orden) {
        avisos.Decir(error);
        return Invalido;
    }
    try {
        return Reparacion(*orden, avisos, limites).Ejecutar();
    } catch (const std::bad_alloc&) {
        error = ErrorMemoriaReparar;
    } catch (const std::exception& e) {
        error = std::string("¡ Error al reparar: ") + e.what() + " !";
    }
    avisos.Decir(error);
    return Mal;
}

} // namespace quimbel::par
