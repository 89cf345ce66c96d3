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

std::optional<Reparto> Repartir(std::span<const uint64_t> tamanos, const Limites& limites) {
    const uint64_t mayor = tamanos.empty() ? 0 : *std::max_element(tamanos.begin(), tamanos.end());
    if (mayor == 0) return std::nullopt;
    uint64_t tamano = Redondear(mayor, 4);
    if (tamano > limites.rebanadaMaxima) {
        const uint64_t k = RebanadasDe(mayor, limites.rebanadaMaxima);
        tamano = Redondear(RebanadasDe(mayor, k), 4);
    }
    if (Total(tamanos, tamano) > limites.rebanadasMaximas) {
        // The smallest slice size (a multiple of 4) that keeps the set within the bound.
        const uint64_t mayorRedondeado = Redondear(mayor, 4);
        if (Total(tamanos, mayorRedondeado) > limites.rebanadasMaximas) return std::nullopt;
        uint64_t bajo = tamano / 4, alto = mayorRedondeado / 4;
        while (bajo < alto) {
            const uint64_t medio = bajo + (alto - bajo) / 2;
            if (Total(tamanos, medio * 4) <= limites.rebanadasMaximas)
                alto = medio;
            else
                bajo = medio + 1;
        }
        tamano = alto * 4;
    }
    return Reparto{tamano, static_cast<uint32_t>(RebanadasDe(mayor, tamano)),
                   static_cast<uint32_t>(Total(tamanos, tamano))};
}

Franjas PlanearFranjas(uint64_t tamanoRebanada, uint32_t recuperacion, unsigned hilos,
                       const Limites& limites) {
    // Per thread: the stripe's data and one row of sums per recovery slice.
    const uint64_t filas = uint64_t{recuperacion} + 1;
    uint64_t ancho = std::min(limites.franjaMaxima, limites.memoria / (uint64_t{hilos} * filas));
    if (recuperacion > 0) ancho = std::min(ancho, std::max<uint64_t>(16384, limites.cache / filas));
    ancho = std::max<uint64_t>(64, ancho / 64 * 64);
    if (ancho >= tamanoRebanada) return {tamanoRebanada, Redondear(tamanoRebanada, 64), 1};
    return {ancho, ancho, RebanadasDe(tamanoRebanada, ancho)};
}

} // namespace quimbel::par
