// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target for the join analysis on a crafted piece: the first byte chooses the piece's
// name (".fin", ".0" or ".001"), the rest is its content. The analysis must never fail
// without a box, never plan more than the piece limit, and never propose a name outside the
// piece's folder.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "Exigir.h"
#include "files/Rutas.h"
#include "files/Trozos.h"
#include "join/AnalisisUnir.h"
#include "join/PropuestaDestino.h"

using quimbel::fuzz::Exigir;

namespace {
const std::string& Carpeta() {
    static const std::string carpeta = [] {
        char plantilla[] = "/tmp/quimbel-fuzz-XXXXXX";
        const char* hecha = mkdtemp(plantilla);
        if (hecha == nullptr) std::abort();
        return std::string(hecha) + "/";
    }();
    return carpeta;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t n) {
    using namespace quimbel;
    if (n == 0) return 0;
    static const char* const extensiones[] = {".fin", ".0", ".001"};
    const std::string trozo = Carpeta() + "p" + extensiones[datos[0] % 3];
    {
        std::ofstream f(trozo, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(datos + 1), static_cast<std::streamsize>(n - 1));
    }
    fuzz::VentanaMuda v;
    const AnalisisUnir a = AnalizarFicheroUnir(v, trozo);
    unlink(trozo.c_str());
    Exigir(a.correcto == (v.errores == 0));
    if (a.destino) {
        Exigir(a.destino->find('/') == std::string::npos && a.destino->find('\0') == std::string::npos);
        Exigir(!a.destino->empty() && *a.destino != "." && *a.destino != "..");
    }
    if (!a.correcto) return 0;
    Exigir(a.plan.UltimoTrozo - a.plan.PrimerTrozo + 1 <= MaxTrozos);
    Exigir(a.tamTrozo >= 0 && a.tamUnido >= 0);
    Exigir(CarpetaDeRuta(NombrePropuesto(trozo, a.plan)) == Carpeta());
    return 0;
}
