// SPDX-License-Identifier: GPL-3.0-or-later
#include "Nucleos.h"

#include "Procesador.h"

namespace quimbel::par {

bool Disponible(NucleoGalois nucleo) {
    const Extensiones& x = ExtensionesDelProcesador();
    switch (nucleo) {
    case NucleoGalois::Avx2:
        return x.avx2;
    case NucleoGalois::Avx512:
        return x.avx512bw;
    case NucleoGalois::Gfni:
        return x.gfni;
    case NucleoGalois::Gfni512:
        return x.gfni && x.avx512bw;
    default:
        return true;
    }
}

bool Disponible(NucleoMd5 nucleo) {
    const Extensiones& x = ExtensionesDelProcesador();
    switch (nucleo) {
    case NucleoMd5::Avx2:
        return x.avx2;
    case NucleoMd5::Avx512:
        return x.avx512bw;
    default:
        return true;
    }
}

NucleoGalois Elegir(NucleoGalois pedido) {
    if (pedido != NucleoGalois::Automatico && Disponible(pedido)) return pedido;
    // By speed where each runs (AMD Zen 4 measured; see bench_nucleos).
    for (NucleoGalois n :
         {NucleoGalois::Gfni512, NucleoGalois::Avx512, NucleoGalois::Gfni, NucleoGalois::Avx2})
        if (Disponible(n)) return n;
    return NucleoGalois::Portable;
}

NucleoMd5 Elegir(NucleoMd5 pedido) {
    if (pedido != NucleoMd5::Automatico && Disponible(pedido)) return pedido;
    for (NucleoMd5 n : {NucleoMd5::Avx512, NucleoMd5::Avx2})
        if (Disponible(n)) return n;
    return NucleoMd5::Portable;
}

std::string_view Nombre(NucleoGalois nucleo) {
    switch (nucleo) {
    case NucleoGalois::Automatico:
        return "automatico";
    case NucleoGalois::Portable:
        return "portable";
    case NucleoGalois::Avx2:
        return "avx2";
    case NucleoGalois::Avx512:
        return "avx512bw";
    case NucleoGalois::Gfni:
        return "gfni";
    case NucleoGalois::Gfni512:
        return "gfni512";
    }
    return "?";
}

std::string_view Nombre(NucleoMd5 nucleo) {
    switch (nucleo) {
    case NucleoMd5::Automatico:
        return "automatico";
    case NucleoMd5::Portable:
        return "portable";
    case NucleoMd5::Avx2:
        return "avx2";
    case NucleoMd5::Avx512:
        return "avx512bw";
    }
    return "?";
}

std::vector<NucleoGalois> TodosGalois() {
    return {NucleoGalois::Portable, NucleoGalois::Avx2, NucleoGalois::Avx512, NucleoGalois::Gfni,
            NucleoGalois::Gfni512};
}

std::vector<NucleoMd5> TodosMd5() {
    return {NucleoMd5::Portable, NucleoMd5::Avx2, NucleoMd5::Avx512};
}

} // namespace quimbel::par
