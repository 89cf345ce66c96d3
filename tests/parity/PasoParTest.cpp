// SPDX-License-Identifier: GPL-3.0-or-later
#include <dlfcn.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "parity/Par.h"
#include "parity/PasoPar.h"
#include "split/Corte.h"
#include "support/Carpeta.h"
#include "support/Grabadora.h"

namespace quimbel {
namespace {

using namespace prueba;

class PasoParTest : public ::testing::Test {
  protected:
    void SetUp() override {
        CargarPar(CARPETA_PAR_PRUEBA);
        anterior_ = getcwd(nullptr, 0);
        for (const char* t : {"pelicula.001", "pelicula.002", "pelicula.003"})
            EscribirFichero(c / t, t);
        EscribirFichero(c / "pelicula.avi", "fuente");
    }
    void TearDown() override {
        LiberarPar();
        // The step works on D's descriptor: the process's current folder never moves.
        char* ahora = getcwd(nullptr, 0);
        EXPECT_STREQ(ahora, anterior_);
        free(ahora);
        free(anterior_);
    }

    static std::string Llamada(const char* que) {
        void* h = dlopen(CARPETA_PAR_PRUEBA "libpar.so", RTLD_NOW | RTLD_NOLOAD);
        if (h == nullptr) return "(no cargada)";
        const std::string r = BuscarFuncion<const char* (*)()>(h, que)();
        dlclose(h);
        return r;
    }
    static std::string Recibido() { return Llamada("par_prueba_recibido"); }

    // A split of the source into pieces of 10 bytes with a set able to rebuild one.
    static EntradaCorte CorteConPar(const std::string& fuente, TipoCorte tipo = TipoCorte::Normal) {
        EntradaCorte e;
        e.fuente = fuente;
        e.tamano = "10";
        e.tipo = tipo;
        e.par = true;
        e.numeroPar = "1";
        return e;
    }

    EntradaPar Entrada(const std::string& numero) const {
        return {c.Ruta(), c / "pelicula.avi", numero, {"pelicula.001", "pelicula.002", "pelicula.003"}};
    }

    CarpetaTemporal c;
    Grabadora v;
    char* anterior_ = nullptr;
};

TEST_F(PasoParTest, VectorCarpetaYLineasDeLaBiblioteca) {
    const ResultadoPar r = PasoPar(v, Entrada("5"));
    EXPECT_FALSE(r.detenido);
    const std::string par = c / "pelicula.par";
    EXPECT_EQ(Recibido(),
              "10|par.exe|add|-n5|-m|+C|--|" + par + "|pelicula.001|pelicula.002|pelicula.003|nulos");
    EXPECT_EQ(Llamada("par_prueba_carpeta") + "/", c.Ruta());
    const std::vector<std::string> memo{
        "Creando PAR: " + par, "add",          "-n5",         "-m", "+C", "--", par,
        "pelicula.001",        "pelicula.002", "pelicula.003"};
    EXPECT_EQ(v.Memo(Memo::Cortar), memo);
    EXPECT_TRUE(v.informaciones.empty());
    EXPECT_EQ(v.respiros, 1);
    // Only the pieces written, in set order.
    Grabadora g;
    EntradaPar e = Entrada("");
    e.trozos = {"pelicula.002", "pelicula.003"};
    PasoPar(g, e);
    EXPECT_EQ(Recibido(), "9|par.exe|add|-n0|-m|+C|--|" + par + "|pelicula.002|pelicula.003|nulos");
}

TEST_F(PasoParTest, NumeroDePares) {
    for (const auto& [texto, opcion] :
         std::vector<std::pair<std::string, std::string>>{{"", "-n0"},
                                                          {" 5", "-n5"},
                                                          {"+5", "-n5"},
                                                          {"$5", "-n5"},
                                                          {"0x10", "-n16"},
                                                          {"-1", "-n4294967295"},
                                                          {"0", "-n0"}})
        EXPECT_EQ(OpcionNumeroPar(texto), opcion) << texto;
    for (const std::string malo : {"5 ", "cinco", "   "}) {
        Grabadora g;
        const std::string antes = Recibido();
        const ResultadoPar r = PasoPar(g, Entrada(malo));
        EXPECT_TRUE(r.detenido) << malo;
        EXPECT_EQ(g.informaciones, std::vector<std::string>{"¡ Error en el número de pares !"});
        EXPECT_EQ(g.Memo(Memo::Cortar), std::vector<std::string>{"Creando PAR: " + (c / "pelicula.par")});
        EXPECT_EQ(Recibido(), antes) << "no call";
    }
}

TEST_F(PasoParTest, CarpetaQueYaNoExisteYBibliotecaAusente) {
    EntradaPar e = Entrada("1");
    e.destino = c / "ida/";
    PasoPar(v, e);
    EXPECT_EQ(v.informaciones,
              std::vector<std::string>{"¡ Error al cambiar al directorio " + (c / "ida/") + " !"});
    EXPECT_NE(Recibido().find("|-n1|"), std::string::npos) << "the library is still called";

    LiberarPar();
    Grabadora g;
    const ResultadoPar r = PasoPar(g, Entrada("1"));
    EXPECT_FALSE(r.detenido);
    EXPECT_FALSE(r.hecho);
    EXPECT_EQ(g.informaciones, std::vector<std::string>{"¡ Error en la DLL Par.dll !"});
}

TEST_F(PasoParTest, DemasiadosTrozos) {
    EntradaPar e = Entrada("1");
    e.trozos.assign(994, "pelicula.001");
    const std::string antes = Recibido();
    EXPECT_FALSE(PasoPar(v, e).hecho);
    EXPECT_EQ(v.informaciones,
              std::vector<std::string>{"¡ Demasiados trozos para crear el PAR: el máximo es 993 !"});
    EXPECT_EQ(Recibido(), antes);
    e.trozos.resize(993);
    Grabadora g;
    PasoPar(g, e);
    EXPECT_TRUE(g.informaciones.empty());
    EXPECT_EQ(Recibido().substr(0, 5), "1000|");
}

TEST_F(PasoParTest, NuncaPisaLaFuenteNiUnTrozo) {
    const std::string antes = Recibido();
    // A source named like the set's index, or like a recovery volume, split into its own folder.
    for (const std::string fuente : {"x.par2", "x.vol0+1.par2", "x.vol03+04.par2"}) {
        Grabadora g;
        EscribirFichero(c / fuente, "datos");
        PasoPar(g, {c.Ruta(), c / fuente, "1", {"x.001"}});
        EXPECT_EQ(g.informaciones, std::vector<std::string>{"¡ Error, el PAR sobrescribiría el fichero " +
                                                            (c / fuente) + " !"})
            << fuente;
        EXPECT_EQ(Recibido(), antes);
    }
    // An existing output that is the same file as a piece.
    ASSERT_EQ(link((c / "pelicula.002").c_str(), (c / "pelicula.vol0+1.par2").c_str()), 0);
    PasoPar(v, Entrada("1"));
    EXPECT_EQ(v.informaciones, std::vector<std::string>{"¡ Error, el PAR sobrescribiría el fichero " +
                                                        (c / "pelicula.vol0+1.par2") + " !"});
    EXPECT_EQ(Recibido(), antes);
    // Names that only look alike are no outputs.
    Grabadora g;
    PasoPar(g, {c.Ruta(), c / "x.par2x", "1", {"x.vol1.par2", "x.volA+1.par2"}});
    EXPECT_TRUE(g.informaciones.empty());
}

} // namespace
} // namespace quimbel

namespace quimbel {
namespace {

// Piece names a set cannot carry (a control byte) are refused before anything else: by the
// step, without a call, and by a split with a PAR set before it writes a piece.
TEST_F(PasoParTest, NombresQueUnJuegoNoPuedeLlevar) {
    const std::string antes = Recibido();
    EntradaPar e = Entrada("1");
    e.trozos = {"pelicula.001", "peli\tcula.002"};
    EXPECT_TRUE(PasoPar(v, e).detenido);
    EXPECT_EQ(v.errores, std::vector<std::string>{"¡ Error, nombre no válido para PAR: peli\tcula.002 !"});
    EXPECT_TRUE(v.Memo(Memo::Cortar).empty());
    EXPECT_EQ(Recibido(), antes);

    EscribirFichero(c / "a\tb.avi", Datos(30));
    const std::vector<std::string> nombres = Nombres(c.Ruta());
    for (const bool sfv : {false, true}) {
        EntradaCorte corte = CorteConPar(c / "a\tb.avi");
        corte.sfv = sfv;
        Grabadora g;
        EXPECT_FALSE(Cortar(g, corte).finalizado);
        EXPECT_EQ(g.errores, std::vector<std::string>{"¡ Error, nombre no válido para PAR: a\tb.001 !"});
        EXPECT_EQ(Nombres(c.Ruta()), nombres);
        EXPECT_EQ(Recibido(), antes);
    }
}

// The split hands the step the names of the pieces it wrote, in set order.
TEST_F(PasoParTest, ElCortePasaSusTrozosEnOrden) {
    EscribirFichero(c / "p.avi", Datos(30));
    for (const auto& [tipo, esperado] : std::vector<std::pair<TipoCorte, std::string>>{
             {TipoCorte::CortaArchivos, "|p.1|p.2|p.fin|nulos"}, {TipoCorte::Hacha, "|p.0|p.1|p.2|nulos"}}) {
        const EntradaCorte e = CorteConPar(c / "p.avi", tipo);
        Grabadora g;
        g.respuestasReemplazar = {true}; // the second scheme's set replaces the first's
        const ResultadoCorte r = Cortar(g, e);
        EXPECT_TRUE(r.finalizado);
        EXPECT_FALSE(r.completo) << "the stand-in library answers non-zero";
        EXPECT_TRUE(Recibido().ends_with(esperado)) << Recibido();
        EXPECT_EQ(g.informaciones, std::vector<std::string>{"¡ Proceso finalizado !"});
    }
}

} // namespace
} // namespace quimbel
