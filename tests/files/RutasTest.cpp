// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "files/Entero.h"
#include "files/Rutas.h"

namespace quimbel {
namespace {

TEST(QuitarComillas, QuitaUnaComillaEnCadaExtremo) {
    EXPECT_EQ(QuitarComillas("\"/tmp/mi fichero.avi\""), "/tmp/mi fichero.avi");
    EXPECT_EQ(QuitarComillas("\"/tmp/a"), "/tmp/a");
    EXPECT_EQ(QuitarComillas("/tmp/a\""), "/tmp/a");
    EXPECT_EQ(QuitarComillas("\""), "");
    EXPECT_EQ(QuitarComillas(""), "");
    EXPECT_EQ(QuitarComillas("/tmp/a\"b\"c"), "/tmp/a\"b\"c");
    EXPECT_EQ(QuitarComillas("\"\"a\"\""), "\"a\"");
}

TEST(Rutas, CarpetaNombreYExtension) {
    EXPECT_EQ(ConBarraFinal("/trozos"), "/trozos/");
    EXPECT_EQ(ConBarraFinal("/trozos/"), "/trozos/");
    EXPECT_EQ(NombreDeRuta("/videos/pelicula.avi"), "pelicula.avi");
    EXPECT_EQ(CarpetaDeRuta("/videos/pelicula.avi"), "/videos/");
    EXPECT_EQ(CarpetaDeRuta("pelicula.avi"), "");
    EXPECT_EQ(Extension("/a.b/copia.tar.gz"), ".gz");
    EXPECT_EQ(Extension("/a.b/datos"), "");
    // ":" is an ordinary character here, never a separator.
    EXPECT_EQ(NombreDeRuta("/x/c:pelicula.avi"), "c:pelicula.avi");
    EXPECT_EQ(CambiarExtension("/a.b/datos", ".001"), "/a.b/datos.001");
    EXPECT_EQ(CambiarExtension("/v/copia.tar.gz", ".sfv"), "/v/copia.tar.sfv");
    EXPECT_EQ(CambiarExtension("/v/x.avi", ""), "/v/x");
}

TEST(LeerEntero, SintaxisDelPrograma) {
    EXPECT_EQ(LeerEntero("10000000"), 10000000);
    EXPECT_EQ(LeerEntero("   5"), 5);
    EXPECT_EQ(LeerEntero("+5"), 5);
    EXPECT_EQ(LeerEntero("-1"), -1);
    EXPECT_EQ(LeerEntero("$5"), 5);
    EXPECT_EQ(LeerEntero("0x10"), 16);
    EXPECT_EQ(LeerEntero("X1f"), 31);
    EXPECT_EQ(LeerEntero("xFF"), 255);
    EXPECT_EQ(LeerEntero("$FFFFFFFF"), -1);
    EXPECT_EQ(LeerEntero("$000000000cbf43926"), static_cast<int32_t>(0xcbf43926u));
    EXPECT_EQ(LeerEntero("2147483647"), 2147483647);
    EXPECT_EQ(LeerEntero("-2147483648"), INT32_MIN);
    EXPECT_EQ(LeerEntero("0007"), 7);
    for (const char* malo : {"", "   ", "5 ", "2147483648", "-2147483649", "$100000000", "0x", "$", "+$5",
                             "-0x5", "abc", "1e3", "$0x10", "$ 12", "99999999999999999999999", "\t5"})
        EXPECT_FALSE(LeerEntero(malo).has_value()) << malo;
}

TEST(LeerDecimal64, TamañosDeCabecera) {
    EXPECT_EQ(LeerDecimal64("3221225472"), 3221225472LL);
    EXPECT_EQ(LeerDecimal64("-5"), -5);
    EXPECT_EQ(LeerDecimal64("9223372036854775807"), INT64_MAX);
    EXPECT_FALSE(LeerDecimal64("9223372036854775808"));
    EXPECT_FALSE(LeerDecimal64("184467440737095516160"));
    EXPECT_FALSE(LeerDecimal64(" 5"));
    EXPECT_FALSE(LeerDecimal64("5x"));
    EXPECT_FALSE(LeerDecimal64(""));
}

} // namespace
} // namespace quimbel
