// SPDX-License-Identifier: GPL-3.0-or-later
#include "Reparto.h"

#include "Redondeo.h"

#include <algorithm>

namespace quimbel::par {
namespace {

uint64_t Total(std::span<const uint64_t> tamanos, uint64_t tamanoRebanada) {
    uint64_t total = 0;
    for (uint64_t t : tamanos)
        total += RebanadasDe(t, tamanoRebanada);
    return total;
}

} // namespace

std::optional<Reparto> Repartir(std::span<const uint64_t> tamanos, uint64_t volumenes,
                                const Limites& limites) {
    const uint64_t mayor = tamanos.empty() ? 0 : *std::max_element(tamanos.begin(), tamanos.end());
    if (mayor == 0) return std::nullopt;
    const auto cabe = [&](uint64_t tamano) {
        return Total(tamanos, tamano) <= limites.rebanadasMaximas &&
               volumenes * RebanadasDe(mayor, tamano) <= limites.rebanadasMaximas;
    };
    uint64_t tamano = RedondearA(mayor, 4);
    if (tamano > limites.rebanadaMaxima) {
        const uint64_t k = RebanadasDe(mayor, limites.rebanadaMaxima);
        tamano = RedondearA(RebanadasDe(mayor, k), 4);
    }
    if (!cabe(tamano)) {
        // The smallest slice size (a multiple of 4) that keeps the set within the bound.
        const uint64_t mayorRedondeado = RedondearA(mayor, 4);
        if (!cabe(mayorRedondeado)) return std::nullopt;
        uint64_t bajo = tamano / 4, alto = mayorRedondeado / 4;
        while (bajo < alto) {
            const uint64_t medio = bajo + (alto - bajo) / 2;
            if (cabe(medio * 4))
                alto = medio;
            else
                bajo = medio + 1;
        }
        tamano = alto * 4;
    }
    return Reparto{tamano, static_cast<uint32_t>(RebanadasDe(mayor, tamano)),
                   static_cast<uint32_t>(Total(tamanos, tamano))};
}

FilasFranja FilasDeCreacion(uint32_t recuperacion, unsigned carriles) {
    const uint64_t datos = std::max(carriles, 1u);
    return {2 * uint64_t{recuperacion} + datos, 0, recuperacion + datos};
}

} // namespace quimbel::par
