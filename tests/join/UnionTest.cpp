// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <ctime>

#include "AyudaUnir.h"
#include "files/Ficheros.h"
#include "join/AnalisisUnir.h"
#include "join/Union.h"
#include "support/Carpeta.h"
#include "support/Grabadora.h"

namespace quimbel {
namespace {

using namespace prueba;

class UnionTest : public ::testing::Test {
  protected:
    // Analyses the chosen piece as the window would, and keeps the plan when it succeeds.
    EntradaUnir Elegir(const std::string& trozo, const std::string& destino) {
        Grabadora analisis;
        const AnalisisUnir a = AnalizarFicheroUnir(analisis, trozo);
        EXPECT_TRUE(a.correcto);
        return {trozo, destino, a.plan};
    }

    CarpetaTemporal c;
    Grabadora v;
};

TEST_F(UnionTest, UnJuegoFinSeUneSaltandoLaCabeceraConUnaLineaPorTrozo) {
    const std::string p1 = Datos(100, 1), p2 = Datos(100, 2), p3 = Datos(30, 3);
    EscribirFichero(c / "pelicula.1", p1);
    EscribirFichero(c / "pelicula.2", p2);
    EscribirFichero(c / "pelicula.fin", CabeceraCAHecha(3, ".avi") + p3);
    ASSERT_TRUE(Unir(v, Elegir(c / "pelicula.fin", c / "pelicula.avi")));
    EXPECT_EQ(LeerFichero(c / "pelicula.avi"), p1 + p2 + p3);
    EXPECT_EQ(v.Memo(Memo::Unir),
              (std::vector<std::string>{"Uniendo trozos...", "Uniendo trozo 1 : " + (c / "pelicula.1"),
                                        "Uniendo trozo 2 : " + (c / "pelicula.2"),
                                        "Uniendo trozo 3 : " + (c / "pelicula.fin"), ""}));
    EXPECT_EQ(v.informaciones, std::vector<std::string>{"¡ Proceso finalizado !"});
    EXPECT_TRUE(v.errores.empty());
    EXPECT_FALSE(v.ocupado);
    EXPECT_EQ(v.respiros, 3);
}

TEST_F(UnionTest, LosTrozosDeHachaSeNumeranDesdeCeroYUnNombreSinCarpetaQuedaJuntoAEllos) {
    const std::string d0 = Datos(10, 1), d1 = Datos(10, 2), d2 = Datos(5, 3);
    EscribirFichero(c / "pelicula.0",
                    CabeceraHachaHecha(LargoHacha("pelicula.avi", "25", "10"), "pelicula.avi", "25", "10") +
                        d0);
    EscribirFichero(c / "pelicula.1", d1);
    EscribirFichero(c / "pelicula.2", d2);
    Grabadora analisis;
    const AnalisisUnir a = AnalizarFicheroUnir(analisis, c / "pelicula.0");
    ASSERT_TRUE(a.correcto && a.destino);
    ASSERT_TRUE(Unir(v, {c / "pelicula.0", *a.destino, a.plan}));
    EXPECT_EQ(LeerFichero(c / "pelicula.avi"), d0 + d1 + d2);
    EXPECT_EQ(v.Memo(Memo::Unir)[1], "Uniendo trozo 0 : " + (c / "pelicula.0"));
    EXPECT_EQ(v.Memo(Memo::Unir)[3], "Uniendo trozo 2 : " + (c / "pelicula.2"));
}

TEST_F(UnionTest, LasCajasVaciasSeNieganConSuFoco) {
    EscribirFichero(c / "pelicula.001", "x");
    EntradaUnir e = Elegir(c / "pelicula.001", "");
    v.memos[Memo::Unir] = {"de antes"};
    EXPECT_FALSE(Unir(v, e));
    EXPECT_EQ(v.errores, std::vector<std::string>{"¡ Debes indicar el fichero destino !"});
    EXPECT_EQ(v.foco, Campo::FicheroUnido);
    EXPECT_TRUE(v.Memo(Memo::Unir).empty());
    e.base = "";
    EXPECT_FALSE(Unir(v, e));
    EXPECT_EQ(v.errores.back(), "¡ Debes indicar el fichero base para unir !");
    EXPECT_EQ(v.foco, Campo::FicheroUnir);
    EXPECT_TRUE(v.informaciones.empty());
}

TEST_F(UnionTest, ElDestinoNuncaEsUnTrozoNiPorNombreNiPorOtraRuta) {
    const std::string dos = Datos(50, 2);
    EscribirFichero(c / "pelicula.001", Datos(50, 1));
    EscribirFichero(c / "pelicula.002", dos);
    EscribirFichero(c / "pelicula.003", Datos(7, 3));
    const std::string mensaje = "¡ Error, un trozo no puede llamarse igual que el fichero destino !";
    const EntradaUnir e = Elegir(c / "pelicula.001", "");

    EXPECT_FALSE(Unir(v, {e.base, c / "pelicula.002", e.plan}));
    EXPECT_FALSE(Unir(v, {e.base, "pelicula.003", e.plan})) << "un nombre sin carpeta va junto a los trozos";
    ASSERT_EQ(link((c / "pelicula.002").c_str(), (c / "enlace").c_str()), 0);
    ASSERT_EQ(symlink((c / "pelicula.003").c_str(), (c / "simbolico").c_str()), 0);
    ASSERT_EQ(mkdir((c / "otra").c_str(), 0755), 0);
    EXPECT_FALSE(Unir(v, {e.base, c / "enlace", e.plan}));
    EXPECT_FALSE(Unir(v, {e.base, c / "otra/../simbolico", e.plan}));
    // Pieces below the chosen one are the set's too.
    const EntradaUnir desdeElTercero = Elegir(c / "pelicula.003", "");
    EXPECT_FALSE(Unir(v, {desdeElTercero.base, c / "pelicula.002", desdeElTercero.plan}));
    // A link is never an output: refused as a name that cannot be created.
    EXPECT_EQ(v.errores, (std::vector<std::string>{
                             mensaje, mensaje, mensaje,
                             "¡ Error al crear fichero " + (c / "otra/../simbolico") + " !", mensaje}));
    EXPECT_EQ(LeerFichero(c / "pelicula.002"), dos);
    EXPECT_EQ(LeerFichero(c / "pelicula.003").size(), 7u);
    EXPECT_TRUE(v.Memo(Memo::Unir).empty());
    EXPECT_FALSE(v.ocupado);
}

// A piece deleted or cut after the analysis stops the join before anything is created; one
// that goes while the join runs stops it with nothing under the destination's name.
TEST_F(UnionTest, UnTrozoQueFaltaOSeVaNoDejaNadaConElNombreDelDestino) {
    const std::string d1 = Datos(30, 1);
    EscribirFichero(c / "pelicula.001", d1);
    EscribirFichero(c / "pelicula.002", Datos(30, 2));
    EscribirFichero(c / "pelicula.003", Datos(30, 3));
    const EntradaUnir e = Elegir(c / "pelicula.001", c / "junto");
    ASSERT_EQ(rename((c / "pelicula.002").c_str(), (c / "aparte").c_str()), 0);
    EXPECT_FALSE(Unir(v, e));
    EXPECT_EQ(v.errores, std::vector<std::string>{"¡ Falta el trozo 2 : " + (c / "pelicula.002") + " !"});
    EXPECT_TRUE(v.Memo(Memo::Unir).empty());
    EXPECT_FALSE(Existe(c / "junto"));

    ASSERT_EQ(rename((c / "aparte").c_str(), (c / "pelicula.002").c_str()), 0);
    v.alRespirar = [&] { unlink((c / "pelicula.002").c_str()); };
    EXPECT_FALSE(Unir(v, e));
    EXPECT_EQ(v.errores.back(), "¡ Error al abrir fichero " + (c / "pelicula.002") + " !");
    EXPECT_EQ(v.Memo(Memo::Unir).back(), "Uniendo trozo 1 : " + (c / "pelicula.001"));
    EXPECT_EQ(Nombres(c.Ruta()), (std::vector<std::string>{"pelicula.001", "pelicula.003"}));
    EXPECT_TRUE(v.informaciones.empty());
    EXPECT_FALSE(v.ocupado);
    // The cursor is back before the box is shown.
    EXPECT_EQ(v.eventos.end()[-2], "cursor normal");
}

// A join killed mid-copy (nothing of it runs after SIGKILL) leaves the earlier destination as it
// was and only a temporary, which the next run in the folder removes: no live run holds it.
TEST_F(UnionTest, UnaUnionMatadaDejaElDestinoAnteriorIntacto) {
    const std::string d1 = Datos(30, 1), d2 = Datos(30, 2);
    EscribirFichero(c / "pelicula.001", d1);
    EscribirFichero(c / "pelicula.002", d2);
    EscribirFichero(c / "junto", "antes");
    const EntradaUnir e = Elegir(c / "pelicula.001", c / "junto");
    const pid_t hijo = fork();
    ASSERT_GE(hijo, 0);
    if (hijo == 0) {
        Grabadora g;
        g.respuestasReemplazar = {true};
        g.alRespirar = [] { kill(getpid(), SIGKILL); };
        Unir(g, e);
        _exit(0);
    }
    int estado = 0;
    ASSERT_EQ(waitpid(hijo, &estado, 0), hijo);
    ASSERT_TRUE(WIFSIGNALED(estado) && WTERMSIG(estado) == SIGKILL);
    EXPECT_EQ(LeerFichero(c / "junto"), "antes");
    std::vector<std::string> nombres = Nombres(c.Ruta());
    ASSERT_EQ(nombres.size(), 4u);
    const std::string resto = nombres.front();
    EXPECT_TRUE(resto.starts_with(".quimbel-tmp-")) << resto;
    EXPECT_EQ(LeerFichero(c / resto), d1);

    v.respuestasReemplazar = {true};
    EXPECT_TRUE(Unir(v, e));
    EXPECT_EQ(LeerFichero(c / "junto"), d1 + d2);
    EXPECT_EQ(Nombres(c.Ruta()), (std::vector<std::string>{"junto", "pelicula.001", "pelicula.002"}));
}

// A file at the destination is replaced only when the one question is answered Yes, whoever
// named it; No leaves it as it was and ends the run without a box.
TEST_F(UnionTest, UnDestinoExistenteSePreguntaUnaVez) {
    const std::string d1 = Datos(30, 1);
    EscribirFichero(c / "pelicula.001", d1);
    EscribirFichero(c / "pelicula.avi", "antes");
    const EntradaUnir e = Elegir(c / "pelicula.001", c / "pelicula.avi");
    EXPECT_FALSE(Unir(v, e));
    EXPECT_EQ(v.reemplazos, std::vector<std::string>{c / "pelicula.avi"});
    EXPECT_TRUE(v.errores.empty() && v.informaciones.empty());
    EXPECT_TRUE(v.Memo(Memo::Unir).empty());
    EXPECT_EQ(LeerFichero(c / "pelicula.avi"), "antes");
    v.respuestasReemplazar = {true};
    EXPECT_TRUE(Unir(v, e));
    EXPECT_EQ(v.reemplazos.size(), 2u);
    EXPECT_EQ(LeerFichero(c / "pelicula.avi"), d1);
}

TEST_F(UnionTest, UnFinMasCortoQueSuCabeceraSeNiegaConSuTamano) {
    EscribirFichero(c / "pelicula.1", Datos(20, 1));
    EscribirFichero(c / "pelicula.fin", CabeceraCAHecha(2, ".avi") + "abc");
    const EntradaUnir e = Elegir(c / "pelicula.fin", c / "junto");
    EscribirFichero(c / "pelicula.fin", CabeceraCAHecha(2, ".avi").substr(0, 10));
    EXPECT_FALSE(Unir(v, e));
    EXPECT_EQ(v.errores, std::vector<std::string>{"¡ El trozo 2 : " + (c / "pelicula.fin") +
                                                  " tiene 10 bytes y debería tener entre 18 y 37 !"});
    EXPECT_FALSE(Existe(c / "junto"));
}

TEST_F(UnionTest, ElPlanSeTomaUnaVezAlEmpezar) {
    const std::string d1 = Datos(30, 1), d2 = Datos(30, 2);
    EscribirFichero(c / "pelicula.001", d1);
    EscribirFichero(c / "pelicula.002", d2);
    EscribirFichero(c / "otra.001", "otra");
    EntradaUnir e = Elegir(c / "pelicula.001", c / "junto");
    // The user picks another piece while the join runs: its analysis changes the window's plan.
    v.alRespirar = [&] { e = Elegir(c / "otra.001", c / "otra"); };
    EXPECT_TRUE(Unir(v, e));
    EXPECT_EQ(LeerFichero(c / "junto"), d1 + d2);
    EXPECT_FALSE(Existe(c / "otra"));
}

TEST_F(UnionTest, UnAnalisisFallidoDejaEnVigorElPlanBuenoAnterior) {
    const std::string d1 = Datos(30, 1), d2 = Datos(20, 2);
    ASSERT_EQ(mkdir((c / "trozos").c_str(), 0755), 0);
    EscribirFichero(c / "trozos/pelicula.001", d1);
    EscribirFichero(c / "trozos/pelicula.002", d2);
    // The window keeps the base box and the plan of the last good analysis.
    EntradaUnir pagina = Elegir(c / "trozos/pelicula.001", "");
    EscribirFichero(c / "trozos/roto.0",
                    CabeceraHachaHecha(LargoHacha("../x.avi", "30", "0"), "../x.avi", "30", "0"));
    const AnalisisUnir fallido = AnalizarFicheroUnir(v, c / "trozos/roto.0");
    ASSERT_FALSE(fallido.correcto);
    ASSERT_TRUE(fallido.destino);
    pagina.destino = *fallido.destino;
    EXPECT_TRUE(Unir(v, pagina));
    EXPECT_EQ(LeerFichero(c / "trozos/x.avi"), d1 + d2);
    EXPECT_FALSE(Existe(c / "x.avi")) << "el nombre de una cabecera no sale de la carpeta de los trozos";
    EXPECT_EQ(v.Memo(Memo::Unir).size(), 4u);
}

// "Unir" pressed again while the first run waits between pieces: each run writes a file of
// its own, and the one that ends second finds the name taken and replaces nothing.
TEST_F(UnionTest, OtraUnionNoPisaElFicheroQueOtraHaTerminado) {
    const std::string d1 = Datos(30, 1), d2 = Datos(30, 2);
    EscribirFichero(c / "pelicula.001", d1);
    EscribirFichero(c / "pelicula.002", d2);
    const EntradaUnir e = Elegir(c / "pelicula.001", c / "junto");
    Grabadora segunda;
    bool repetida = false;
    v.alRespirar = [&] {
        if (!std::exchange(repetida, true)) {
            EXPECT_TRUE(Unir(segunda, e));
        }
    };
    EXPECT_FALSE(Unir(v, e));
    EXPECT_EQ(v.errores, std::vector<std::string>{"¡ Error al crear fichero " + (c / "junto") + " !"});
    EXPECT_EQ(LeerFichero(c / "junto"), d1 + d2);
    EXPECT_EQ(Nombres(c.Ruta()), (std::vector<std::string>{"junto", "pelicula.001", "pelicula.002"}));
    // Once the first has ended, the same join runs again, asking first.
    segunda.respuestasReemplazar = {true};
    EXPECT_TRUE(Unir(segunda, e));
    EXPECT_EQ(segunda.reemplazos, std::vector<std::string>{c / "junto"});
}

// Sets as a hostile sender would make them: links and FIFOs at the destination's name, headers
// that name a piece of the set, destinations that are pieces outside the plan. Nothing outside
// the folder changes, no piece is emptied, nothing waits.
TEST_F(UnionTest, JuegosHostilesNoVacianNadaNiSalenDeLaCarpeta) {
    CarpetaTemporal fuera;
    EscribirFichero(fuera / "victima", "no tocar");
    const std::string mismo = "¡ Error, un trozo no puede llamarse igual que el fichero destino !";
    const auto hacha = [&](const std::string& pieza, const std::string& nombre, const std::string& s,
                           const std::string& p, const std::string& datos) {
        EscribirFichero(c / pieza, CabeceraHachaHecha(LargoHacha(nombre, s, p), nombre, s, p) + datos);
    };
    const auto intentar = [&](const std::string& trozo, const std::string& destino) {
        Grabadora g;
        const AnalisisUnir a = AnalizarFicheroUnir(g, trozo);
        EXPECT_TRUE(a.correcto) << trozo;
        const bool hecho = Unir(g, {trozo, destino.empty() ? a.destino.value_or("") : destino, a.plan});
        EXPECT_FALSE(hecho) << trozo << " -> " << destino;
        return g.errores;
    };
    // The name in a Hacha header, and a numbered set's proposal, are links to a file elsewhere.
    hacha("a.0", "a.avi", "20", "10", Datos(10));
    EscribirFichero(c / "a.1", Datos(10, 2));
    ASSERT_EQ(symlink((fuera / "victima").c_str(), (c / "a.avi").c_str()), 0);
    EXPECT_EQ(intentar(c / "a.0", ""),
              std::vector<std::string>{"¡ Error al crear fichero " + (c / "a.avi") + " !"});
    // A FIFO as destination is refused at once.
    ASSERT_EQ(mkfifo((c / "tubo").c_str(), 0644), 0);
    EXPECT_EQ(intentar(c / "a.1", c / "tubo"),
              std::vector<std::string>{"¡ Error al crear fichero " + (c / "tubo") + " !"});

    // Pieces of the set outside the plan: the ".fin" of a CortaArchivos set joined from ".1",
    // a piece after a gap.
    EscribirFichero(c / "pel.1", "uno");
    EscribirFichero(c / "pel.fin", CabeceraCAHecha(2, ".avi") + "fin");
    EXPECT_EQ(intentar(c / "pel.1", c / "pel.fin"), std::vector<std::string>{mismo});
    EscribirFichero(c / "p.001", "1");
    EscribirFichero(c / "p.002", "2");
    EscribirFichero(c / "p.004", "cuatro");
    EXPECT_EQ(intentar(c / "p.001", c / "p.004"), std::vector<std::string>{mismo});

    // Crafted headers naming the chosen piece (an empty set), a later piece, or proposing one.
    hacha("q.0", "q.0", "0", "10", "");
    EXPECT_EQ(intentar(c / "q.0", ""), std::vector<std::string>{mismo});
    hacha("r.0", "r.1", "5", "10", "datos");
    EscribirFichero(c / "r.1", "no tocar");
    EXPECT_EQ(intentar(c / "r.0", ""), std::vector<std::string>{mismo});
    EscribirFichero(c / "s.fin", CabeceraCAHecha(1, ".1") + "x");
    EscribirFichero(c / "s.1", "no tocar");
    EXPECT_EQ(intentar(c / "s.fin", c / "s.1"), std::vector<std::string>{mismo});

    EXPECT_EQ(LeerFichero(fuera / "victima"), "no tocar");
    EXPECT_EQ(LeerFichero(c / "pel.fin").substr(17), "fin");
    EXPECT_EQ(LeerFichero(c / "p.004"), "cuatro");
    EXPECT_EQ(LeerFichero(c / "q.0").size(), 9u + static_cast<size_t>(LargoHacha("q.0", "0", "10")));
    EXPECT_EQ(LeerFichero(c / "r.1"), "no tocar");
    EXPECT_EQ(LeerFichero(c / "s.1"), "no tocar");
}

// A piece whose read fails midway (a failing device) stops the join with the write message.
TEST_F(UnionTest, UnaLecturaFallidaDeUnTrozoEsUnaCopiaFallida) {
    EscribirFichero(c / "pelicula.001", Datos(30, 1));
    EscribirFichero(c / "pelicula.002", Datos(30, 2));
    const EntradaUnir e = Elegir(c / "pelicula.001", c / "junto");
    SimularFalloDeLectura(40);
    EXPECT_FALSE(Unir(v, e));
    SimularFalloDeLectura(-1);
    EXPECT_EQ(v.errores, std::vector<std::string>{"¡ Error al escribir en fichero " + (c / "junto") + " !"});
    EXPECT_TRUE(v.informaciones.empty());
}

TEST_F(UnionTest, UnDestinoQueNoSePuedeCrear) {
    EscribirFichero(c / "pelicula.001", "x");
    const EntradaUnir e = Elegir(c / "pelicula.001", c / "no/existe");
    EXPECT_FALSE(Unir(v, e));
    EXPECT_EQ(v.errores, std::vector<std::string>{"¡ Error al crear fichero " + (c / "no/existe") + " !"});
    EXPECT_TRUE(v.Memo(Memo::Unir).empty());
    EXPECT_TRUE(std::find(v.eventos.begin(), v.eventos.end(), "cursor ocupado") == v.eventos.end());
}

} // namespace
} // namespace quimbel
