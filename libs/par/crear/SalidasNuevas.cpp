// SPDX-License-Identifier: GPL-3.0-or-later
#include "SalidasNuevas.h"

#include "Disco.h"
#include "NombreLibre.h"
#include "NombresPar.h"

namespace quimbel::par {

Fallo ExaminarSalidas(SalidasNuevas& salidas, const quimbel::Carpeta& carpeta,
                      const quimbel::Protegidos& protegidos, bool renombrar) {
    salidas.presentes = SalidasPresentes(carpeta, salidas.indice, false);
    std::vector<std::string> tocadas = salidas.presentes;
    tocadas.push_back(salidas.indice);
    tocadas.insert(tocadas.end(), salidas.volumenes.begin(), salidas.volumenes.end());
    for (const std::string& nombre : tocadas) {
        if (EsProtegidoEn(carpeta, nombre, protegidos))
            return FalloPar{CodigoFallo::Salida, LineaSobrescribiria(salidas.Ruta(nombre))};
        if (EsCarpetaEn(carpeta, nombre))
            return FalloPar{CodigoFallo::Salida, "¡ Error al crear fichero " + salidas.Ruta(nombre) + " !"};
    }
    if (salidas.presentes.empty()) return std::nullopt;
    if (!renombrar)
        return FalloPar{CodigoFallo::Salida,
                        "¡ Error, ya existe el fichero " + salidas.Ruta(salidas.presentes.front()) + " !"};
    for (const std::string& nombre : salidas.presentes) {
        const std::string vieja = nombre + std::string(ExtensionVieja);
        if (EsProtegidoEn(carpeta, vieja, protegidos))
            return FalloPar{CodigoFallo::Salida, LineaSobrescribiria(salidas.Ruta(vieja))};
        if (EsCarpetaEn(carpeta, vieja))
            return FalloPar{CodigoFallo::Salida,
                            "¡ Error al renombrar fichero " + salidas.Ruta(nombre) + " !"};
    }
    return std::nullopt;
}

Renombradas::~Renombradas() {
    if (confirmado_) return;
    for (auto it = hechos_.rbegin(); it != hechos_.rend(); ++it)
        RenombrarEn(carpeta_, it->second, it->first);
}

Fallo Renombradas::Renombrar(const SalidasNuevas& salidas) {
    for (const std::string& nombre : salidas.presentes) {
        const std::string vieja = nombre + std::string(ExtensionVieja);
        if (HayAlgoEn(carpeta_, vieja)) {
            // The older ".old" stays until the new set is whole.
            std::string aparte;
            if (!PrimerNombreLibre(
                     vieja + ".",
                     [&](const std::string& libre) { return RenombrarEn(carpeta_, vieja, libre); }, aparte)
                     .Bien())
                return FalloPar{CodigoFallo::Salida,
                                "¡ Error al renombrar fichero " + salidas.Ruta(vieja) + " !"};
            hechos_.emplace_back(vieja, aparte);
            apartadas_.push_back(aparte);
        }
        if (!RenombrarEn(carpeta_, nombre, vieja).Bien())
            return FalloPar{CodigoFallo::Salida,
                            "¡ Error al renombrar fichero " + salidas.Ruta(nombre) + " !"};
        hechos_.emplace_back(nombre, vieja);
    }
    return std::nullopt;
}

void Renombradas::Confirmar() {
    confirmado_ = true;
    for (const std::string& nombre : apartadas_)
        BorrarEn(carpeta_, nombre);
}

} // namespace quimbel::par
