// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "support/Carpeta.h"
#include "support/Grabadora.h"
#include "verify/Renombrar.h"

namespace quimbel {
namespace {

using prueba::CarpetaTemporal;
using prueba::EscribirFichero;
using prueba::Existe;
using prueba::Grabadora;
using prueba::LeerFichero;

TEST(ExtensionValida, LosNueveCaracteresProhibidos) {
    for (const char* buena : {"", "mal", " ", "..", "m a.l", "malo~", "ñ"})
        EXPECT_TRUE(ExtensionValida(buena)) << buena;
    for (const char* mala : {"mal?", "*", "a/b", "a\\b", "|", "<", ">", "c:", "\"", "mal/../../x"})
        EXPECT_FALSE(ExtensionValida(mala)) << mala;
}

class Renombrar : public ::testing::Test {
  protected:
    void SetUp() override { EscribirFichero(p, "malo"); }
    CarpetaTemporal c;
    Grabadora v;
    const std::string p = c / "pelicula.002";
};

TEST_F(Renombrar, SaltaLosNombresOcupadosSinPisarlos) {
    EscribirFichero(p + ".mal1", "otro");
    EXPECT_TRUE(RenombrarErroneo(v, p, "mal", false));
    EXPECT_EQ(v.Memo(Memo::Verificar), std::vector<std::string>{" Renombrando: " + p + " -> " + p + ".mal2"});
    EXPECT_FALSE(Existe(p));
    EXPECT_EQ(LeerFichero(p + ".mal2"), "malo");
    EXPECT_EQ(LeerFichero(p + ".mal1"), "otro");
    EXPECT_TRUE(v.errores.empty());
}

TEST_F(Renombrar, LetrasAgotadasDejanElNombreYNombranLaZ) {
    for (char l = 'a'; l <= 'z'; ++l)
        EscribirFichero(p + ".mal" + l, std::string(1, l));
    EXPECT_FALSE(RenombrarErroneo(v, p, "mal", true));
    EXPECT_EQ(v.errores, std::vector<std::string>{"¡ Error al renombrar " + p + " a " + p + ".malz !"});
    EXPECT_TRUE(v.Memo(Memo::Verificar).empty());
    EXPECT_EQ(LeerFichero(p), "malo");
    EXPECT_EQ(LeerFichero(p + ".malq"), "q");
    EXPECT_FALSE(Existe(p + ".mal27")) << "no 27th name";
}

TEST_F(Renombrar, ExtensionVaciaYModoLetra) {
    EXPECT_TRUE(RenombrarErroneo(v, p, "", false));
    EXPECT_EQ(LeerFichero(p + ".1"), "malo");
    EscribirFichero(p, "otra vez");
    EXPECT_TRUE(RenombrarErroneo(v, p, "", true));
    EXPECT_EQ(LeerFichero(p + ".a"), "otra vez");
    EscribirFichero(p, "y otra");
    EXPECT_TRUE(RenombrarErroneo(v, p, "mal", true));
    EXPECT_EQ(v.Memo(Memo::Verificar),
              (std::vector<std::string>{" Renombrando: " + p + " -> " + p + ".1",
                                        " Renombrando: " + p + " -> " + p + ".a",
                                        " Renombrando: " + p + " -> " + p + ".mala"}));
}

TEST_F(Renombrar, NumerosAgotadosTrasMilIntentos) {
    // A file that is already gone costs every attempt and one box naming the last name.
    EXPECT_FALSE(RenombrarErroneo(v, c / "ya no existe", "mal", false));
    EXPECT_EQ(v.errores, std::vector<std::string>{"¡ Error al renombrar " + (c / "ya no existe") + " a " +
                                                  (c / "ya no existe") + ".mal1000 !"});
}

// The box is read while a run goes on; a text never checked must not move the file
// out of its folder.
TEST_F(Renombrar, ExtensionNoValidaNoRenombra) {
    EXPECT_FALSE(RenombrarErroneo(v, p, "x/../../fuera", false));
    EXPECT_EQ(v.errores, std::vector<std::string>{"¡ Extensión no válida !"});
    EXPECT_EQ(LeerFichero(p), "malo");
}

} // namespace
} // namespace quimbel
