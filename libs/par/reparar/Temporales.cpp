// SPDX-License-Identifier: GPL-3.0-or-later
#include "Temporales.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "files/Salidas.h"

#include "Disco.h"
#include "NombreLibre.h"

namespace quimbel::par {
namespace {

// Why a file operation failed, as an error number.
int Numero(const quimbel::Desenlace& hecho) {
    return hecho.Bien() ? 0 : hecho.error != 0 ? hecho.error : EINVAL;
}

} // namespace

Temporales::~Temporales() {
    temporales_.clear();
    // Innermost first; one that holds a file fails and stays.
    for (auto c = creadas_.rbegin(); c != creadas_.rend(); ++c) {
        quimbel::Carpeta padre;
        std::string hoja;
        if (ResolverBajo(carpeta_, *c, padre, hoja, true).Bien())
            unlinkat(padre.Descriptor(), hoja.c_str(), AT_REMOVEDIR);
    }
}

int Temporales::Padre(const std::string& nombre, const quimbel::Carpeta*& padre, std::string& hoja) {
    quimbel::Carpeta abierta;
    if (const int error = Numero(ResolverBajo(carpeta_, nombre, abierta, hoja, true)); error != 0)
        return error;
    const std::string ruta = nombre.substr(0, nombre.size() - hoja.size());
    auto& guardada = padres_[ruta];
    if (!guardada) {
        guardada = std::make_unique<quimbel::Carpeta>(std::move(abierta));
        quimbel::LimpiarTemporales(
            *guardada, [&](std::string_view n) { return listados_.count(ruta + std::string(n)) != 0; });
    }
    padre = guardada.get();
    return 0;
}

int Temporales::Crear(const std::string& nombre, uint64_t tamano) {
    Temporal t;
    t.nombre = nombre;
    if (const int error = Numero(CrearCarpetasBajo(carpeta_, nombre, creadas_)); error != 0) return error;
    if (const int error = Padre(nombre, t.padre, t.hoja); error != 0) return error;
    if (const int error = Numero(t.salida.Crear(*t.padre)); error != 0) return error;
    t.salida.Datos().Reservar(tamano);
    temporales_.push_back(std::move(t));
    return 0;
}

const quimbel::Fichero* Temporales::Abrir(size_t i, quimbel::Fichero&) const {
    const Temporal& t = temporales_[i];
    if (t.salida.Nombre().empty()) return nullptr;
    return &t.salida.Datos();
}

int Temporales::Colocar(size_t i, std::string& apartado) {
    Temporal& t = temporales_[i];
    apartado.clear();
    if (t.salida.Nombre().empty()) return EINVAL;
    std::string aparte;
    // Whatever stands at the name is kept beside it.
    if (HayAlgoEn(*t.padre, t.hoja)) {
        const quimbel::Desenlace apartada = PrimerNombreLibre(
            t.hoja + ".", [&](const std::string& libre) { return RenombrarEn(*t.padre, t.hoja, libre); },
            aparte);
        if (!apartada.Bien()) return EEXIST;
    }
    if (const int error = Numero(t.salida.Publicar(t.hoja)); error != 0) {
        if (!aparte.empty()) RenombrarEn(*t.padre, aparte, t.hoja);
        return error;
    }
    if (!aparte.empty()) apartado = t.nombre.substr(0, t.nombre.size() - t.hoja.size()) + aparte;
    return 0;
}

void Temporales::Descartar(size_t i) {
    temporales_[i].salida.Descartar();
}

void Temporales::Sincronizar() const {
    for (const auto& [ruta, padre] : padres_)
        quimbel::SincronizarCarpeta(*padre);
}

} // namespace quimbel::par
