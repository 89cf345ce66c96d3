// SPDX-License-Identifier: GPL-3.0-or-later
// The program side of a repair with the real parity library: the inputs, where the
// library's lines, progress and failures go, and how the run ends.
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "parity/Par.h"
#include "parity/Reparacion.h"
#include "support/Carpeta.h"
#include "support/Grabadora.h"

namespace quimbel {
namespace {

using namespace prueba;

class ReparacionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        CargarPar(CARPETA_PAR);
        ASSERT_TRUE(ParCargada());
        EscribirFichero(c / "uno.bin", Datos(40000, 1));
        EscribirFichero(c / "dos.bin", Datos(40000, 2));
        const std::string orden =
            "cd '" + c.Ruta() + "' && par2 create -q -s4000 -c10 j.par2 uno.bin dos.bin >/dev/null 2>&1";
        ASSERT_EQ(std::system(orden.c_str()), 0);
    }
    void TearDown() override { LiberarPar(); }

    CarpetaTemporal c;
    Grabadora v;
};

TEST_F(ReparacionTest, LasLineasVanAlMemoYElAvanceALaVentana) {
    std::filesystem::remove(c / "dos.bin");
    v.memos[Memo::Reparar] = {"de otra corrida"};
    const ResultadoReparacion r = Reparar(v, {c / "j.par2", "", false, {}});
    EXPECT_EQ(r.estado, 0);
    EXPECT_EQ(v.Memo(Memo::Reparar),
              (std::vector<std::string>{" No existe: " + c / "dos.bin", "  Correcto: " + c / "uno.bin",
                                        "Bloques de recuperación: 10 disponibles, 10 necesarios",
                                        "  Reparado: " + c / "dos.bin"}));
    EXPECT_TRUE(v.Memo(Memo::Cortar).empty());
    EXPECT_EQ(LeerFichero(c / "dos.bin"), Datos(40000, 2));
    EXPECT_EQ(v.informaciones, std::vector<std::string>{"¡ Proceso finalizado !"});
    EXPECT_TRUE(v.errores.empty());
    // The bar is shown from the start and hidden at the end; the window breathes as it goes.
    ASSERT_GE(v.progresos.size(), 2u);
    EXPECT_EQ(v.progresos.front(), (std::pair<int64_t, int64_t>{0, 0}));
    EXPECT_LT(v.progresos.back().second, 0);
    for (size_t i = 1; i + 1 < v.progresos.size(); ++i)
        EXPECT_LE(v.progresos[i].first, v.progresos[i].second);
    EXPECT_GE(v.respiros, 1);
    EXPECT_EQ(v.eventos.front(), "limpiar");
    EXPECT_FALSE(v.ocupado);
}

TEST_F(ReparacionTest, ComprobarNoEscribeYTerminaIgual) {
    EscribirFichero(c / "uno.bin", Datos(40000, 3));
    const auto antes = std::filesystem::last_write_time(c / "uno.bin");
    const ResultadoReparacion r = Reparar(v, {c / "j.par2", c.Ruta(), true, {}});
    EXPECT_EQ(r.estado, 1);
    EXPECT_EQ(v.Memo(Memo::Reparar).front(), "  Correcto: " + c / "dos.bin");
    EXPECT_EQ(v.Memo(Memo::Reparar)[1], "    Dañado: " + c / "uno.bin" + " (10 bloques)");
    EXPECT_EQ(std::filesystem::last_write_time(c / "uno.bin"), antes);
    EXPECT_FALSE(Existe(c / "uno.bin.1"));
    EXPECT_EQ(v.informaciones, std::vector<std::string>{"¡ Proceso finalizado !"});
}

TEST_F(ReparacionTest, UnFalloEsUnaCajaDeErrorSinFinal) {
    std::filesystem::remove(c / "uno.bin");
    EscribirFichero(c / "dos.bin", "");
    const ResultadoReparacion r = Reparar(v, {c / "j.par2", "", false, {}});
    EXPECT_EQ(r.estado, 1);
    EXPECT_EQ(v.errores, std::vector<std::string>{"¡ Faltan 10 bloques de recuperación !"});
    EXPECT_TRUE(v.informaciones.empty());
    EXPECT_EQ(v.Memo(Memo::Reparar).back(), "Bloques de recuperación: 10 disponibles, 20 necesarios");
}

TEST_F(ReparacionTest, SinIndiceNiBibliotecaNoSeLlama) {
    ResultadoReparacion r = Reparar(v, {"", c.Ruta(), false, {}});
    EXPECT_EQ(r.estado, 2);
    EXPECT_FALSE(r.llamada);
    EXPECT_EQ(v.errores, std::vector<std::string>{"¡ Debes indicar el fichero PAR2 !"});
    EXPECT_EQ(v.foco, Campo::FicheroReparar);
    LiberarPar();
    r = Reparar(v, {c / "j.par2", "", false, {}});
    EXPECT_EQ(r.estado, 1);
    EXPECT_FALSE(r.llamada);
    EXPECT_EQ(v.errores.back(), "¡ Error en la DLL Par.dll !");
    EXPECT_TRUE(v.informaciones.empty());
}

} // namespace
} // namespace quimbel
