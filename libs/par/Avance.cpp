#include "libs/par/Avance.h"

#include <algorithm>

namespace quimbel::par {

std::string LineaAvance(uint64_t hecho, uint64_t total) {
    // Appended in place: GCC 12 warns falsely on a chain of temporaries here at -O3.
    std::string linea = LLAMADA_PAR_AVANCE;
    linea += std::to_string(hecho);
    linea += '/';
    linea += std::to_string(total);
    return linea;
}

Avance::Avance(Avisos& avisos, uint64_t total) : avisos_(avisos), total_(total) {
    avisos_.Decir(LineaAvance(0, total_));
}

void Avance::Sumar(uint64_t n) {
    const uint64_t hecho = std::min(total_, hecho_ += n);
    // Counted in doubles: a total near 2^64 bytes never overflows the product.
    const auto milesimas = static_cast<uint64_t>(static_cast<double>(hecho) * 1000.0 /
                                                 static_cast<double>(std::max<uint64_t>(total_, 1)));
    uint64_t anterior = milesimas_.load();
    while (milesimas > anterior)
        if (milesimas_.compare_exchange_weak(anterior, milesimas)) {
            avisos_.Enviar(LineaAvance(hecho, total_));
            return;
        }
}

void Avance::Terminar() {
    avisos_.Decir(LineaAvance(total_, total_));
}

} // namespace quimbel::par
