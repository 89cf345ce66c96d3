// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "app/ajustes/ListaTamanos.h"
#include "app/ajustes/Perfil.h"
#include "support/Carpeta.h"
#include "support/Desenlace.h"

namespace quimbel {
namespace {

using prueba::CarpetaTemporal;
using prueba::EscribirFichero;
using prueba::LeerFichero;

TEST(Perfil, LeeLaSeccionSinMayusculasYRecorta) {
    CarpetaTemporal c;
    EscribirFichero(c / "p.ini",
                    "[Otra]\r\nFormLeft=9\r\n[ main ]\nFormLeft = 10\r\n;comentario=1\r\nsin igual\r\n"
                    "WindowState=wsNormal\r\n[Main]\r\nFormTop=3\r\n");
    const auto claves = Perfil(c / "p.ini").LeerSeccion("Main");
    ASSERT_EQ(claves.size(), 3u);
    EXPECT_EQ(claves[0], (std::pair<std::string, std::string>{"FormLeft", "10"}));
    EXPECT_EQ(claves[1].first, "WindowState");
    EXPECT_EQ(claves[2], (std::pair<std::string, std::string>{"FormTop", "3"}));
    EXPECT_TRUE(Perfil(c / "falta.ini").LeerSeccion("Main").empty());
}

TEST(Perfil, EscribeUnaClaveYConservaLoDemas) {
    CarpetaTemporal c;
    const Perfil p(c / "p.ini");
    EXPECT_EQ(p.EscribirClave("Main", "FormLeft", "1"), Hecho);
    EXPECT_EQ(LeerFichero(c / "p.ini"), "[Main]\r\nFormLeft=1\r\n");
    EscribirFichero(c / "p.ini", "; cabecera\n[Main]\nformleft=5\nOtra=x\n\n[Sig]\nFormLeft=7\n");
    EXPECT_EQ(p.EscribirClave("main", "FormLeft", "-3"), Hecho);
    EXPECT_EQ(p.EscribirClave("Main", "FormTop", "4"), Hecho);
    EXPECT_EQ(p.EscribirClave("Nueva", "K", "v"), Hecho);
    EXPECT_EQ(LeerFichero(c / "p.ini"),
              "; cabecera\r\n[Main]\r\nFormLeft=-3\r\nOtra=x\r\nFormTop=4\r\n\r\n[Sig]\r\n"
              "FormLeft=7\r\n[Nueva]\r\nK=v\r\n");
    EXPECT_NE(Perfil(c / "no/existe.ini").EscribirClave("Main", "A", "1"), Hecho);
}

// A settings file grown to 10 MiB of blank lines costs what its first lines hold: the keys are
// written into them in one pass, the rest is dropped, and the file is replaced whole.
TEST(Perfil, UnFicheroEnormeSeRecortaYSeEscribeDeUnaVez) {
    CarpetaTemporal c;
    EscribirFichero(c / "p.ini", "[Main]\r\nOtra=1\r\n" + std::string(10 << 20, '\n'));
    const Perfil p(c / "p.ini");
    EXPECT_EQ(p.EscribirClaves("Main", {{"FormLeft", "5"}, {"FormTop", "6"}, {"otra", "2"}}), Hecho);
    const std::string escrito = LeerFichero(c / "p.ini");
    std::string esperado = "[Main]\r\notra=2\r\nFormLeft=5\r\nFormTop=6\r\n";
    for (size_t i = 2; i < MaxLineasPerfil; ++i)
        esperado += "\r\n";
    EXPECT_EQ(escrito, esperado);
    EXPECT_EQ(prueba::Nombres(c.Ruta()), std::vector<std::string>{"p.ini"});
}

TEST(ListaTamanos, LineasTalCual) {
    CarpetaTemporal c;
    EscribirFichero(c / "Sizes.txt", "1\r\n\r\n 2 \nx\r3");
    std::vector<std::string> items{"previo"};
    ASSERT_EQ(LeerListaTamanos(c / "Sizes.txt", items), Hecho);
    EXPECT_EQ(items, (std::vector<std::string>{"1", "", " 2 ", "x", "3"}));
    EXPECT_NE(LeerListaTamanos(c / "falta.txt", items), Hecho);
    EXPECT_EQ(EscribirListaTamanos(c / "otra.txt", {"a", "", "b"}), Hecho);
    EXPECT_EQ(LeerFichero(c / "otra.txt"), "a\r\n\r\nb\r\n");
    EXPECT_NE(EscribirListaTamanos(c.Ruta(), {"a"}), Hecho);
}

} // namespace
} // namespace quimbel
