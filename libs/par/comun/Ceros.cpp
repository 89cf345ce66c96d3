// SPDX-License-Identifier: GPL-3.0-or-later
#include "Ceros.h"

namespace quimbel::par {

const uint8_t* Ceros() {
    alignas(64) static const uint8_t ceros[TamanoCeros] = {};
    return ceros;
}

} // namespace quimbel::par
