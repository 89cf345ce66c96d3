// SPDX-License-Identifier: GPL-3.0-or-later
#include "LecturaJuego.h"

#include "LectorPaquetes.h"
#include "NombresPar.h"
#include "Progreso.h"

#include <algorithm>
#include <atomic>
#include <new>
#include <set>

#include "files/Rutas.h"

namespace quimbel::par {
namespace {

class Lectura {
  public:
    Lectura(const quimbel::Carpeta& carpeta, const Limites& limites, Avisos& avisos, Recogida& recogida,
            FicherosPar& ficheros)
        : carpeta_(carpeta), limites_(limites), avisos_(avisos), recogida_(recogida), ficheros_(ficheros) {}

    // Adds the files to those to read, each measured now; whether any could be opened.
    bool Medir(const std::vector<std::string>& nombres, const std::string& mostrada) {
        bool alguno = false;
        for (const std::string& nombre : nombres) {
            quimbel::Fichero f;
            ficheros_.nombres.push_back(nombre);
            ficheros_.rutas.push_back(mostrada + nombre);
            ficheros_.ids.emplace_back();
            tamanos_.push_back(0);
            // Opened one at a time, read and closed on the threads: a set of many volumes
            // never holds them all open.
            if (!AbrirFicheroEn(f, carpeta_, nombre).Bien()) continue;
            alguno = true;
            ficheros_.ids.back() = f.Id();
            tamanos_.back() = static_cast<uint64_t>(std::max<int64_t>(f.Tamano(), 0));
        }
        return alguno;
    }

    uint64_t Total() const {
        uint64_t total = 0;
        for (const uint64_t t : tamanos_)
            total += t;
        return total;
    }

    // Reads the files measured from `desde` to before `hasta`. Nothing or the failure.
    Fallo Leer(size_t desde, size_t hasta, Progreso& avance) {
        std::atomic<size_t> siguiente{desde};
        return avisos_.EnParalelo(Hilos(limites_, hasta - desde), [&](unsigned) -> Fallo {
            try {
                for (size_t i; (i = siguiente++) < hasta && !avisos_.Parar();)
                    LeerUno(i, avance);
                return std::nullopt;
            } catch (const std::bad_alloc&) {
                return FalloMemoriaReparar();
            }
        });
    }

  private:
    void LeerUno(size_t i, Progreso& avance) {
        const uint64_t tamano = tamanos_[i];
        quimbel::Fichero f;
        // Read only while it is still the file measured.
        if (tamano == 0 || !AbrirFicheroEn(f, carpeta_, ficheros_.nombres[i]).Bien() ||
            !(f.Id() == ficheros_.ids[i])) {
            avance.Sumar(tamano);
            return;
        }
        uint64_t visto = 0;
        LeerPaquetes(
            FuenteFichero(
                f, std::min<uint64_t>(tamano, static_cast<uint64_t>(std::max<int64_t>(f.Tamano(), 0)))),
            [&](PaqueteLeido&& p) { recogida_.Anadir(i, std::move(p)); },
            [&](uint64_t leido) {
                avance.Sumar(leido - std::min(leido, visto));
                visto = std::max(visto, leido);
            },
            [&] { return avisos_.Parar(); });
        avance.Sumar(tamano - std::min(tamano, visto));
    }

    const quimbel::Carpeta& carpeta_;
    const Limites& limites_;
    Avisos& avisos_;
    Recogida& recogida_;
    FicherosPar& ficheros_;
    std::vector<uint64_t> tamanos_;
};

} // namespace

Fallo LeerFicherosPar(const quimbel::Carpeta& carpeta, const std::string& indice, const Limites& limites,
                      Avisos& avisos, Recogida& recogida, FicherosPar& ficheros) {
    ficheros = {};
    const std::string mostrada = CarpetaDeRuta(indice);
    const std::vector<std::string> propios = FicherosDelJuego(carpeta, std::string(NombreSinCarpeta(indice)));
    const std::set<std::string> vistos(propios.begin(), propios.end());
    const std::vector<std::string> otros = ListarEn(
        carpeta, [&](std::string_view n) { return EsFicheroPar2(n) && vistos.count(std::string(n)) == 0; });
    Lectura lectura(carpeta, limites, avisos, recogida, ficheros);
    if (!lectura.Medir(propios, mostrada))
        return FalloPar{CodigoFallo::SinJuego, "¡ Error al abrir fichero " + indice + " !"};
    lectura.Medir(otros, mostrada);
    Progreso avance(avisos, lectura.Total());
    if (Fallo error = lectura.Leer(0, propios.size(), avance)) return error;
    // The set the files named like it give: of the others only its packets count.
    if (const std::optional<Huella> conjunto = recogida.Conjunto()) {
        recogida.SoloDe(*conjunto);
        if (Fallo error = lectura.Leer(propios.size(), ficheros.nombres.size(), avance)) return error;
        for (size_t i = propios.size(); i < ficheros.nombres.size(); ++i)
            if (!recogida.Aporto(i)) ficheros.ids[i] = {};
    }
    avance.Terminar();
    return std::nullopt;
}

Fallo LeerIndicePar(const quimbel::Carpeta& carpeta, const std::string& indice, const Limites& limites,
                    Avisos& avisos, Recogida& recogida, FicherosPar& ficheros) {
    ficheros = {};
    Lectura lectura(carpeta, limites, avisos, recogida, ficheros);
    if (!lectura.Medir({std::string(NombreSinCarpeta(indice))}, CarpetaDeRuta(indice)))
        return FalloPar{CodigoFallo::SinJuego, "¡ Error al abrir fichero " + indice + " !"};
    Progreso avance(avisos, lectura.Total());
    if (Fallo error = lectura.Leer(0, 1, avance)) return error;
    avance.Terminar();
    return std::nullopt;
}

} // namespace quimbel::par
