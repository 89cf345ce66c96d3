// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "split/CajaTamano.h"
#include "support/Grabadora.h"

namespace quimbel {
namespace {

using prueba::Grabadora;

const std::string Pregunta = "¡ El número es muy pequeño !, ¿ Estás seguro ?";
const std::string NoValido = "¡ Debes introducir un número válido !";

TEST(CajaTamano, AlCambiar) {
    EXPECT_EQ(AlCambiarTamano(""), CambioTamano::VaciarPlan);
    for (const char* texto :
         {"a", "12a", "-", " ", "10 ", "0x", "1.5", "4.", "4Gx", "4GBB", "5KiB", "99999999999999999999"})
        EXPECT_EQ(AlCambiarTamano(texto), CambioTamano::BorrarTexto) << texto;
    // Below 1 is still a size while typing, and so is a unit on its way; only leaving the box
    // refuses 0.
    for (const char* texto : {"0", "05000", "-5", "500", " 1000", "$FF", "0x10", "2147483648", "4294967295",
                              "9223372036854775807", "7M", "7MB", "4g", "4gb"})
        EXPECT_EQ(AlCambiarTamano(texto), CambioTamano::Tamano) << texto;
}

TEST(CajaTamano, AlSalirRechazaSinPreguntar) {
    Grabadora v;
    EXPECT_EQ(AlSalirDeTamano(v, "", true, 1000), SalidaTamano::VaciarPlan);
    EXPECT_TRUE(v.errores.empty());
    for (const char* texto : {"abc", "10 ", "0", "-5", "-2147483648"}) {
        Grabadora g;
        EXPECT_EQ(AlSalirDeTamano(g, texto, false, 0), SalidaTamano::BorrarTexto) << texto;
        EXPECT_EQ(g.errores, std::vector<std::string>{NoValido}) << texto;
        EXPECT_TRUE(g.preguntas.empty()) << texto;
    }
}

TEST(CajaTamano, AlSalirPreguntaPorDebajoDeMil) {
    for (const Respuesta r : {Respuesta::No, Respuesta::Cancelar}) {
        Grabadora v;
        v.respuestas = {r};
        EXPECT_EQ(AlSalirDeTamano(v, "500", true, 2000), SalidaTamano::Nada);
        EXPECT_EQ(v.preguntas, std::vector<std::string>{Pregunta});
        EXPECT_TRUE(v.errores.empty());
    }
    Grabadora v;
    v.respuestas = {Respuesta::Si, Respuesta::Si, Respuesta::Si};
    EXPECT_EQ(AlSalirDeTamano(v, "500", true, 2000), SalidaTamano::Planificar);
    EXPECT_EQ(AlSalirDeTamano(v, "500", true, 500), SalidaTamano::Conservar);
    EXPECT_EQ(AlSalirDeTamano(v, "1", false, 1), SalidaTamano::Planificar)
        << "sin plan en vigor se planifica";
    EXPECT_EQ(v.preguntas.size(), 3u);
    EXPECT_EQ(AlSalirDeTamano(v, "999", true, 999), SalidaTamano::Nada)
        << "sin respuesta no hay consentimiento";
}

TEST(CajaTamano, AlSalirDesdeMilSinPregunta) {
    Grabadora v;
    EXPECT_EQ(AlSalirDeTamano(v, "1000", false, 1000), SalidaTamano::Planificar);
    EXPECT_EQ(AlSalirDeTamano(v, "1000", true, 1000), SalidaTamano::Conservar);
    EXPECT_EQ(AlSalirDeTamano(v, "0x3E8", true, 1000), SalidaTamano::Conservar) << "se compara el valor";
    EXPECT_EQ(AlSalirDeTamano(v, " 1000", true, 1000), SalidaTamano::Conservar);
    EXPECT_EQ(AlSalirDeTamano(v, "1001", true, 1000), SalidaTamano::Planificar);
    EXPECT_EQ(AlSalirDeTamano(v, "1K", true, 1024), SalidaTamano::Conservar) << "1K no pregunta";
    EXPECT_EQ(AlSalirDeTamano(v, "1KB", true, 1024), SalidaTamano::Planificar);
    EXPECT_EQ(AlSalirDeTamano(v, "4G", true, 4294967296), SalidaTamano::Conservar);
    EXPECT_EQ(AlSalirDeTamano(v, "4294967296", true, 0), SalidaTamano::Planificar);
    EXPECT_TRUE(v.preguntas.empty());
    EXPECT_TRUE(v.errores.empty());
}

} // namespace
} // namespace quimbel
