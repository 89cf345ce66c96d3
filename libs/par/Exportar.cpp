// The library's one export: call_par, by the fixed record of parity/LlamadaPar.h.
#include "libs/par/Avisos.h"
#include "libs/par/Limites.h"
#include "libs/par/OrdenReparacion.h"
#include "libs/par/Trabajo.h"
#include "libs/par/TrabajoReparacion.h"
#include "parity/LlamadaPar.h"

#include <string>
#include <vector>

extern "C" __attribute__((visibility("default"))) int32_t call_par(LlamadaPar* llamada);

int32_t call_par(LlamadaPar* llamada) {
    if (llamada == nullptr) return 1;
    try {
        quimbel::par::Avisos avisos(llamada->progreso);
        std::vector<std::string> argumentos;
        const bool cuentaValida = llamada->cuenta >= 1 && llamada->cuenta < LLAMADA_PAR_ENTRADAS;
        for (int32_t i = 0; cuentaValida && i < llamada->cuenta && llamada->argumentos[i] != nullptr; ++i)
            argumentos.emplace_back(llamada->argumentos[i]);
        if (!cuentaValida || argumentos.size() != static_cast<size_t>(llamada->cuenta)) {
            avisos.Decir("¡ Error en los argumentos del PAR !");
            return 1;
        }
        if (quimbel::par::EsOrdenReparacion(argumentos))
            return quimbel::par::EjecutarReparacion(argumentos, avisos, quimbel::par::Limites{});
        return quimbel::par::EjecutarPar(argumentos, avisos, quimbel::par::Limites{});
    } catch (...) {
        return 1;
    }
}
