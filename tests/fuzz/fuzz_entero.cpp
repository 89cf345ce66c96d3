// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target for the integer reading: any text. A value read back from its own decimal
// writing is the same value, and a decimal 64-bit size likewise.
#include <cstdint>
#include <string>
#include <string_view>

#include "Exigir.h"
#include "files/Entero.h"

using quimbel::fuzz::Exigir;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t n) {
    using namespace quimbel;
    const std::string_view texto(reinterpret_cast<const char*>(datos), n);
    if (const auto valor = LeerEntero(texto)) {
        Exigir(LeerEntero(std::to_string(*valor)) == valor);
        Exigir(!texto.empty() && texto.back() != ' ');
    }
    if (const auto valor = LeerDecimal64(texto)) {
        Exigir(LeerDecimal64(std::to_string(*valor)) == valor);
        Exigir(texto.find_first_not_of("+-0123456789") == std::string_view::npos);
    }
    return 0;
}
