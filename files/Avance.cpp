// SPDX-License-Identifier: GPL-3.0-or-later
#include "Avance.h"

#include <algorithm>
#include <atomic>
#include <thread>

namespace quimbel {

namespace {
std::atomic<int64_t> pausa{0}; // milliseconds
}

void RalentizarAvance(std::chrono::milliseconds porLlamada) {
    pausa = porLlamada.count();
}

Avance::Avance(Ventana& ventana, int64_t total) : ventana_(ventana), total_(std::max<int64_t>(total, 0)) {
    Mostrar(true);
}

Avance::~Avance() {
    ventana_.Progreso(0, -1);
}

void Avance::Sumar(int64_t bytes) {
    if (const int64_t ms = pausa.load(); ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    hechos_ += bytes;
    Mostrar(false);
}

void Avance::Poner(int64_t hechos) {
    hechos_ = hechos;
    Mostrar(false);
}

void Avance::Mostrar(bool ahora) {
    const auto momento = std::chrono::steady_clock::now();
    // The end of a step always shows, however soon after the last time.
    const bool completo = hechos_ >= total_ && mostrado_ != hechos_;
    if (!ahora && !completo && momento - ultima_ < IntervaloRepintado) return;
    ultima_ = momento;
    mostrado_ = hechos_;
    ventana_.Progreso(std::min(hechos_, total_), total_);
    ventana_.Repintar();
}

} // namespace quimbel
