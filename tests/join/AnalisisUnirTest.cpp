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
    EXPECT_EQ(r.plan, (PlanUnir{1, 1, 1, ".001", true, 0, ".avi"}));
    EXPECT_FALSE(r.destino);
    EXPECT_TRUE(v.errores.empty() && v.informaciones.empty());
    EXPECT_FALSE(v.ocupado);
}

TEST_F(AnalisisUnirTest, ElegidoElTercerTrozoDeCincoSeUnenDelTerceroAlQuinto) {
    for (int k = 1; k <= 4; ++k)
        Trozo("pelicula.00" + std::to_string(k), 100);
    Trozo("pelicula.005", 40);
    const AnalisisUnir r = Analizar(c / "pelicula.003");
    ASSERT_TRUE(r.correcto);
    EXPECT_EQ(Etiquetas(r), (std::vector<int64_t>{100, 5, 240, 440}));
    EXPECT_EQ(r.plan, (PlanUnir{3, 5, 5, ".003", true, 0, ".avi"}));
    // The last piece may be shorter without a warning.
    EXPECT_TRUE(v.informaciones.empty());
}

TEST_F(AnalisisUnirTest, UnHuecoTerminaElJuegoYUnaCarpetaNoCuentaComoTrozo) {
    Trozo("pelicula.001", 10);
    Trozo("pelicula.002", 10);
    Trozo("pelicula.004", 10);
    AnalisisUnir r = Analizar(c / "pelicula.001");
    ASSERT_TRUE(r.correcto);
    EXPECT_EQ(Etiquetas(r), (std::vector<int64_t>{10, 2, 20, -1}));
    EXPECT_EQ(r.plan.UltimoTrozo, 2);
    ASSERT_EQ(mkdir((c / "pelicula.003").c_str(), 0755), 0);
    r = Analizar(c / "pelicula.001");
    EXPECT_EQ(r.plan.UltimoTrozo, 2);
    EXPECT_TRUE(v.errores.empty() && v.informaciones.empty());
}

TEST_F(AnalisisUnirTest, UnTamanoDistintoSeAvisaUnaVezCuandoApareceOtroTrozo) {
    Trozo("pelicula.001", 10);
    Trozo("pelicula.002", 9);
    Trozo("pelicula.003", 10);
    Trozo("pelicula.004", 3);
    const AnalisisUnir r = Analizar(c / "pelicula.001");
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

TEST_F(AnalisisUnirTest, LasCifrasCrecenYTrasEl999VieneEl1000) {
    Trozo("pelicula.0998", 5);
    Trozo("pelicula.0999", 5);
    Trozo("pelicula.1000", 5);
    Trozo("pelicula.1001", 5);
    AnalisisUnir r = Analizar(c / "pelicula.0998");
    ASSERT_TRUE(r.correcto);
    EXPECT_TRUE(r.plan.CerosTrozos);
    EXPECT_EQ(r.plan.UltimoTrozo, 1001);
    EXPECT_EQ(r.tamUnido, 20);

    Trozo("pelicula.998", 5);
    Trozo("pelicula.999", 5);
    r = Analizar(c / "pelicula.998");
    ASSERT_TRUE(r.correcto);
    EXPECT_FALSE(r.plan.CerosTrozos);
    EXPECT_EQ(r.plan.UltimoTrozo, 1001) << "pelicula.999 sigue en pelicula.1000, no en pelicula1000";
    Trozo("pelicula1000", 5);
    Trozo("otra.998", 5);
    Trozo("otra.999", 5);
    Trozo("otra1000", 5);
    r = Analizar(c / "otra.998");
    EXPECT_EQ(r.plan.UltimoTrozo, 999);
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
        EXPECT_EQ(r.plan, (PlanUnir{0, 0, 0, ".0", false, 0, ".avi"}));
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
    EXPECT_EQ(r.plan, (PlanUnir{1, 3, 3, ".fin", false, 0, ".mpg"}));
    // Its ".1" chosen instead: a numbered set, which ends before the ".fin".
    const AnalisisUnir uno = Analizar(c / "pelicula.1");
    EXPECT_EQ(uno.plan, (PlanUnir{1, 2, 2, ".1", false, 0, ".avi"}));
}

TEST_F(AnalisisUnirTest, UnJuegoFinDeUnTrozoNoNecesitaPuntoUno) {
    EscribirFichero(c / "datos.fin", CabeceraCAHecha(1, "") + Datos(50));
    const AnalisisUnir r = Analizar(c / "datos.fin");
    ASSERT_TRUE(r.correcto) << (v.errores.empty() ? "" : v.errores[0]);
    EXPECT_EQ(Etiquetas(r), (std::vector<int64_t>{50, 1, 50, -1}));
    EXPECT_EQ(r.plan, (PlanUnir{1, 1, 1, ".fin", false, 0, ""}));
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
    EXPECT_EQ(r.plan, (PlanUnir{0, 2, 3, ".0", false, 57, ".0"}));
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
