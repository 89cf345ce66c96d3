#include "libs/par/Volumenes.h"

#include <atomic>

namespace quimbel::par {

Volumenes::Volumenes(const Conjunto& conjunto, std::string indice, std::vector<std::string> volumenes)
    : conjunto_(conjunto), carpeta_(indice), indice_(std::move(indice)), volumenes_(std::move(volumenes)) {}

Volumenes::~Volumenes() {
    Borrar();
}

Fallo Volumenes::Crear() {
    std::vector<const std::string*> todos{&indice_};
    for (const std::string& v : volumenes_)
        todos.push_back(&v);
    for (const std::string* ruta : todos) {
        Descriptor fichero = carpeta_.CrearNuevo(*ruta);
        if (!fichero.Abierto()) return "¡ Error al crear fichero " + *ruta + " !";
        creados_.push_back(*ruta);
        if (!fichero.Cerrar()) return "¡ Error al crear fichero " + *ruta + " !";
    }
    return std::nullopt;
}

void Volumenes::Borrar() {
    for (const std::string& ruta : creados_)
        carpeta_.Borrar(ruta);
    creados_.clear();
}

Descriptor Volumenes::AbrirVolumen(uint32_t volumen) const {
    return carpeta_.AbrirEscritura(volumenes_[volumen]);
}

uint64_t Volumenes::Posicion(uint32_t e) const {
    return uint64_t{e % conjunto_.reparto.porTrozo} * (CabeceraRecuperacion + conjunto_.reparto.tamano);
}

bool Volumenes::EscribirRecuperacion(const Descriptor& volumen, uint32_t e, uint64_t desde,
                                     const uint8_t* datos, uint64_t n) {
    return volumen.EscribirEn(datos, n, Posicion(e) + CabeceraRecuperacion + desde);
}

bool Volumenes::CerrarRecuperacion(const Descriptor& volumen, uint32_t e, const Huella& hash) {
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
            if (i > volumenes_.size()) break;
            const std::string& ruta = i == 0 ? indice_ : volumenes_[i - 1];
            Descriptor fichero = carpeta_.AbrirEscritura(ruta);
            if (!fichero.Abierto() ||
                !fichero.EscribirEn(comunes.data(), comunes.size(), i == 0 ? 0 : finRecuperacion) ||
                !fichero.Cerrar())
                return "¡ Error al escribir fichero " + ruta + " !";
        }
        return std::nullopt;
    });
    if (error) return error;
    creados_.clear();
    avisos.Decir("Creado fichero " + indice_);
    for (const std::string& ruta : volumenes_)
        avisos.Decir("Creado fichero " + ruta);
    return std::nullopt;
}

} // namespace quimbel::par
