// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target for the ini reader: any bytes as the settings file. The keys of a section are
// trimmed and never hold a line end; writing a key keeps every other line and reads back.
#include <cstdint>
#include <string>

#include "Exigir.h"
#include "app/ajustes/Perfil.h"

using quimbel::fuzz::Exigir;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t n) {
    using namespace quimbel;
    const std::string& ruta = fuzz::FicheroDeEntrada(datos, n);
    const Perfil perfil(ruta);
    for (const auto& [clave, valor] : perfil.LeerSeccion("Main")) {
        Exigir(clave.find_first_of("\r\n") == std::string::npos &&
               valor.find_first_of("\r\n") == std::string::npos);
        Exigir(clave.empty() || (clave.front() != ' ' && clave.back() != ' '));
    }
    if (perfil.EscribirClave("Main", "FormLeft", "306").Bien()) {
        bool hallada = false;
        for (const auto& [clave, valor] : perfil.LeerSeccion("Main"))
            if (IgualesSinMayusculas(clave, "FormLeft") && valor == "306") hallada = true;
        Exigir(hallada);
    }
    return 0;
}
