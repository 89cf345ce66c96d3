// SPDX-License-Identifier: GPL-3.0-or-later
#include "Volumenes.h"

#include "Disco.h"

#include <atomic>

namespace quimbel::par {

Volumenes::Volumenes(const JuegoNuevo& conjunto, const quimbel::Carpeta& carpeta,
                     const SalidasNuevas& salidas)
    : conjunto_(conjunto), carpeta_(carpeta), salidas_(salidas) {}

Volumenes::~Volumenes() {
    for (const auto& [nombre, id] : publicados_)
        BorrarSiEs(carpeta_, nombre, id);
}

Fallo Volumenes::Crear() {
    temporales_.resize(salidas_.volumenes.size() + 1);
    for (size_t i = 0; i < temporales_.size(); ++i)
        if (!temporales_[i].Crear(carpeta_).Bien())
            return FalloPar{CodigoFallo::Salida,
                            "¡ Error al crear fichero " + salidas_.Ruta(Nombre(i)) + " !"};
    return std::nullopt;
}

uint64_t Volumenes::Posicion(uint32_t e) const {
    return uint64_t{e % conjunto_.reparto.porTrozo} * (CabeceraRecuperacion + conjunto_.reparto.tamano);
}

bool Volumenes::EscribirRecuperacion(const quimbel::Fichero& volumen, uint32_t e, uint64_t desde,
                                     const uint8_t* datos, uint64_t n) {
    return volumen.EscribirEn(datos, n, Posicion(e) + CabeceraRecuperacion + desde);
}

bool Volumenes::CerrarRecuperacion(const quimbel::Fichero& volumen, uint32_t e, const Huella& hash) {
    const auto cabecera = CabeceraDeRecuperacion(conjunto_.id, e, conjunto_.reparto.tamano, hash);
    if (!volumen.EscribirEn(cabecera.data(), cabecera.size(), Posicion(e))) return false;
    // The packet is whole: it goes to disk while the next ones are computed.
    volumen.EmpezarVolcado(Posicion(e), CabeceraRecuperacion + conjunto_.reparto.tamano);
    return true;
}

Fallo Volumenes::Escribir(const Bytes& comunes, unsigned hilos, Avisos& avisos) {
    const uint64_t finRecuperacion =
        uint64_t{conjunto_.reparto.porTrozo} * (CabeceraRecuperacion + conjunto_.reparto.tamano);
    std::atomic<size_t> siguiente{0};
    return avisos.EnParalelo(hilos, [&](unsigned) -> Fallo {
        while (!avisos.Parar()) {
            const size_t i = siguiente++;
            if (i >= temporales_.size()) break;
            quimbel::SalidaTemporal& t = temporales_[i];
            if (!t.Datos().EscribirEn(comunes.data(), comunes.size(), i == 0 ? 0 : finRecuperacion) ||
                !t.Volcar().Bien())
                return FalloPar{CodigoFallo::Salida,
                                "¡ Error al escribir fichero " + salidas_.Ruta(Nombre(i)) + " !"};
        }
        return std::nullopt;
    });
}

Fallo Volumenes::Publicar(Avisos& avisos) {
    // The index last: whoever looks for the set by it finds it whole.
    for (size_t k = 1; k <= temporales_.size(); ++k) {
        const size_t i = k % temporales_.size();
        const quimbel::IdFichero id = temporales_[i].Datos().Id();
        const quimbel::Desenlace hecho = temporales_[i].Publicar(Nombre(i));
        if (!hecho.Bien())
            return FalloPar{CodigoFallo::Salida,
                            "¡ Error al crear fichero " + salidas_.Ruta(Nombre(i)) + " !"};
        publicados_.emplace_back(Nombre(i), id);
    }
    quimbel::SincronizarCarpeta(carpeta_);
    publicados_.clear();
    avisos.Decir("Creado fichero " + salidas_.Ruta(salidas_.indice));
    for (const std::string& nombre : salidas_.volumenes)
        avisos.Decir("Creado fichero " + salidas_.Ruta(nombre));
    return std::nullopt;
}

} // namespace quimbel::par
