// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What both PAR2 fuzz targets check of a set put together from what they read: a refusal is a
// line of its own kind, and a set accepted keeps its bounds (slice size and counts, the slices
// of each file in order, names that stay beneath its folder; a file without description has no
// name). Aborts when it does not.
#include <cstdlib>
#include <string>

#include "JuegoLeido.h"

namespace quimbel::par::fuzz {

// Puts the set together; whether one was accepted (then in juego).
inline bool ArmarYExigir(Recogida& recogida, const std::string& indice, JuegoLeido& juego) {
    const auto exigir = [](bool condicion) {
        if (!condicion) std::abort();
    };
    if (const Fallo fallo = ArmarJuego(recogida, indice, juego)) {
        exigir(fallo->linea.rfind("¡ ", 0) == 0 &&
               (fallo->codigo == CodigoFallo::SinJuego || fallo->codigo == CodigoFallo::JuegoNoValido));
        return false;
    }
    const uint64_t s = juego.tamanoRebanada;
    exigir(s > 0 && s % 4 == 0 && s <= RebanadaJuegoMaxima && juego.rebanadas <= RebanadasMaximas);
    uint32_t primera = 0;
    for (const FicheroJuego& f : juego.ficheros) {
        exigir(f.primera == primera);
        // A file whose description was lost has neither name nor length, only its slices.
        if (f.descrito)
            exigir(NombreJuegoValido(f.nombre) && uint64_t{f.rebanadas} * s >= f.tamano &&
                   (f.rebanadas == 0 || uint64_t{f.rebanadas - 1} * s < f.tamano));
        else
            exigir(f.nombre.empty() && f.tamano == 0);
        exigir(f.huellas.empty() || f.huellas.size() == f.rebanadas);
        primera += f.rebanadas;
    }
    exigir(primera == juego.rebanadas);
    for (size_t i = 1; i < juego.recuperacion.size(); ++i)
        exigir(juego.recuperacion[i - 1].exponente < juego.recuperacion[i].exponente);
    return true;
}

} // namespace quimbel::par::fuzz
