// SPDX-License-Identifier: GPL-3.0-or-later
#include "DescripcionPar.h"

#include <new>

#include "Bibliotecas.h"

namespace quimbel {

namespace {

struct Recogidos {
    std::vector<FicheroPar> ficheros;
    bool sinMemoria = false;
};

// Nothing throws back through the library.
int32_t Recoger(void* contexto, const FicheroParDescrito* f) {
    auto& r = *static_cast<Recogidos*>(contexto);
    try {
        FicheroPar fichero{f->nombre, f->tamano, f->tamanoRebanada, {}};
        if (f->crcs != nullptr) fichero.crcs.assign(f->crcs, f->crcs + f->rebanadas);
        r.ficheros.push_back(std::move(fichero));
    } catch (const std::bad_alloc&) {
        r.sinMemoria = true;
    }
    return 0;
}

} // namespace

std::optional<std::vector<FicheroPar>> DescribirJuegoPar(const Carpeta& carpeta, const std::string& indice) {
    const ParDescribirFuncion describir = LasBibliotecas().Describir();
    if (describir == nullptr || !carpeta.Abierta()) return std::nullopt;
    Recogidos r;
    const LlamadaParDescribir llamada{sizeof(LlamadaParDescribir),
                                      LLAMADA_PAR_DESCRIBIR_VERSION,
                                      carpeta.Descriptor(),
                                      indice.c_str(),
                                      &Recoger,
                                      &r};
    if (describir(&llamada) != 0 || r.sinMemoria) return std::nullopt;
    return std::move(r.ficheros);
}

} // namespace quimbel
