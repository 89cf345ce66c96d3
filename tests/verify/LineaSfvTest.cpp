// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "verify/LineaSfv.h"

namespace quimbel {
namespace {

// name and CRC text of a line, or "-" when it carries no entry.
std::string Partes(std::string_view linea) {
    const auto l = LeerLineaSfv(linea);
    return l ? "[" + l->nombre + "][" + l->textoCrc + "]" : "-";
}

TEST(LineaSfv, LineasSinEntrada) {
    EXPECT_EQ(Partes(""), "-");
    EXPECT_EQ(Partes(";"), "-");
    EXPECT_EQ(Partes("; 10000000 17:29 06-12-2026 pelicula.001"), "-");
    EXPECT_EQ(Partes(";pelicula.001 0a1b2c3d"), "-");
    EXPECT_EQ(Partes("pelicula.001"), "-");
    EXPECT_EQ(Partes(" "), "-");
    EXPECT_EQ(Partes("x"), "-");
    // The only blank is the last character: nothing follows it.
    EXPECT_EQ(Partes("pelicula.001 "), "-");
    EXPECT_EQ(Partes("  "), "[][ ]") << "the first of two blanks separates";
}

TEST(LineaSfv, PartidaEnElUltimoBlancoQueNoEsElUltimoCaracter) {
    EXPECT_EQ(Partes("pelicula.001 0a1b2c3d"), "[pelicula.001][0a1b2c3d]");
    EXPECT_EQ(Partes("mi pelicula vieja.001 0A1B2C3D"), "[mi pelicula vieja.001][0A1B2C3D]");
    EXPECT_EQ(Partes("sub/a.001 1"), "[sub/a.001][1]");
    // A blank at the end stays in the CRC text, which then is invalid.
    EXPECT_EQ(Partes("a.001 0a1b2c3d "), "[a.001][0a1b2c3d ]");
    // Leading blanks are kept: a blank and ";" is not a comment.
    EXPECT_EQ(Partes(" ;a 12"), "[ ;a][12]");
    // The only blank first: an empty name.
    EXPECT_EQ(Partes(" 0a1b2c3d"), "[][0a1b2c3d]");
    EXPECT_EQ(Partes("a.001\t0a1b2c3d"), "-") << "only the blank separates";
    EXPECT_EQ(Partes(std::string(100000, 'n') + " ff"), "[" + std::string(100000, 'n') + "][ff]");
}

TEST(LineaSfv, TextoDelCrc) {
    EXPECT_EQ(LeerCrcSfv("0a1b2c3d"), 0x0a1b2c3du);
    EXPECT_EQ(LeerCrcSfv("0A1B2C3D"), 0x0a1b2c3du);
    EXPECT_EQ(LeerCrcSfv("ffffffff"), 0xffffffffu);
    EXPECT_EQ(LeerCrcSfv("0000000000cbf43926"), 0xcbf43926u) << "any leading zeros";
    EXPECT_EQ(LeerCrcSfv("1"), 1u);
    for (const char* malo : {"", "0x0a1b2c3d", "0X0a1b2c3d", "$0a1b2c3d", "x0a1b2c3d", "100000000",
                             " 0a1b2c3d", "0a1b2c3d ", "-1", "+1", "0a1b2c3g", "0a1b\r"})
        EXPECT_FALSE(LeerCrcSfv(malo)) << "[" << malo << "]";
}

} // namespace
} // namespace quimbel
