// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <limits>

#include "AyudaCorte.h"
#include "files/FormatoMiles.h"

namespace quimbel {
namespace {

using namespace prueba;

using Lineas = std::vector<std::string>;

TEST(FormatoMiles, ValorExactoConElSeparadorDado) {
    EXPECT_EQ(FormatoMiles(0, ","), "0");
    EXPECT_EQ(FormatoMiles(999, ","), "999");
    EXPECT_EQ(FormatoMiles(1000, ","), "1,000");
    EXPECT_EQ(FormatoMiles(25000001, "."), "25.000.001") << "sin redondeo a 24 bits";
    EXPECT_EQ(FormatoMiles(1234567891, ","), "1,234,567,891");
    EXPECT_EQ(FormatoMiles(3221225472, "."), "3.221.225.472");
    EXPECT_EQ(FormatoMiles(25000001, ""), "25000001");
    EXPECT_EQ(FormatoMiles(-1234, ","), "-1,234");
    EXPECT_EQ(FormatoMiles(std::numeric_limits<int64_t>::min(), ","), "-9,223,372,036,854,775,808");

    EXPECT_EQ(FormatoMiles10(0, ","), "         0");
    EXPECT_EQ(FormatoMiles10(5000000, "."), " 5.000.000");
    EXPECT_EQ(FormatoMiles10(16777217, ","), "16,777,217") << "diez caracteres justos, sin relleno";
    EXPECT_EQ(FormatoMiles10(1234567891, ","), "1,234,567,891") << "un número más largo no se corta";
    // A separator of several bytes is one character of the column (U+202F, three bytes).
    EXPECT_EQ(FormatoMiles10(5000000, "\u202f"), " 5\u202f000\u202f000");
    EXPECT_EQ(FormatoMiles10(5000000, "''"), "5''000''000") << "dos caracteres cuentan dos";
}

class Plan : public ::testing::Test {
  protected:
    CarpetaTemporal c;
    Grabadora v;
    PlanCorte Preparar(const std::string& fuente, const std::string& tamano,
                       TipoCorte tipo = TipoCorte::Normal, std::string_view separador = ",") {
        return PrepararCorte(v, fuente, tamano, tipo, separador);
    }
};

TEST_F(Plan, SinTamanoUtilSoloMuestraElTamanoDelFichero) {
    EscribirFichero(c / "f.avi", std::string(1234, 'x'));
    // The box may hold none, or (typed past its handlers) something no plan can use.
    for (const std::string tamano : {"", "abc", "10 ", "0", "-5", "-2147483648"}) {
        SCOPED_TRACE("tamaño «" + tamano + "»");
        const PlanCorte p = Preparar(c / "f.avi", tamano);
        EXPECT_FALSE(p.cortePreparado);
        EXPECT_EQ(p.tamFichero, 1234);
        EXPECT_FALSE(p.numTrozos);
        EXPECT_FALSE(p.tamTrozo);
        EXPECT_TRUE(p.lineas.empty());
    }
    EXPECT_TRUE(v.errores.empty()) << "ninguno de estos casos muestra un mensaje";
}

TEST_F(Plan, SinFuenteOFuenteQueNoAbreNoMuestraNada) {
    const PlanCorte vacio = Preparar("", "10");
    EXPECT_FALSE(vacio.cortePreparado || vacio.tamFichero || vacio.numTrozos || vacio.tamTrozo);
    EXPECT_TRUE(v.errores.empty());

    for (const std::string& ruta : {c / "falta.avi", c.Ruta()}) {
        Grabadora g;
        const PlanCorte p = PrepararCorte(g, ruta, "10", TipoCorte::Normal, ",");
        EXPECT_EQ(g.errores, Lineas{"¡ Error al abrir fichero " + ruta + " !"});
        EXPECT_FALSE(p.cortePreparado || p.tamFichero || p.numTrozos || p.tamTrozo);
        EXPECT_TRUE(p.lineas.empty());
    }
}

TEST_F(Plan, LineasDeCadaEsquema) {
    const std::string fuente = c / "pelicula.avi";
    FicheroDisperso(fuente, 25000000);
    const PlanCorte normal = Preparar(fuente, "10000000");
    EXPECT_TRUE(normal.cortePreparado);
    EXPECT_EQ(normal.tamFichero, 25000000);
    EXPECT_EQ(normal.numTrozos, 3);
    EXPECT_EQ(normal.tamTrozo, 10000000);
    EXPECT_EQ(normal.lineas,
              (Lineas{"pelicula.001  10,000,000", "pelicula.002  10,000,000", "pelicula.003   5,000,000"}));
    EXPECT_EQ(normal.origen.fuente, fuente);
    EXPECT_EQ(normal.origen.tamTrozo, 10000000);
    EXPECT_EQ(normal.origen.tamFichero, 25000000);
    EXPECT_EQ(normal.origen.tipo, TipoCorte::Normal);

    const PlanCorte ca = Preparar(fuente, "10000000", TipoCorte::CortaArchivos, ".");
    EXPECT_EQ(ca.lineas,
              (Lineas{"pelicula.1  10.000.000", "pelicula.2  10.000.000", "pelicula.fin   5.000.000"}));
    EXPECT_EQ(ca.origen.tipo, TipoCorte::CortaArchivos);
    const PlanCorte hacha = Preparar(fuente, "10000000", TipoCorte::Hacha);
    EXPECT_EQ(hacha.lineas,
              (Lineas{"pelicula.0  10,000,000", "pelicula.1  10,000,000", "pelicula.2   5,000,000"}));

    // A size in hexadecimal is the same size.
    const PlanCorte hex = Preparar(fuente, "0x989680");
    EXPECT_EQ(hex.lineas, normal.lineas);
    EXPECT_EQ(hex.tamTrozo, 10000000);

    // An exact multiple: the last piece is full and no piece is empty.
    FicheroDisperso(fuente, 20000000);
    EXPECT_EQ(Preparar(fuente, "10000000", TipoCorte::CortaArchivos).lineas,
              (Lineas{"pelicula.1  10,000,000", "pelicula.fin  10,000,000"}));
}

TEST_F(Plan, TresYCuatroCifras) {
    const std::string fuente = c / "pelicula.avi";
    FicheroDisperso(fuente, 999000000);
    const PlanCorte tres = Preparar(fuente, "1000000");
    ASSERT_EQ(tres.lineas.size(), 999u);
    EXPECT_EQ(tres.numTrozos, 999);
    EXPECT_EQ(tres.lineas.front(), "pelicula.001   1,000,000");
    EXPECT_EQ(tres.lineas.back(), "pelicula.999   1,000,000");

    FicheroDisperso(fuente, 999500000);
    const PlanCorte cuatro = Preparar(fuente, "1000000");
    ASSERT_EQ(cuatro.lineas.size(), 1000u);
    EXPECT_EQ(cuatro.lineas.front(), "pelicula.0001   1,000,000");
    EXPECT_EQ(cuatro.lineas[998], "pelicula.0999   1,000,000");
    EXPECT_EQ(cuatro.lineas.back(), "pelicula.1000     500,000");
    const PlanCorte ca = Preparar(fuente, "1000000", TipoCorte::CortaArchivos);
    EXPECT_EQ(ca.lineas[998], "pelicula.999   1,000,000");
    EXPECT_EQ(ca.lineas.back(), "pelicula.fin     500,000");
}

TEST_F(Plan, UnSoloTrozo) {
    // P larger than S: one piece with the whole source, under each scheme's name for it.
    EscribirFichero(c / "datos.tar.gz", std::string(4000, 'x'));
    EXPECT_EQ(Preparar(c / "datos.tar.gz", "5000").lineas, Lineas{"datos.tar.001       4,000"});
    EXPECT_EQ(Preparar(c / "datos.tar.gz", "5000", TipoCorte::CortaArchivos).lineas,
              Lineas{"datos.tar.fin       4,000"});
    EXPECT_EQ(Preparar(c / "datos.tar.gz", "5000", TipoCorte::Hacha).lineas,
              Lineas{"datos.tar.0       4,000"});

    // An empty source: size 0, count 1, one line of 0; the split refuses it later.
    EscribirFichero(c / "vacio", "");
    const PlanCorte vacio = Preparar(c / "vacio", "10");
    EXPECT_TRUE(vacio.cortePreparado);
    EXPECT_EQ(vacio.tamFichero, 0);
    EXPECT_EQ(vacio.numTrozos, 1);
    EXPECT_EQ(vacio.lineas, Lineas{"vacio.001           0"});
    EXPECT_EQ(TrozosDelPlan(0, 10), 1);
}

TEST_F(Plan, TamanosExactosYDeMasDeDosGiB) {
    FicheroDisperso(c / "f", 25000001);
    const PlanCorte p = Preparar(c / "f", "16777217", TipoCorte::Normal, ".");
    EXPECT_EQ(FormatoMiles(*p.tamFichero, "."), "25.000.001");
    EXPECT_EQ(p.lineas, (Lineas{"f.001  16.777.217", "f.002   8.222.784"}));

    FicheroDisperso(c / "g", 3LL << 30);
    const PlanCorte g = Preparar(c / "g", "1000000000", TipoCorte::Hacha);
    EXPECT_EQ(g.tamFichero, 3221225472);
    EXPECT_EQ(g.numTrozos, 4);
    EXPECT_EQ(g.lineas.back(), "g.3  221,225,472");
    // Units, and pieces of 2 GiB and more.
    EXPECT_EQ(Preparar(c / "g", "1GB", TipoCorte::Hacha).lineas, g.lineas);
    const PlanCorte dos = Preparar(c / "g", "2g");
    EXPECT_EQ(dos.tamTrozo, 2LL << 30);
    EXPECT_EQ(dos.lineas, (Lineas{"g.001  2,147,483,648", "g.002  1,073,741,824"}));
    EXPECT_EQ(Preparar(c / "g", "9223372036854775807").lineas, Lineas{"g.001  3,221,225,472"});
}

TEST_F(Plan, LimiteDeTrozos) {
    // The most pieces a plan may list (bench/plan_lista measures how fast).
    FicheroDisperso(c / "f", MaxTrozos);
    const PlanCorte p = Preparar(c / "f", "1");
    EXPECT_TRUE(p.cortePreparado);
    ASSERT_EQ(p.lineas.size(), static_cast<size_t>(MaxTrozos));
    EXPECT_EQ(p.lineas.front(), "f.000001           1");
    EXPECT_EQ(p.lineas.back(), "f.100000           1");
    EXPECT_TRUE(v.errores.empty());

    // One more is refused: the source size stays on show, nothing else, no plan in force.
    FicheroDisperso(c / "f", MaxTrozos + 1);
    const PlanCorte mas = Preparar(c / "f", "1");
    EXPECT_EQ(v.errores, Lineas{"¡ Demasiados trozos: el máximo es 100000 !"});
    EXPECT_FALSE(mas.cortePreparado);
    EXPECT_EQ(mas.tamFichero, MaxTrozos + 1);
    EXPECT_FALSE(mas.numTrozos);
    EXPECT_TRUE(mas.lineas.empty());
}

} // namespace
} // namespace quimbel
