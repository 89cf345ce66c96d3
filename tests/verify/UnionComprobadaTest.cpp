// SPDX-License-Identifier: GPL-3.0-or-later
// A join of pieces that came with their SFV file checks each piece's CRC-32 from the bytes it
// copies (headers included), says so per piece, and stops at a wrong piece or at a piece the
// list names that is gone, with nothing under the destination's name.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "files/Rutas.h"
#include "join/AnalisisUnir.h"
#include "join/Union.h"
#include "split/Corte.h"
#include "support/Carpeta.h"
#include "support/Grabadora.h"
#include "verify/Crc.h"

namespace quimbel {
namespace {

using namespace prueba;

class UnionComprobada : public ::testing::Test {
  protected:
    void SetUp() override { CargarCrc(CARPETA_CRC32); }
    void TearDown() override { LiberarCrc(); }

    // Splits the source (in d/f) with its SFV file into d; the pieces' paths.
    std::vector<std::string> Cortar(TipoCorte tipo, const CarpetaTemporal& d) {
        EXPECT_EQ(mkdir((d / "f").c_str(), 0755), 0);
        EscribirFichero(d / "f/pelicula.avi", fuente);
        EntradaCorte e;
        e.fuente = d / "f/pelicula.avi";
        e.destino = d.Ruta();
        e.tamano = "1500000";
        e.tipo = tipo;
        e.sfv = true;
        Grabadora g;
        EXPECT_TRUE(quimbel::Cortar(g, e).finalizado);
        std::vector<std::string> trozos;
        for (int64_t k = 1; k <= 3; ++k)
            trozos.push_back(d / NombreTrozo("pelicula.avi", "", k, 3, tipo));
        return trozos;
    }
    // Joins the set of the chosen piece into f/unido beside it.
    bool Unir(const std::string& elegido) {
        Grabadora analisis;
        const AnalisisUnir a = AnalizarFicheroUnir(analisis, elegido);
        return a.correcto && quimbel::Unir(v, {elegido, CarpetaDeRuta(elegido) + "f/unido", a.plan});
    }

    CarpetaTemporal c;
    Grabadora v;
    const std::string fuente = Datos(4000000, 8);
};

TEST_F(UnionComprobada, CadaTrozoSeDiceCorrectoConSuCabeceraIncluida) {
    for (const TipoCorte tipo : {TipoCorte::Normal, TipoCorte::CortaArchivos, TipoCorte::Hacha}) {
        SCOPED_TRACE(static_cast<int>(tipo));
        CarpetaTemporal d;
        const std::vector<std::string> t = Cortar(tipo, d);
        v = Grabadora();
        ASSERT_TRUE(Unir(t[1]));
        EXPECT_EQ(LeerFichero(d / "f/unido"), fuente);
        EXPECT_EQ(v.Memo(Memo::Unir),
                  (std::vector<std::string>{
                      "Uniendo trozos...",
                      "Uniendo trozo " + std::string(tipo == TipoCorte::Hacha ? "0" : "1") + " : " + t[0],
                      "  Correcto: " + t[0],
                      "Uniendo trozo " + std::string(tipo == TipoCorte::Hacha ? "1" : "2") + " : " + t[1],
                      "  Correcto: " + t[1],
                      "Uniendo trozo " + std::string(tipo == TipoCorte::Hacha ? "2" : "3") + " : " + t[2],
                      "  Correcto: " + t[2], ""}));
    }
}

TEST_F(UnionComprobada, UnTrozoDanadoOPerdidoDetieneLaUnionSinDejarNada) {
    const std::vector<std::string> t = Cortar(TipoCorte::Normal, c);
    // One byte changed, the size kept: only the checksum tells.
    std::string dos = LeerFichero(t[1]);
    dos[700000] ^= 1;
    EscribirFichero(t[1], dos);
    EXPECT_FALSE(Unir(t[0]));
    EXPECT_EQ(v.errores, std::vector<std::string>{"¡ Error CRC en el trozo 2 : " + t[1] + " !"});
    EXPECT_EQ(v.Memo(Memo::Unir).back(), " Error CRC: " + t[1]);
    EXPECT_EQ(Nombres(c / "f"), std::vector<std::string>{"pelicula.avi"});
    // The last piece lost: the set on disk ends earlier than its list.
    dos[700000] ^= 1;
    EscribirFichero(t[1], dos);
    ASSERT_EQ(unlink(t[2].c_str()), 0);
    v = Grabadora();
    EXPECT_FALSE(Unir(t[0]));
    EXPECT_EQ(v.errores, std::vector<std::string>{"¡ Falta el trozo 3 : " + t[2] + " !"});
    EXPECT_TRUE(v.Memo(Memo::Unir).empty());
    EXPECT_EQ(Nombres(c / "f"), std::vector<std::string>{"pelicula.avi"});
}

// The list is found in any letter case; pieces it does not name are joined unchecked.
TEST_F(UnionComprobada, LaListaEnCualquierCajaYSoloParaLoQueNombra) {
    const std::vector<std::string> t = Cortar(TipoCorte::Normal, c);
    const std::string lista = LeerFichero(c / "pelicula.sfv");
    ASSERT_EQ(unlink((c / "pelicula.sfv").c_str()), 0);
    // Only the first piece's line is kept, under an upper-case name.
    const size_t primera = lista.find("pelicula.001 ");
    ASSERT_NE(primera, std::string::npos);
    EscribirFichero(c / "pelicula.SFV", lista.substr(primera, lista.find("\r\n", primera) + 2 - primera));
    ASSERT_TRUE(Unir(t[2]));
    EXPECT_EQ(LeerFichero(c / "f/unido"), fuente);
    EXPECT_EQ(v.Memo(Memo::Unir).size(), 6u);
    EXPECT_EQ(v.Memo(Memo::Unir)[2], "  Correcto: " + t[0]);
}

} // namespace
} // namespace quimbel
