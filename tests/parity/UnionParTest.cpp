// SPDX-License-Identifier: GPL-3.0-or-later
// A join of pieces that came with their PAR2 set, with the real libraries: each piece is checked
// slice by slice from the bytes the join copies; a piece missing, wrong or of the wrong length
// stops the join before its destination appears, unless the user agrees to rebuild the set
// first, which then gives the source byte for byte.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "files/Carpeta.h"
#include "files/Rutas.h"
#include "join/AnalisisUnir.h"
#include "join/Union.h"
#include "parity/Bibliotecas.h"
#include "parity/DescripcionPar.h"
#include "parity/Par.h"
#include "split/Corte.h"
#include "support/Carpeta.h"
#include "support/Grabadora.h"
#include "verify/Crc.h"

namespace quimbel {
namespace {

using namespace prueba;
namespace fs = std::filesystem;

class UnionPar : public ::testing::Test {
  protected:
    void SetUp() override {
        CargarCrc(CARPETA_CRC32);
        CargarPar(CARPETA_PAR);
    }
    void TearDown() override {
        LiberarPar();
        LiberarCrc();
    }

    // Splits the source into four pieces in c with a PAR2 set of `recuperacion` recovery
    // slices (and an SFV file when asked); the pieces' paths.
    std::vector<std::string> Cortar(TipoCorte tipo, const std::string& recuperacion, bool sfv = false) {
        EscribirFichero(c() / "origen.avi", fuente);
        EntradaCorte e;
        e.fuente = c() / "origen.avi";
        e.destino = c() / "d/";
        e.tamano = "30000";
        e.tipo = tipo;
        e.par = true;
        e.numeroPar = recuperacion;
        e.sfv = sfv;
        fs::create_directory(c() / "d");
        Grabadora g;
        EXPECT_TRUE(quimbel::Cortar(g, e).finalizado) << (g.errores.empty() ? "" : g.errores[0]);
        fs::remove(c() / "origen.avi");
        std::vector<std::string> trozos;
        for (int64_t k = 1; k <= 4; ++k)
            trozos.push_back(c() / ("d/" + NombreTrozo("origen.avi", "", k, 4, tipo)));
        return trozos;
    }
    // Joins the set of the chosen piece into d/unido.avi.
    bool Unir(const std::string& elegido) {
        Grabadora analisis;
        const AnalisisUnir a = AnalizarFicheroUnir(analisis, elegido);
        return a.correcto && quimbel::Unir(v, {elegido, c() / "d/unido.avi", a.plan});
    }

    // The folder of the case at hand: each case of a table starts in a new one.
    const CarpetaTemporal& c() const { return *carpeta; }
    void Nueva() {
        carpeta.emplace();
        v = Grabadora();
    }

    std::optional<CarpetaTemporal> carpeta{std::in_place};
    Grabadora v;
    const std::string fuente = Datos(100000, 5);
};

TEST_F(UnionPar, CadaTrozoSeCompruebaConSuJuegoEnCualquierEsquema) {
    for (const TipoCorte tipo : {TipoCorte::Normal, TipoCorte::CortaArchivos, TipoCorte::Hacha}) {
        SCOPED_TRACE(static_cast<int>(tipo));
        Nueva();
        const std::vector<std::string> t = Cortar(tipo, "2");
        ASSERT_TRUE(Unir(t[2]));
        EXPECT_EQ(LeerFichero(c() / "d/unido.avi"), fuente);
        for (const std::string& trozo : t)
            EXPECT_TRUE(v.TieneLinea(Memo::Unir, "  Correcto: " + trozo)) << trozo;
        EXPECT_EQ(v.informaciones, std::vector<std::string>{"¡ Proceso finalizado !"});
        EXPECT_TRUE(v.preguntasReparar.empty());
    }
}

TEST_F(UnionPar, ElJuegoEnMayusculasCuentaYPasaPorDelanteDelSfv) {
    const std::vector<std::string> t = Cortar(TipoCorte::Normal, "2", true);
    fs::rename(c() / "d/origen.par2", c() / "d/origen.PAR2");
    // A list that calls every piece wrong: the PAR2 set, which is right, is the one taken.
    EscribirFichero(c() / "d/origen.sfv", "origen.001 00000000\norigen.002 00000000\n");
    ASSERT_TRUE(Unir(t[0]));
    EXPECT_EQ(LeerFichero(c() / "d/unido.avi"), fuente);
    EXPECT_TRUE(v.TieneLinea(Memo::Unir, "  Correcto: " + t[3]));
}

// Each fault, answered "No" to the repair: the join stops with the fault's message, asked once
// with that message, and the folder is as it was.
TEST_F(UnionPar, UnFalloDetieneLaUnionSinEscribirNada) {
    struct Caso {
        const char* nombre;
        std::function<void(const std::vector<std::string>&)> estropear;
        std::function<std::string(const std::vector<std::string>&)> mensaje;
    };
    const std::vector<Caso> casos{
        {"un byte cambiado",
         [](const auto& t) {
             std::string dos = LeerFichero(t[1]);
             dos[12345] ^= 1;
             EscribirFichero(t[1], dos);
         },
         [](const auto& t) { return "¡ Error CRC en el trozo 2 : " + t[1] + " !"; }},
        {"el último perdido", [](const auto& t) { fs::remove(t[3]); },
         [](const auto& t) { return "¡ Falta el trozo 4 : " + t[3] + " !"; }},
        {"uno más largo", [](const auto& t) { EscribirFichero(t[2], LeerFichero(t[2]) + "x"); },
         [](const auto& t) {
             return "¡ El trozo 3 : " + t[2] + " tiene 30001 bytes y debería tener 30000 !";
         }},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        Nueva();
        const std::vector<std::string> t = Cortar(TipoCorte::Normal, "2");
        caso.estropear(t);
        const auto antes = Contenido(c() / "d");
        EXPECT_FALSE(Unir(t[0]));
        EXPECT_EQ(v.errores, std::vector<std::string>{caso.mensaje(t)});
        EXPECT_EQ(v.preguntasReparar, std::vector<std::string>{caso.mensaje(t)});
        EXPECT_EQ(Contenido(c() / "d"), antes);
        EXPECT_TRUE(v.informaciones.empty());
    }
}

// A PAR2 set named like the pieces that guards another file is no list of the pieces: a missing
// piece is the plain error, with no offer to repair.
TEST_F(UnionPar, UnJuegoParDeOtrosFicherosNoEsLaListaDeLosTrozos) {
    const std::vector<std::string> t = Cortar(TipoCorte::Normal, "2");
    for (const auto& e : fs::directory_iterator(c() / "d"))
        if (e.path().extension() == ".par2") fs::remove(e.path());
    EscribirFichero(c() / "d/otro.bin", Datos(5000, 9));
    ASSERT_EQ(std::system(
                  ("cd '" + c() / "d" + "' && par2 create -q origen.par2 otro.bin >/dev/null 2>&1").c_str()),
              0);
    fs::remove(t[2]);
    v.respuestasReparar = {true};
    EXPECT_FALSE(Unir(t[0]));
    EXPECT_TRUE(v.preguntasReparar.empty());
    EXPECT_EQ(v.errores, std::vector<std::string>{"¡ Falta el trozo 3 : " + t[2] + " !"});
    EXPECT_FALSE(fs::exists(c() / "d/unido.avi"));
}

TEST_F(UnionPar, RepararYUnirDevuelveLaFuenteYGuardaElTrozoDanado) {
    const std::vector<std::string> t = Cortar(TipoCorte::Normal, "2");
    fs::remove(t[1]);
    std::string tres = LeerFichero(t[2]);
    const std::string tresBueno = tres;
    tres[100] ^= 0x40;
    EscribirFichero(t[2], tres);
    v.respuestasReparar = {true};
    ASSERT_TRUE(Unir(t[0]));
    EXPECT_EQ(LeerFichero(c() / "d/unido.avi"), fuente);
    EXPECT_EQ(LeerFichero(t[2]), tresBueno);
    EXPECT_EQ(LeerFichero(t[2] + ".1"), tres);
    EXPECT_EQ(v.preguntasReparar, std::vector<std::string>{"¡ Falta el trozo 2 : " + t[1] + " !"});
    EXPECT_TRUE(v.errores.empty());
    EXPECT_EQ(v.informaciones, std::vector<std::string>{"¡ Proceso finalizado !"});
    // The repair's lines, then the join's, every piece checked.
    EXPECT_TRUE(v.TieneLinea(Memo::Unir, "Reparando con " + c() / "d/origen.par2"));
    EXPECT_TRUE(v.TieneLinea(Memo::Unir, "  Reparado: " + t[1]));
    EXPECT_TRUE(v.TieneLinea(Memo::Unir, "  Reparado: " + t[2]));
    for (const std::string& trozo : t)
        EXPECT_TRUE(v.TieneLinea(Memo::Unir, "  Correcto: " + trozo)) << trozo;
    EXPECT_TRUE(v.Memo(Memo::Reparar).empty());
}

TEST_F(UnionPar, UnJuegoQueNoSePuedeReconstruirLoDiceYNoEscribeNada) {
    const std::vector<std::string> t = Cortar(TipoCorte::Normal, "1");
    fs::remove(t[0]);
    fs::remove(t[3]);
    const auto antes = Contenido(c() / "d");
    v.respuestasReparar = {true};
    EXPECT_FALSE(Unir(t[1]));
    ASSERT_EQ(v.errores.size(), 1u);
    EXPECT_TRUE(v.errores[0].starts_with("¡ Falta")) << v.errores[0];
    EXPECT_TRUE(v.errores[0].ends_with("de recuperación !")) << v.errores[0];
    EXPECT_EQ(Contenido(c() / "d"), antes);
    EXPECT_TRUE(v.informaciones.empty());
}

// The library's description of a set: what it lists with each file's length and slice
// checksums; records it cannot take and folders without a set refused.
TEST_F(UnionPar, LaDescripcionDelJuegoYSusRechazos) {
    Cortar(TipoCorte::Normal, "2");
    Carpeta d;
    ASSERT_TRUE(AbrirCarpeta(d, c() / "d").Bien());
    const auto ficheros = DescribirJuegoPar(d, "origen.vol0+1.par2");
    ASSERT_TRUE(ficheros.has_value());
    ASSERT_EQ(ficheros->size(), 4u);
    for (int k = 0; k < 4; ++k) {
        const FicheroPar& f = (*ficheros)[static_cast<size_t>(k)];
        EXPECT_EQ(f.nombre, "origen.00" + std::to_string(k + 1));
        EXPECT_EQ(f.tamano, k < 3 ? 30000u : 10000u);
        EXPECT_EQ(f.crcs.size(), (f.tamano + f.tamanoRebanada - 1) / f.tamanoRebanada);
    }
    EXPECT_FALSE(DescribirJuegoPar(d, "origen.001").has_value());
    // An index cut short: the volumes describe the set.
    EscribirFichero(c() / "d/origen.par2", LeerFichero(c() / "d/origen.par2").substr(0, 100));
    const auto deVolumenes = DescribirJuegoPar(d, "origen.par2");
    ASSERT_TRUE(deVolumenes.has_value());
    EXPECT_EQ(deVolumenes->size(), 4u);
    const ParDescribirFuncion describir = LasBibliotecas().Describir();
    ASSERT_NE(describir, nullptr);
    const auto con = [&](uint32_t tamano, uint32_t version, const char* indice) {
        const LlamadaParDescribir r{tamano, version, d.Descriptor(), indice, nullptr, nullptr};
        return describir(&r);
    };
    EXPECT_EQ(describir(nullptr), 1);
    EXPECT_EQ(con(sizeof(LlamadaParDescribir), 2, "origen.par2"), 1);
    EXPECT_EQ(con(8, LLAMADA_PAR_DESCRIBIR_VERSION, "origen.par2"), 1);
    EXPECT_EQ(con(sizeof(LlamadaParDescribir), LLAMADA_PAR_DESCRIBIR_VERSION, ""), 1);
    EXPECT_EQ(con(sizeof(LlamadaParDescribir), LLAMADA_PAR_DESCRIBIR_VERSION, nullptr), 1);
    EXPECT_EQ(con(sizeof(LlamadaParDescribir), LLAMADA_PAR_DESCRIBIR_VERSION, "no.par2"), 2);
    EXPECT_EQ(con(sizeof(LlamadaParDescribir), LLAMADA_PAR_DESCRIBIR_VERSION, "origen.par2"), 0);
}

} // namespace
} // namespace quimbel
