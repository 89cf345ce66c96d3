#include "libs/par/Reparto.h"

#include <algorithm>

namespace quimbel::par {
namespace {

uint64_t Redondear(uint64_t n, uint64_t multiplo) { return (n + multiplo - 1) / multiplo * multiplo; }

uint64_t Total(std::span<const uint64_t> tamanos, uint64_t tamanoRebanada) {
    uint64_t total = 0;
    for (uint64_t t : tamanos) total += RebanadasDe(t, tamanoRebanada);
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

Pasadas PlanearPasadas(uint64_t tamanoRebanada, uint32_t recuperacion, unsigned hilos, const Limites& limites) {
    const uint64_t filaEntera = Redondear(tamanoRebanada, 64);
    if (recuperacion == 0) return {tamanoRebanada, filaEntera, 1};
    const uint64_t lectura = uint64_t{hilos} * (limites.bloqueLectura + 64);
    const uint64_t libre = limites.memoria > lectura ? limites.memoria - lectura : 0;
    const uint64_t porFila = libre / (uint64_t{hilos} * recuperacion);
    if (porFila >= filaEntera) return {tamanoRebanada, filaEntera, 1};
    const uint64_t ancho = std::max<uint64_t>(64, porFila / 64 * 64);
    return {ancho, ancho, static_cast<uint32_t>(RebanadasDe(tamanoRebanada, ancho))};
}

} // namespace quimbel::par
