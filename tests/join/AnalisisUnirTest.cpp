// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <limits>

#include "AyudaUnir.h"
#include "join/AnalisisUnir.h"
#include "support/Carpeta.h"
#include "support/Grabadora.h"

namespace quimbel {
namespace {

using namespace prueba;
using namespace std::literals;

class AnalisisUnirTest : public ::testing::Test {
  protected:
    AnalisisUnir Analizar(const std::string& nombre) { return AnalizarFicheroUnir(v, nombre); }
    void Trozo(std::string_view nombre, size_t tamano) { EscribirFichero(c / nombre, Datos(tamano)); }

    CarpetaTemporal c;
    Grabadora v;
};

TEST_F(AnalisisUnirTest, UnJuegoNumeradoDeUnTrozo) {
    Trozo("pelicula.001", 700);
    const AnalisisUnir r = Analizar(c / "pelicula.001");
    ASSERT_TRUE(r.correcto);
    EXPECT_EQ(Etiquetas(r), (std::vector<int64_t>{700, 1, 700, -1}));
    EXPECT_EQ(r.plan, (Plan(1, 1, 1, ".001", true, 0, ".avi")));
    EXPECT_FALSE(r.destino);
    EXPECT_TRUE(v.errores.empty() && v.informaciones.empty());
    EXPECT_FALSE(v.ocupado);
}

// Whichever piece is chosen, the plan and the labels are those of the whole set.
TEST_F(AnalisisUnirTest, CualquierTrozoDaElJuegoEntero) {
    for (int k = 1; k <= 4; ++k)
        Trozo("pelicula.00" + std::to_string(k), 100);
    Trozo("pelicula.005", 40);
    for (const char* elegido : {"pelicula.001", "pelicula.003", "pelicula.005"}) {
        SCOPED_TRACE(elegido);
        const AnalisisUnir r = Analizar(c / elegido);
        ASSERT_TRUE(r.correcto);
        EXPECT_EQ(Etiquetas(r), (std::vector<int64_t>{100, 5, 440, -1}));
        EXPECT_EQ(r.plan, (Plan(1, 5, 5, ".001", true, 0, ".avi")));
        EXPECT_FALSE(r.falta);
    }
    // The last piece may be shorter without a warning.
    EXPECT_TRUE(v.informaciones.empty() && v.errores.empty());
}

// A missing number is no end of the set: the folder's names show the pieces beyond it, and
// a folder is no piece. The labels describe the whole set; the plan says what is missing.
TEST_F(AnalisisUnirTest, UnHuecoSeNombraYLasEtiquetasDescribenElJuego) {
    Trozo("pelicula.001", 10);
    Trozo("pelicula.002", 10);
    Trozo("pelicula.004", 10);
    ASSERT_EQ(mkdir((c / "pelicula.003").c_str(), 0755), 0);
    for (const char* elegido : {"pelicula.001", "pelicula.004"}) {
        const AnalisisUnir r = Analizar(c / elegido);
        ASSERT_TRUE(r.correcto);
        EXPECT_EQ(Etiquetas(r), (std::vector<int64_t>{10, 4, 30, 40}));
        EXPECT_EQ(r.plan.UltimoTrozo, 4);
        EXPECT_EQ(r.falta, "¡ Falta el trozo 3 : " + (c / "pelicula.003") + " !");
    }
    // Pieces missing below the lowest one: a set starts at 1 (or 0).
    CarpetaTemporal d;
    EscribirFichero(d / "x.003", "abc");
    EscribirFichero(d / "x.004", "de");
    const AnalisisUnir r = Analizar(d / "x.004");
    ASSERT_TRUE(r.correcto);
    EXPECT_EQ(r.plan.PrimerTrozo, 1);
    EXPECT_EQ(r.falta, "¡ Falta el trozo 1 : " + (d / "x.001") + " !");
    // The analysis itself shows no box for it: the window does, once the labels are set.
    EXPECT_TRUE(v.errores.empty() && v.informaciones.empty());
}

TEST_F(AnalisisUnirTest, UnTamanoDistintoSeAvisaUnaVezCuandoApareceOtroTrozo) {
    Trozo("pelicula.001", 10);
    Trozo("pelicula.002", 9);
    Trozo("pelicula.003", 10);
    Trozo("pelicula.004", 3);
    const AnalisisUnir r = Analizar(c / "pelicula.003");
    ASSERT_TRUE(r.correcto);
    ASSERT_EQ(v.informaciones.size(), 1u);
    EXPECT_EQ(v.informaciones[0], "¡ Atención ! El trozo 2 en el fichero " + (c / "pelicula.002") +
                                      " tiene tamaño distinto al primero.");
    EXPECT_EQ(Etiquetas(r), (std::vector<int64_t>{10, 4, 32, 33}));
    // The box comes with the normal cursor, the probing with the busy one.
    const auto caja = std::find(v.eventos.begin(), v.eventos.end(), "info: " + v.informaciones[0]);
    ASSERT_NE(caja, v.eventos.end());
    EXPECT_EQ(*(caja - 1), "cursor normal");
    EXPECT_EQ(*(caja + 1), "cursor ocupado");
    EXPECT_EQ(v.eventos.back(), "cursor normal");
}

// The width of a set's numbers comes from the folder: a piece chosen past 999 of a set of three
// digits, or at a number whose digits fill the width, still finds the zero-padded pieces, and
// plain numbers (".1" .. ".1000") are another set.
TEST_F(AnalisisUnirTest, LaNumeracionDelJuegoSaleDeLaCarpeta) {
    for (int k = 1; k <= 1001; ++k) {
        std::string tres = std::to_string(k);
        tres.insert(0, tres.size() < 3 ? 3 - tres.size() : 0, '0');
        Trozo("pelicula." + tres, 2);
    }
    Trozo("pelicula.7", 5);
    Trozo("pelicula.8", 5);
    for (const char* elegido : {"pelicula.001", "pelicula.100", "pelicula.1000"}) {
        SCOPED_TRACE(elegido);
        const AnalisisUnir r = Analizar(c / elegido);
        ASSERT_TRUE(r.correcto);
        EXPECT_EQ(r.plan, (Plan(1, 1001, 1001, ".001", true, 0, ".avi")));
        EXPECT_EQ(r.tamUnido, 2002);
        EXPECT_FALSE(r.falta);
    }
    const AnalisisUnir sinCeros = Analizar(c / "pelicula.8");
    EXPECT_EQ(sinCeros.plan, (Plan(1, 8, 8, ".1", false, 0, ".avi")));
    EXPECT_EQ(sinCeros.falta, "¡ Falta el trozo 1 : " + (c / "pelicula.1") + " !");
}

TEST_F(AnalisisUnirTest, UnPuntoCeroSinCabeceraEsUnJuegoNumeradoDesdeCero) {
    // Long enough to be tested for the header, and too short to be.
    for (const size_t tamano : {100u, 13u, 0u}) {
        SCOPED_TRACE(tamano);
        CarpetaTemporal d;
        EscribirFichero(d / "pelicula.0", Datos(tamano));
        AnalisisUnir r = Analizar(d / "pelicula.0");
        ASSERT_TRUE(r.correcto);
        const auto t = static_cast<int64_t>(tamano);
        EXPECT_EQ(Etiquetas(r), (std::vector<int64_t>{t, 1, t, -1}));
        EXPECT_EQ(r.plan, (Plan(0, 0, 0, ".0", false, 0, ".avi")));
        EXPECT_FALSE(r.destino);
        EscribirFichero(d / "pelicula.1", Datos(tamano));
        r = Analizar(d / "pelicula.0");
        EXPECT_EQ(Etiquetas(r), (std::vector<int64_t>{t, 2, 2 * t, -1}));
        EXPECT_EQ(r.plan.UltimoTrozo, 1);
    }
    EXPECT_TRUE(v.errores.empty());
}

TEST_F(AnalisisUnirTest, UnTrozoFinDaLaCuentaYLaExtensionDeSuCabecera) {
    Trozo("pelicula.1", 1000);
    Trozo("pelicula.2", 1000);
    EscribirFichero(c / "pelicula.FIN", CabeceraCAHecha(3, ".mpg") + Datos(300));
    const AnalisisUnir r = Analizar(c / "pelicula.FIN");
    ASSERT_TRUE(r.correcto);
    EXPECT_EQ(Etiquetas(r), (std::vector<int64_t>{1000, 3, 2300, -1}));
    PlanUnir plan = Plan(1, 3, 3, ".fin", false, 0, ".mpg");
    plan.ExtFin = ".FIN";
    EXPECT_EQ(r.plan, plan);
    // Any numbered piece of the set leads to its ".fin" piece.
    for (const char* elegido : {"pelicula.1", "pelicula.2"}) {
        const AnalisisUnir otro = Analizar(c / elegido);
        EXPECT_EQ(otro.plan, plan);
        EXPECT_EQ(Etiquetas(otro), Etiquetas(r));
    }
    EXPECT_TRUE(v.errores.empty());
}

// A numbered piece leads to a ".fin" or .0 head only when it holds a set the number belongs
// to; otherwise the piece stays a member of a numbered set.
TEST_F(AnalisisUnirTest, UnaCabezaAjenaNoSeTomaPorLaDelJuego) {
    Trozo("a.1", 10);
    Trozo("a.2", 10);
    // No signature: no head of anything.
    EscribirFichero(c / "a.fin", "\x07otracos" + Entero32(3) + std::string(1, '\0') + "abc");
    EXPECT_EQ(Analizar(c / "a.2").plan.ExtTrozos, ".1");
    // A set of 2 pieces has no piece 2 among its numbered ones.
    EscribirFichero(c / "a.fin", CabeceraCAHecha(2, ".avi") + "abc");
    EXPECT_EQ(Analizar(c / "a.2").plan.ExtTrozos, ".1");
    EXPECT_EQ(Analizar(c / "a.1").plan.ExtTrozos, ".fin");
    // A .0 that is only data (no header) heads nothing: .0 .. .2 is one numbered set.
    Trozo("b.0", 10);
    Trozo("b.1", 10);
    Trozo("b.2", 10);
    EXPECT_EQ(Analizar(c / "b.2").plan, (Plan(0, 2, 2, ".0", false, 0, ".avi")));
    // A Hacha header leads there from any of its numbered pieces.
    EscribirFichero(c / "b.0",
                    CabeceraHachaHecha(LargoHacha("b.iso", "30", "10"), "b.iso", "30", "10") + Datos(10));
    const AnalisisUnir hacha = Analizar(c / "b.2");
    EXPECT_EQ(hacha.plan.TamCabeceraHacha, 9 + LargoHacha("b.iso", "30", "10"));
    EXPECT_EQ(hacha.destino, "b.iso");
    EXPECT_FALSE(hacha.falta);
}

TEST_F(AnalisisUnirTest, UnJuegoFinDeUnTrozoNoNecesitaPuntoUno) {
    EscribirFichero(c / "datos.fin", CabeceraCAHecha(1, "") + Datos(50));
    const AnalisisUnir r = Analizar(c / "datos.fin");
    ASSERT_TRUE(r.correcto) << (v.errores.empty() ? "" : v.errores[0]);
    EXPECT_EQ(Etiquetas(r), (std::vector<int64_t>{50, 1, 50, -1}));
    EXPECT_EQ(r.plan, (Plan(1, 1, 1, ".fin", false, 0, "")));
}

TEST_F(AnalisisUnirTest, LosFallosDeUnJuegoFin) {
    const std::string fin = c / "pelicula.fin";
    const auto fallo = [&](const std::string& contenido, const std::string& mensaje) {
        v.errores.clear();
        EscribirFichero(fin, contenido);
        const AnalisisUnir r = Analizar(fin);
        EXPECT_FALSE(r.correcto);
        EXPECT_EQ(v.errores, std::vector<std::string>{mensaje});
    };
    const std::string leer = "¡ Error al leer fichero !" + fin;
    fallo(CabeceraCAHecha(3, ".avi").substr(0, 12), leer);
    fallo(CabeceraCAHecha(3, ".avi").substr(0, 16), leer);
    fallo(CabeceraCAHecha(0, ".avi"), leer);
    fallo(CabeceraCAHecha(-5, ".avi"), leer);
    fallo(CabeceraCAHecha(100001, ".avi"), "¡ Demasiados trozos: el máximo es 100000 !");
    fallo(CabeceraCAHecha(3, ".avi") + "datos",
          "¡ Error al abrir fichero inicial " + (c / "pelicula.1") + " !");
    Trozo("pelicula.1", 10);
    EscribirFichero(fin, CabeceraCAHecha(100000, ".avi"));
    EXPECT_TRUE(Analizar(fin).correcto);
}

TEST_F(AnalisisUnirTest, UnaCabeceraDeHachaDaElNombreLosTamanosYLaCuenta) {
    EscribirFichero(c / "pelicula.0",
                    CabeceraHachaHecha(48, "pelicula.avi", "30000000", "10000000") + "datos");
    const AnalisisUnir r = Analizar(c / "pelicula.0");
    ASSERT_TRUE(r.correcto);
    EXPECT_EQ(Etiquetas(r), (std::vector<int64_t>{10000000, 3, 30000000, -1}));
    EXPECT_EQ(r.destino, "pelicula.avi");
    PlanUnir plan = Plan(0, 2, 3, ".0", false, 57, ".0");
    plan.TamFuente = 30000000;
    plan.TamTrozo = 10000000;
    EXPECT_EQ(r.plan, plan);
    EXPECT_EQ(r.falta, "¡ Falta el trozo 1 : " + (c / "pelicula.1") + " !");
}

TEST_F(AnalisisUnirTest, CabecerasDeHachaAmanadas) {
    const std::string cero = c / "pelicula.0";
    const std::string leer = "¡ Error al leer fichero !" + cero;
    // A well-formed header naming "x", with these size texts.
    const auto ConTamanos = [](std::string_view s, std::string_view p) {
        return CabeceraHachaHecha(LargoHacha("x", s, p), "x", s, p);
    };
    struct Caso {
        std::string contenido;
        std::string mensaje;
        std::optional<std::string> destino;
    };
    const std::vector<Caso> casos{
        {CabeceraHachaHecha(22, "a", "1", "1"), leer, std::nullopt},
        {CabeceraHachaHecha(65537, "a", "1", "1"), leer, std::nullopt},
        {CabeceraHachaHecha(-1, "a", "1", "1"), leer, std::nullopt},
        {CabeceraHachaHecha(std::numeric_limits<int32_t>::max(), "a", "1", "1") + Datos(1000), leer,
         std::nullopt},
        // H larger than the bytes that follow.
        {CabeceraHachaHecha(60, "pelicula.avi", "30", "10"), leer, std::nullopt},
        // No "?" closes the last text before the header's end.
        {"?????" + Entero32(5 + 12 + 5 + 2 + 5 + 10) + "?????pelicula.avi?????30?????1000000000" + Datos(100),
         leer, std::nullopt},
        {ConTamanos("3.5", "1"), "¡ Error obteniendo el tamaño del fichero !", "x"},
        {ConTamanos("-30", "10"), "¡ Error obteniendo el tamaño del fichero !", "x"},
        {ConTamanos("30", "0"), "¡ Error obteniendo el tamaño del trozo !", "x"},
        {ConTamanos("30", "-10"), "¡ Error obteniendo el tamaño del trozo !", "x"},
        {ConTamanos("30", "1e3"), "¡ Error obteniendo el tamaño del trozo !", "x"},
        {ConTamanos("100001", "1"), "¡ Demasiados trozos: el máximo es 100000 !", "x"},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.mensaje);
        v.errores.clear();
        EscribirFichero(cero, caso.contenido);
        const AnalisisUnir r = Analizar(cero);
        EXPECT_FALSE(r.correcto);
        EXPECT_EQ(v.errores, std::vector<std::string>{caso.mensaje});
        EXPECT_EQ(r.destino, caso.destino);
    }
    // The largest H the format allows is read whole.
    const std::string largo(65536 - 20 - 2, 'n');
    EscribirFichero(cero, CabeceraHachaHecha(65536, largo, "1", "1"));
    v.errores.clear();
    EXPECT_TRUE(Analizar(cero).correcto);
    EXPECT_TRUE(v.errores.empty());
}

// Only "/" parts a name here: "\\" and "?" are ordinary name characters and read back whole.
TEST_F(AnalisisUnirTest, ElNombreDeUnaCabeceraDeHachaNuncaSaleDeLaCarpeta) {
    const std::string cero = c / "pelicula.0";
    for (const auto& [nombre, destino] :
         std::vector<std::pair<std::string, std::string>>{{"../../x.avi", "x.avi"},
                                                          {"/etc/passwd", "passwd"},
                                                          {"C:\\V\\y.avi", "C:\\V\\y.avi"},
                                                          {"¿qué?.avi", "¿qué?.avi"},
                                                          {"??", "??"},
                                                          {"..", "pelicula"},
                                                          {"sub/.", "pelicula"},
                                                          {"/", "pelicula"}}) {
        SCOPED_TRACE(nombre);
        EscribirFichero(cero, CabeceraHachaHecha(LargoHacha(nombre, "30", "10"), nombre, "30", "10"));
        const AnalisisUnir r = Analizar(cero);
        EXPECT_TRUE(r.correcto);
        EXPECT_EQ(r.destino, destino);
    }
}

TEST_F(AnalisisUnirTest, LosFallosDeUnJuegoNumerado) {
    Trozo("pelicula.avi", 10);
    EXPECT_FALSE(Analizar(c / "pelicula.avi").correcto);
    Trozo("pelicula", 10);
    EXPECT_FALSE(Analizar(c / "pelicula").correcto);
    Trozo("pelicula.-1", 10);
    EXPECT_FALSE(Analizar(c / "pelicula.-1").correcto);
    EXPECT_FALSE(Analizar(c / "ausente.001").correcto);
    EXPECT_EQ(v.errores,
              (std::vector<std::string>{
                  "¡ Error obteniendo la numeración del fichero inicial " + (c / "pelicula.avi") + " !",
                  "¡ Error obteniendo la numeración del fichero inicial " + (c / "pelicula") + " !",
                  "¡ Error obteniendo la numeración del fichero inicial " + (c / "pelicula.-1") + " !",
                  "¡ Error al abrir fichero " + (c / "ausente.001") + " !"}));
    const size_t eventos = v.eventos.size();
    EXPECT_FALSE(Analizar("").correcto);
    EXPECT_EQ(v.eventos.size(), eventos) << "un nombre vacío no muestra nada";
}

// A window whose user deletes a file while the size warning is on screen.
class BorraAlAvisar : public Grabadora {
  public:
    explicit BorraAlAvisar(std::string ruta) : ruta_(std::move(ruta)) {}
    void Informacion(std::string_view texto) override {
        Grabadora::Informacion(texto);
        unlink(ruta_.c_str());
    }

  private:
    std::string ruta_;
};

TEST_F(AnalisisUnirTest, UnTrozoQueNoSePuedeLeerAlSondear) {
    Trozo("lista.001", 10);
    Trozo("lista.002", 9);
    Trozo("lista.003", 10);
    // The warning for piece 2 comes once piece 3 is found, before it is opened.
    BorraAlAvisar w(c / "lista.003");
    const AnalisisUnir r = AnalizarFicheroUnir(w, c / "lista.001");
    EXPECT_FALSE(r.correcto);
    EXPECT_EQ(w.errores,
              std::vector<std::string>{"¡ Error al leer trozo 3 en fichero " + (c / "lista.003") + " !"});
    EXPECT_FALSE(w.ocupado);
}

TEST_F(AnalisisUnirTest, TamanosDeMasDe2GiBSeSumanEnteros) {
    const int64_t giga = int64_t{1} << 30;
    for (int k = 1; k <= 3; ++k)
        FicheroDisperso(c / ("grande.00" + std::to_string(k)), 3 * giga / 2);
    AnalisisUnir r = Analizar(c / "grande.001");
    ASSERT_TRUE(r.correcto);
    EXPECT_EQ(Etiquetas(r), (std::vector<int64_t>{3 * giga / 2, 3, 9 * giga / 2, -1}));

    FicheroDisperso(c / "grande.1", 3 * giga);
    FicheroDisperso(c / "grande.2", 3 * giga);
    EscribirFichero(c / "grande.fin", CabeceraCAHecha(3, ".iso") + "abc");
    r = Analizar(c / "grande.fin");
    ASSERT_TRUE(r.correcto);
    EXPECT_EQ(Etiquetas(r), (std::vector<int64_t>{3 * giga, 3, 6 * giga + 3, -1}));

    EscribirFichero(c / "grande.0", CabeceraHachaHecha(LargoHacha("g.iso", "6442450944", "3221225472"),
                                                       "g.iso", "6442450944", "3221225472"));
    r = Analizar(c / "grande.0");
    ASSERT_TRUE(r.correcto);
    EXPECT_EQ(Etiquetas(r), (std::vector<int64_t>{3 * giga, 2, 6 * giga, -1}));
}

} // namespace
} // namespace quimbel
