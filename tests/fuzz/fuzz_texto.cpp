// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target for the text reader: any bytes as a file read line by line. Every line is
// bounded, holds no line end, and the lines with their ends never outgrow the file.
#include <cstdint>
#include <string>

#include "Exigir.h"
#include "files/Texto.h"

using quimbel::fuzz::Exigir;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t n) {
    using namespace quimbel;
    const std::string& ruta = fuzz::FicheroDeEntrada(datos, n);
    TextoEntrada texto;
    Exigir(AbrirTexto(texto, ruta).Bien());
    std::string linea;
    size_t total = 0;
    while (texto.LeerLinea(linea)) {
        Exigir(linea.size() <= MaxLinea);
        Exigir(linea.find_first_of("\r\n\x1A") == std::string::npos);
        total += linea.size() + 1;
    }
    Exigir(texto.Error().Bien());
    // The last line may end with the file rather than with a line end.
    Exigir(total <= n + 1);
    return 0;
}
