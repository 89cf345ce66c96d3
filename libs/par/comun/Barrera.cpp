// SPDX-License-Identifier: GPL-3.0-or-later
#include "Barrera.h"

namespace quimbel::par {

void Barrera::Completar() {
    if (alCompletar_) alCompletar_();
    llegados_ = 0;
    ++fase_;
    fin_.notify_all();
}

void Barrera::Esperar() {
    std::unique_lock bloqueo(mutex_);
    const uint64_t fase = fase_;
    if (++llegados_ >= esperados_) {
        Completar();
        return;
    }
    fin_.wait(bloqueo, [&] { return fase_ != fase; });
}

void Barrera::Salir() {
    const std::lock_guard bloqueo(mutex_);
    if (esperados_ > 0) --esperados_;
    if (esperados_ > 0 && llegados_ >= esperados_) Completar();
}

} // namespace quimbel::par
