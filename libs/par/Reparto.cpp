#include "libs/par/Reparto.h"

#include <algorithm>

namespace quimbel::par {
namespace {

uint64_t Redondear(uint64_t n, uint64_t multiplo) {
    return (n + multiplo - 1) / multiplo * multiplo;
}

uint64_t Total(std::span<const uint64_t> tamanos, uint64_t tamanoRebanada) {
    uint64_t total = 0;
    for (uint64_t t : tamanos)
        total += RebanadasDe(t, tamanoRebanada);
    return total;
}

} // namespace

uint64_t RebanadasDe(uint64_t n, uint64_t tamanoRebanada) {
    return n / tamanoRebanada + (n % tamanoRebanada != 0 ? 1 : 0);
}

std::optional<Reparto> Repartir(std::span<const uint64_t> tamanos, uint64_t volumenes,
                                const Limites& limites) {
    const uint64_t mayor = tamanos.empty() ? 0 : *std::max_element(tamanos.begin(), tamanos.end());
    if (mayor == 0) return std::nullopt;
    const auto cabe = [&](uint64_t tamano) {
        return Total(tamanos, tamano) <= limites.rebanadasMaximas &&
               volumenes * RebanadasDe(mayor, tamano) <= limites.rebanadasMaximas;
    };
    uint64_t tamano = Redondear(mayor, 4);
    if (tamano > limites.rebanadaMaxima) {
        const uint64_t k = RebanadasDe(mayor, limites.rebanadaMaxima);
        tamano = Redondear(RebanadasDe(mayor, k), 4);
    }
    if (!cabe(tamano)) {
        // The smallest slice size (a multiple of 4) that keeps the set within the bound.
        const uint64_t mayorRedondeado = Redondear(mayor, 4);
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

Franjas PlanearFranjas(uint64_t tamanoRebanada, uint32_t recuperacion, unsigned hilos, unsigned carriles,
                       const Limites& limites) {
    // Per thread: the stripe of each slice of a group and two sets of sums (one in use at a
    // time), a row per recovery slice.
    const uint64_t datos = std::max(carriles, 1u);
    const uint64_t filas = 2 * uint64_t{recuperacion} + datos;
    uint64_t ancho = std::min(limites.franjaMaxima, limites.memoria / (uint64_t{hilos} * filas));
    ancho = std::min(ancho, std::max<uint64_t>(16384, limites.cache / (recuperacion + datos)));
    ancho = std::max<uint64_t>(64, ancho / 64 * 64);
    if (ancho >= tamanoRebanada) return {tamanoRebanada, Redondear(tamanoRebanada, 64), 1};
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
