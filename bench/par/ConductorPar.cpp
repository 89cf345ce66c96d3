// SPDX-License-Identifier: GPL-3.0-or-later
// conductor-par LIBRERIA NUMERO RUTA_PAR TROZO...
// Loads the parity library and calls call_par with the vector the split's PAR step
// builds: "par.exe", "add", "-n<NUMERO>", "-m", "+C", "--", RUTA_PAR, the pieces (bare
// names, in the current folder). Prints the library's lines; exits with its result.
#include "libs/par/include/LlamadaPar.h"

#include <dlfcn.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

int32_t Mostrar(const char* texto) {
    std::puts(texto);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5 || argc - 4 > LLAMADA_PAR_ENTRADAS - 8) {
        std::fprintf(stderr, "uso: conductor-par LIBRERIA NUMERO RUTA_PAR TROZO...\n");
        return 2;
    }
    void* biblioteca = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (biblioteca == nullptr) {
        std::fprintf(stderr, "%s\n", dlerror());
        return 2;
    }
    auto* callPar = reinterpret_cast<CallParFuncion>(dlsym(biblioteca, "call_par"));
    if (callPar == nullptr) {
        std::fprintf(stderr, "call_par no encontrada\n");
        return 2;
    }
    std::vector<std::string> textos{"par.exe", "add", std::string("-n") + argv[2], "-m", "+C", "--"};
    for (int i = 3; i < argc; ++i)
        textos.emplace_back(argv[i]);
    LlamadaPar llamada{};
    llamada.progreso = Mostrar;
    llamada.cuenta = static_cast<int32_t>(textos.size());
    for (size_t i = 0; i < textos.size(); ++i)
        llamada.argumentos[i] = textos[i].data();
    const int32_t resultado = callPar(&llamada);
    std::fflush(stdout);
    return resultado == 0 ? 0 : 1;
}
