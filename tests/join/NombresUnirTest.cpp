// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "join/PlanUnir.h"
#include "join/PropuestaDestino.h"

namespace quimbel {
namespace {

PlanUnir Numerado(std::string ext, bool ceros) {
    PlanUnir p;
    p.ExtTrozos = std::move(ext);
    p.CerosTrozos = ceros;
    return p;
}

TEST(NumeracionUnir, LosCerosSeConservanYElPuntoNuncaSePierde) {
    const PlanUnir tres = Numerado(".001", true);
    EXPECT_EQ(ExtensionDeTrozo(tres, 2), ".002");
    EXPECT_EQ(ExtensionDeTrozo(tres, 10), ".010");
    EXPECT_EQ(ExtensionDeTrozo(tres, 100), ".100");
    EXPECT_EQ(ExtensionDeTrozo(tres, 999), ".999");
    EXPECT_EQ(ExtensionDeTrozo(tres, 1000), ".1000");
    EXPECT_EQ(ExtensionDeTrozo(tres, 12345), ".12345");
    const PlanUnir cuatro = Numerado(".0998", true);
    EXPECT_EQ(ExtensionDeTrozo(cuatro, 999), ".0999");
    EXPECT_EQ(ExtensionDeTrozo(cuatro, 1000), ".1000");
    EXPECT_EQ(ExtensionDeTrozo(cuatro, 10000), ".10000");
    const PlanUnir sinCeros = Numerado(".1", false);
    EXPECT_EQ(ExtensionDeTrozo(sinCeros, 2), ".2");
    EXPECT_EQ(ExtensionDeTrozo(sinCeros, 10), ".10");
    EXPECT_EQ(NombreTrozoUnir("/t/pelicula.999", tres, 1000), "/t/pelicula.1000");
    EXPECT_EQ(NombreTrozoUnir("/t/copia.tar.001", tres, 2), "/t/copia.tar.002");
}

TEST(NumeracionUnir, ElTrozoFinSoloEnUnJuegoFinYConSuPropiaGrafia) {
    PlanUnir ca{.PrimerTrozo = 1,
                .UltimoTrozo = 3,
                .TrozoFin = 3,
                .ExtTrozos = ".fin",
                .CerosTrozos = false,
                .TamCabeceraHacha = 0,
                .ExtFicUnido = ".avi",
                .ExtFin = {},
                .TamFuente = 0,
                .TamTrozo = 0};
    EXPECT_EQ(NombreTrozoUnir("/t/pelicula.fin", ca, 1), "/t/pelicula.1");
    EXPECT_EQ(NombreTrozoUnir("/t/pelicula.fin", ca, 3), "/t/pelicula.fin");
    // The spelling found on disk, whichever piece is the base.
    ca.ExtFin = ".FIN";
    EXPECT_EQ(NombreTrozoUnir("/t/pelicula.FIN", ca, 3), "/t/pelicula.FIN");
    EXPECT_EQ(NombreTrozoUnir("/t/pelicula.2", ca, 3), "/t/pelicula.FIN");
    EXPECT_EQ(NombreTrozoUnir("/t/pelicula.FIN", ca, 2), "/t/pelicula.2");
    EXPECT_EQ(InicioDatosTrozo(ca, 3), 17);
    EXPECT_EQ(InicioDatosTrozo(ca, 2), 0);
    // A numbered set's last piece is no ".fin" piece, though TrozoFin names it.
    PlanUnir num = Numerado(".001", true);
    num.UltimoTrozo = num.TrozoFin = 3;
    EXPECT_EQ(NombreTrozoUnir("/t/pelicula.001", num, 3), "/t/pelicula.003");
    EXPECT_EQ(InicioDatosTrozo(num, 3), 0);
    // Only piece 0 of a set with a header skips it.
    PlanUnir hacha{.PrimerTrozo = 0,
                   .UltimoTrozo = 2,
                   .TrozoFin = 3,
                   .ExtTrozos = ".0",
                   .CerosTrozos = false,
                   .TamCabeceraHacha = 57,
                   .ExtFicUnido = ".0",
                   .ExtFin = {},
                   .TamFuente = 25,
                   .TamTrozo = 10};
    EXPECT_EQ(InicioDatosTrozo(hacha, 0), 57);
    EXPECT_EQ(InicioDatosTrozo(hacha, 1), 0);
    hacha.TamCabeceraHacha = 0;
    EXPECT_EQ(InicioDatosTrozo(hacha, 0), 0);
}

TEST(PropuestaDestinoUnir, SoloConBaseYDestinoVacioYConLasComillasDeLaBase) {
    PlanUnir plan;
    plan.ExtFicUnido = ".avi";
    EXPECT_EQ(PropuestaDestino("/t/pelicula.001", "", plan), "/t/pelicula.avi");
    EXPECT_EQ(PropuestaDestino("\"/t/mi pelicula.001\"", "", plan), "\"/t/mi pelicula.avi\"");
    EXPECT_EQ(PropuestaDestino("", "", plan), std::nullopt);
    EXPECT_EQ(PropuestaDestino("/t/pelicula.001", "/t/otro", plan), std::nullopt);
    plan.ExtFicUnido = "";
    EXPECT_EQ(PropuestaDestino("/t/datos.fin", "", plan), "/t/datos");
    plan.ExtFicUnido = ".0";
    EXPECT_EQ(PropuestaDestino("/t/pelicula.0", "", plan), "/t/pelicula.0");
    // An extension from a crafted header never takes the name out of the base's folder.
    plan.ExtFicUnido = ".mpg/../../x";
    EXPECT_EQ(PropuestaDestino("/t/pelicula.fin", "", plan), "/t/pelicula.mpg");
    plan.ExtFicUnido = std::string("\0/x", 3);
    EXPECT_EQ(PropuestaDestino("/t/pelicula.fin", "", plan), "/t/pelicula");
}

} // namespace
} // namespace quimbel
