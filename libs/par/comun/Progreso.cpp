// SPDX-License-Identifier: GPL-3.0-or-later
#include "Progreso.h"

#include "LlamadaPar.h"

#include <algorithm>

namespace quimbel::par {

std::string TextoAvance(uint64_t hecho, uint64_t total) {
    // Appended in place: GCC 12 warns falsely on a chain of temporaries here at -O3.
    std::string texto = LLAMADA_PAR_AVANCE;
    texto += std::to_string(hecho);
    texto += '/';
    texto += std::to_string(total);
    return texto;
}

Progreso::Progreso(Avisos& avisos, uint64_t total)
    : avisos_(avisos), anterior_(avisos.enCurso_), total_(total) {
    avisos_.enCurso_ = this;
    avisos_.Decir(TextoAvance(0, total_));
}

Progreso::~Progreso() {
    avisos_.enCurso_ = anterior_;
}

void Progreso::Sumar(uint64_t n) {
    const uint64_t hecho = std::min(total_, hecho_ += n);
    // Counted in doubles: a total near 2^64 bytes never overflows the product.
    const auto milesimas = static_cast<uint64_t>(static_cast<double>(hecho) * 1000.0 /
                                                 static_cast<double>(std::max<uint64_t>(total_, 1)));
    uint64_t anterior = milesimas_.load();
    while (milesimas > anterior)
        if (milesimas_.compare_exchange_weak(anterior, milesimas)) {
            avisos_.Enviar(TextoAvance(hecho, total_));
            return;
        }
}

void Progreso::Terminar() {
    avisos_.Decir(TextoAvance(total_, total_));
}

} // namespace quimbel::par
