// SPDX-License-Identifier: GPL-3.0-or-later
// Throughput of the parity library's kernels on one core, beside the memory read
// bandwidth measured in the same run, so that the distance to the limit shows: the
// GF(2^16) multiply-add over 64 KiB and 4 MiB regions (one source, and 16 sources into one
// destination in one pass), and MD5 with 1, 8, 16 and 32 streams. Kernels the processor lacks
// are named and left out. Best of three runs of at least 0.2 s of the thread's processor
// time each.
#include "Galois.h"
#include "Md5Varios.h"
#include "Memoria.h"
#include "Nucleos.h"

#include <time.h>

#include <cstdio>
#include <functional>
#include <random>
#include <vector>

namespace {

using namespace quimbel::par;

// Seconds of processor time this thread has used: per core, and unaffected by other
// processes that share the machine.
double TiempoDeHilo() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// GB/s of a task that handles `bytes` per call; the clock (a system call) is read once
// per 4 MiB or so.
double Medir(uint64_t bytes, const std::function<void()>& tarea) {
    const uint64_t tanda = std::max<uint64_t>(1, (uint64_t{4} << 20) / bytes);
    double mejor = 0;
    for (int ronda = 0; ronda < 3; ++ronda) {
        uint64_t hechos = 0;
        const double inicio = TiempoDeHilo();
        double pasado = 0;
        do {
            for (uint64_t i = 0; i < tanda; ++i)
                tarea();
            hechos += tanda * bytes;
            pasado = TiempoDeHilo() - inicio;
        } while (pasado < 0.2);
        mejor = std::max(mejor, static_cast<double>(hechos) / pasado / 1e9);
    }
    return mejor;
}

Memoria Azar(size_t n, unsigned semilla) {
    Memoria m(n);
    std::mt19937_64 azar(semilla);
    for (size_t i = 0; i + 8 <= n; i += 8) {
        const uint64_t v = azar();
        std::copy_n(reinterpret_cast<const uint8_t*>(&v), 8, m.Datos() + i);
    }
    return m;
}

// Reading 512 MiB with eight running sums, so that loads alone limit it.
double AnchoDeMemoria() {
    const size_t n = size_t{512} << 20;
    const Memoria m = Azar(n, 1);
    volatile uint64_t sumidero = 0;
    return Medir(n, [&] {
        const auto* p = reinterpret_cast<const uint64_t*>(m.Datos());
        uint64_t s[8] = {};
        for (size_t i = 0; i < n / 8; i += 8)
            for (int k = 0; k < 8; ++k)
                s[k] += p[i + static_cast<size_t>(k)];
        sumidero = sumidero + s[0] + s[1] + s[2] + s[3] + s[4] + s[5] + s[6] + s[7];
    });
}

} // namespace

int main() {
    std::printf("Lectura de memoria: %6.2f GB/s\n\n", AnchoDeMemoria());

    std::printf("Multiplicar-sumar GF(2^16), GB/s de origen por núcleo\n");
    std::printf("%-10s %12s %12s %16s %16s\n", "núcleo", "64 KiB", "4 MiB", "16 x 64 KiB", "16 x 4 MiB");
    for (NucleoGalois n : TodosGalois()) {
        if (!Disponible(n)) {
            std::printf("%-10s (el procesador no lo tiene)\n", std::string(Nombre(n)).c_str());
            continue;
        }
        RegionGalois region(n);
        std::printf("%-10s", std::string(Nombre(n)).c_str());
        for (size_t fuentes : {size_t{1}, size_t{16}})
            for (size_t bytes : {size_t{64} << 10, size_t{4} << 20}) {
                std::vector<Memoria> origenes;
                std::vector<const uint8_t*> punteros;
                std::vector<uint16_t> factores;
                for (size_t i = 0; i < fuentes; ++i) {
                    origenes.push_back(Azar(bytes, static_cast<unsigned>(i + 2)));
                    punteros.push_back(origenes.back().Datos());
                    factores.push_back(static_cast<uint16_t>(0x1234 + 77 * i));
                }
                Memoria destino = Azar(bytes, 99);
                const double gbs = Medir(bytes * fuentes, [&] {
                    region.Combinar(punteros, factores, destino.Datos(), bytes, true);
                });
                std::printf(" %*.2f", fuentes == 1 ? 12 : 16, gbs);
            }
        std::printf("\n");
    }

    std::printf("\nMD5, GB/s por núcleo según los flujos a la vez (4 MiB cada uno)\n");
    std::printf("%-10s %10s %10s %10s %10s\n", "núcleo", "1", "8", "16", "32");
    const size_t porFlujo = size_t{4} << 20;
    const Memoria datos = Azar(32 * porFlujo, 5);
    for (NucleoMd5 n : TodosMd5()) {
        if (!Disponible(n)) {
            std::printf("%-10s (el procesador no lo tiene)\n", std::string(Nombre(n)).c_str());
            continue;
        }
        std::printf("%-10s", std::string(Nombre(n)).c_str());
        for (size_t flujos : {size_t{1}, size_t{8}, size_t{16}, size_t{32}}) {
            Md5Varios md5(flujos, n);
            std::vector<Md5Varios::Porcion> porciones;
            for (size_t f = 0; f < flujos; ++f)
                porciones.push_back({f, datos.Datos() + f * porFlujo, porFlujo});
            std::printf(" %10.2f", Medir(flujos * porFlujo, [&] { md5.Anadir(porciones); }));
        }
        std::printf("\n");
    }
    return 0;
}
