#include "Volumenes.h"

#include "Disco.h"

#include <atomic>

#include "files/Salidas.h"

namespace quimbel::par {

Volumenes::Volumenes(const JuegoNuevo& conjunto, const quimbel::Carpeta& carpeta,
                     const SalidasNuevas& salidas)
    : conjunto_(conjunto), carpeta_(carpeta), salidas_(salidas) {}

Volumenes::~Volumenes() {
    Borrar();
}

Fallo Volumenes::Crear() {
    std::vector<const std::string*> todos{&salidas_.indice};
    for (const std::string& v : salidas_.volumenes)
        todos.push_back(&v);
    for (const std::string* nombre : todos) {
        const FalloPar fallo{CodigoFallo::Salida,
                             "¡ Error al crear fichero " + salidas_.Ruta(*nombre) + " !"};
        quimbel::Fichero fichero;
        if (!CrearSalidaNueva(fichero, carpeta_, *nombre).Bien()) return fallo;
        creados_.push_back(*nombre);
        if (!fichero.Cerrar().Bien()) return fallo;
    }
    return std::nullopt;
}

void Volumenes::Borrar() {
    for (const std::string& nombre : creados_)
        BorrarEn(carpeta_, nombre);
    creados_.clear();
}

quimbel::Fichero Volumenes::AbrirVolumen(uint32_t volumen) const {
    quimbel::Fichero fichero;
    AbrirSalida(fichero, carpeta_, salidas_.volumenes[volumen]);
    return fichero;
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
    return volumen.EscribirEn(cabecera.data(), cabecera.size(), Posicion(e));
}

Fallo Volumenes::Terminar(const Bytes& comunes, unsigned hilos, Avisos& avisos) {
    const uint64_t finRecuperacion =
        uint64_t{conjunto_.reparto.porTrozo} * (CabeceraRecuperacion + conjunto_.reparto.tamano);
    std::atomic<size_t> siguiente{0};
    const Fallo error = avisos.EnParalelo(hilos, [&](unsigned) -> Fallo {
        while (!avisos.Parar()) {
            const size_t i = siguiente++;
            if (i > salidas_.volumenes.size()) break;
            const std::string& nombre = i == 0 ? salidas_.indice : salidas_.volumenes[i - 1];
            quimbel::Fichero fichero;
            if (!AbrirSalida(fichero, carpeta_, nombre).Bien() ||
                !fichero.EscribirEn(comunes.data(), comunes.size(), i == 0 ? 0 : finRecuperacion) ||
                !fichero.Cerrar().Bien())
                return FalloPar{CodigoFallo::Salida,
                                "¡ Error al escribir fichero " + salidas_.Ruta(nombre) + " !"};
        }
        return std::nullopt;
    });
    if (error) return error;
    creados_.clear();
    avisos.Decir("Creado fichero " + salidas_.Ruta(salidas_.indice));
    for (const std::string& nombre : salidas_.volumenes)
        avisos.Decir("Creado fichero " + salidas_.Ruta(nombre));
    return std::nullopt;
}

} // namespace quimbel::par
