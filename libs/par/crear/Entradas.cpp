// SPDX-License-Identifier: GPL-3.0-or-later
#include "Entradas.h"

#include "NombresPar.h"
#include "files/Rutas.h"

#include <algorithm>

namespace quimbel::par {

Fallo ExaminarNombres(const OrdenPar& orden) {
    // Duplicates by sorting the compared forms of the names.
    std::vector<std::pair<std::string, size_t>> claves;
    for (size_t i = 0; i < orden.trozos.size(); ++i) {
        const std::string& nombre = orden.trozos[i];
        if (!NombreSimple(nombre))
            return FalloPar{CodigoFallo::Argumentos,
                            "¡ Error, el trozo " + nombre + " no es un nombre de fichero sin carpeta !"};
        // A set is never made that its own check would refuse.
        if (!NombreJuegoValido(nombre)) return FalloPar{CodigoFallo::Argumentos, LineaNombreNoValido(nombre)};
        claves.emplace_back(ClaveDeNombre(nombre, orden.mayusculasIguales), i);
    }
    std::sort(claves.begin(), claves.end());
    for (size_t i = 1; i < claves.size(); ++i)
        if (claves[i].first == claves[i - 1].first)
            return FalloPar{CodigoFallo::Argumentos,
                            "¡ Error, fichero repetido " +
                                orden.trozos[std::max(claves[i].second, claves[i - 1].second)] + " !"};
    return std::nullopt;
}

Fallo ExaminarEntradas(const OrdenPar& orden, const quimbel::Carpeta& carpeta,
                       std::vector<Entrada>& entradas) {
    entradas.clear();
    if (Fallo error = ExaminarNombres(orden)) return error;
    for (const std::string& nombre : orden.trozos) {
        const auto estado = EstadoEn(carpeta, nombre);
        if (!estado || !estado->regular)
            return FalloPar{CodigoFallo::Entrada, "¡ Error, no existe el fichero " + nombre + " !"};
        entradas.push_back({nombre, estado->tamano});
    }
    return std::nullopt;
}

} // namespace quimbel::par
