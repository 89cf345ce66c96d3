// SPDX-License-Identifier: GPL-3.0-or-later
// The workers of a job meet at a barrier phase after phase; one that leaves early, however it
// leaves, never keeps the others waiting.
#include "Avisos.h"
#include "Barrera.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <stdexcept>

namespace quimbel::par {
namespace {

enum class Salida { Fallo, Excepcion, Vuelta };

// Worker 0 leaves at once; the other two go through five phases. Ends with the first failure.
Fallo Trabajar(Salida como, std::atomic<int>& fases) {
    Avisos avisos(nullptr);
    Barrera barrera(3, [&] { ++fases; });
    return avisos.EnParalelo(3, barrera, [&](unsigned h, PuestoEnBarrera& puesto) -> Fallo {
        if (h == 0) {
            if (como == Salida::Fallo) return FalloPar{CodigoFallo::Entrada, "¡ Error al leer fichero x !"};
            if (como == Salida::Excepcion) throw std::runtime_error("roto");
            return std::nullopt;
        }
        for (int f = 0; f < 5; ++f)
            puesto.Esperar();
        return std::nullopt;
    });
}

TEST(BarreraPar, UnTrabajadorQueSaleAntesNoDejaEsperandoALosDemas) {
    for (const Salida como : {Salida::Fallo, Salida::Excepcion, Salida::Vuelta}) {
        std::atomic<int> fases{0};
        auto fin = std::async(std::launch::async, [&] { return Trabajar(como, fases); });
        ASSERT_EQ(fin.wait_for(std::chrono::seconds(20)), std::future_status::ready)
            << "a worker waits for ever (" << static_cast<int>(como) << ")";
        const Fallo fallo = fin.get();
        EXPECT_EQ(fases, 5);
        ASSERT_EQ(fallo.has_value(), como != Salida::Vuelta);
        if (como == Salida::Fallo) {
            EXPECT_EQ(fallo->linea, "¡ Error al leer fichero x !");
        } else if (como == Salida::Excepcion) {
            EXPECT_EQ(fallo->codigo, CodigoFallo::Interno);
        }
    }
}

} // namespace
} // namespace quimbel::par
