// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target for both piece headers as the join reads them: any bytes as the start of a
// ".fin" piece and as a whole CabeceraHacha. What reads back must describe those bytes, and
// what the split writes from it must read back the same.
#include <cstdint>
#include <span>
#include <string>

#include "Exigir.h"
#include "files/Cabeceras.h"

using quimbel::fuzz::Exigir;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t n) {
    using namespace quimbel;
    const std::span<const unsigned char> bytes(datos, n);
    if (const auto ca = LeerCabeceraCA(bytes)) {
        Exigir(ca->tamano == TamFijoCabeceraCA + ca->extension.size() && ca->tamano <= n);
        const auto vuelta = CabeceraCA(ca->n, ca->extension);
        Exigir(LeerCabeceraCA(vuelta)->extension == ca->extension && LeerCabeceraCA(vuelta)->n == ca->n);
    } else {
        Exigir(n < TamFijoCabeceraCA || n < TamFijoCabeceraCA + datos[TamFijoCabeceraCA - 1]);
    }
    if (n >= TamPruebaHacha) {
        const bool esHacha =
            EsCabeceraHacha(std::span<const unsigned char, TamPruebaHacha>(datos, TamPruebaHacha));
        for (const int i : {0, 1, 2, 3, 4, 9, 10, 11, 12, 13})
            if (esHacha) Exigir(datos[i] == '?');
    }
    if (const auto textos = TextosCabeceraHacha(bytes)) {
        // The numbers never hold a "?", and the three texts with their markers are the header.
        for (size_t i = 1; i < 3; ++i)
            Exigir((*textos)[i].find('?') == std::string::npos);
        const size_t largo =
            (*textos)[0].size() + (*textos)[1].size() + (*textos)[2].size() + 4 * MarcaHacha.size();
        Exigir(TamAntesDeHacha + largo == n);
        const std::string nombre = NombreSeguro((*textos)[0]);
        Exigir(nombre.find('/') == std::string::npos && nombre.find('\0') == std::string::npos);
        Exigir(nombre != "." && nombre != "..");
    }
    return 0;
}
