// SPDX-License-Identifier: GPL-3.0-or-later
#include "Franjas.h"

#include "Redondeo.h"

#include <algorithm>

namespace quimbel::par {

uint64_t RebanadasDe(uint64_t n, uint64_t tamanoRebanada) {
    return n / tamanoRebanada + (n % tamanoRebanada != 0 ? 1 : 0);
}

Franjas PlanearFranjas(uint64_t tamanoRebanada, const FilasFranja& filas, unsigned hilos,
                       const Limites& limites) {
    const uint64_t todas = std::max<uint64_t>(uint64_t{hilos} * filas.porHilo + filas.comunes, 1);
    uint64_t ancho = std::min(limites.franjaMaxima, limites.memoria / todas);
    if (filas.enCache > 0) ancho = std::min(ancho, std::max<uint64_t>(16384, limites.cache / filas.enCache));
    ancho = std::max<uint64_t>(64, ancho / 64 * 64);
    if (ancho >= tamanoRebanada) return {tamanoRebanada, RedondearA(tamanoRebanada, 64), 1};
    return {ancho, ancho, RebanadasDe(tamanoRebanada, ancho)};
}

std::vector<Grupo> Agrupar(size_t n, unsigned hilos, unsigned carriles) {
    std::vector<Grupo> grupos;
    if (n == 0) return grupos;
    const size_t porRonda = size_t{std::max(hilos, 1u)} * std::max(carriles, 1u);
    const size_t cuantos = std::min(n, (n + porRonda - 1) / porRonda * std::max(hilos, 1u));
    for (size_t g = 0, desde = 0; g < cuantos; ++g) {
        const size_t hasta = desde + n / cuantos + (g < n % cuantos ? 1 : 0);
        grupos.push_back({desde, hasta});
        desde = hasta;
    }
    return grupos;
}

} // namespace quimbel::par
