// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The kernels of the arithmetic and of MD5: one portable (GF-Complete, OpenSSL), which is
// also the reference, and one per instruction set. A job takes the best the processor
// offers unless its bounds force one (the tests do, to compare each with the reference).
#include <string_view>
#include <vector>

namespace quimbel::par {

enum class NucleoGalois { Automatico, Portable, Avx2, Avx512, Gfni, Gfni512 };
enum class NucleoMd5 { Automatico, Portable, Avx2, Avx512 };

// Whether the processor and the operating system let the kernel run (Automatico and
// Portable always).
bool Disponible(NucleoGalois nucleo);
bool Disponible(NucleoMd5 nucleo);

// The kernel a job runs: the one asked for when available, otherwise the best available.
NucleoGalois Elegir(NucleoGalois pedido);
NucleoMd5 Elegir(NucleoMd5 pedido);

// Short names ("portable", "avx2", "avx512bw", "gfni", "gfni512"), and every kernel but
// Automatico.
std::string_view Nombre(NucleoGalois nucleo);
std::string_view Nombre(NucleoMd5 nucleo);
std::vector<NucleoGalois> TodosGalois();
std::vector<NucleoMd5> TodosMd5();

} // namespace quimbel::par
