// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the SFV line reader: any bytes as one line. Checks that an entry
// always puts the line back together and that a CRC value reads back from its digits.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "verify/LineaSfv.h"

namespace {
void Exigir(bool condicion) {
    if (!condicion) std::abort();
}
bool EsHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t n) {
    using namespace quimbel;
    const std::string_view linea(reinterpret_cast<const char*>(datos), n);
    const auto entrada = LeerLineaSfv(linea);
    if (!entrada) {
        // No entry: empty, a comment, no blank before the last character, or a NUL in the name.
        const size_t blanco = linea.size() < 2 ? std::string_view::npos : linea.rfind(' ', linea.size() - 2);
        Exigir(linea.size() < 2 || linea.front() == ';' || blanco == std::string_view::npos ||
               linea.substr(0, blanco).find('\0') != std::string_view::npos);
        return 0;
    }
    Exigir(linea.front() != ';');
    Exigir(entrada->nombre + " " + entrada->textoCrc == linea);
    Exigir(entrada->nombre.find('\0') == std::string::npos);
    Exigir(!entrada->textoCrc.empty());
    const size_t blanco = entrada->textoCrc.find(' ');
    Exigir(blanco == std::string_view::npos || blanco + 1 == entrada->textoCrc.size());
    if (const auto valor = LeerCrcSfv(entrada->textoCrc)) {
        for (char c : entrada->textoCrc)
            Exigir(EsHex(c));
        char texto[9];
        std::snprintf(texto, sizeof texto, "%8.8x", *valor);
        Exigir(LeerCrcSfv(texto) == valor);
    }
    return 0;
}
