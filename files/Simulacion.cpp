// SPDX-License-Identifier: GPL-3.0-or-later
#include "Simulacion.h"

#include <atomic>

namespace quimbel {

namespace {

std::atomic<int64_t> discoRestante{-1};
std::atomic<int64_t> lecturaRestante{-1};
std::atomic<bool> sinOpenat2{false};

// Takes n bytes from a simulated device's allowance; false when they no longer fit.
bool Cabe(std::atomic<int64_t>& restante, size_t n) {
    int64_t resto = restante.load(std::memory_order_relaxed);
    while (resto >= 0) {
        if (static_cast<int64_t>(n) > resto) return false;
        if (restante.compare_exchange_weak(resto, resto - static_cast<int64_t>(n))) return true;
    }
    return true;
}

} // namespace

bool CabeEnDisco(size_t n) {
    return Cabe(discoRestante, n);
}

bool LecturaSimulada(size_t n) {
    return Cabe(lecturaRestante, n);
}

bool RecorridoSinOpenat2() {
    return sinOpenat2;
}

void SimularDiscoLleno(int64_t bytes) {
    discoRestante.store(bytes < 0 ? -1 : bytes);
}

void SimularFalloDeLectura(int64_t bytes) {
    lecturaRestante.store(bytes < 0 ? -1 : bytes);
}

void ForzarRecorridoSinOpenat2(bool forzar) {
    sinOpenat2 = forzar;
}

} // namespace quimbel
