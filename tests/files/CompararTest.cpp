// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "files/Comparar.h"

namespace quimbel {
namespace {

// Only A to Z fold: the bytes 0x20 apart from them that are no letters ('@' and '`', '[' and
// '{'), and every byte of a UTF-8 letter, compare as they are, whatever the locale says.
TEST(Comparar, SoloLasLetrasAaZSinDistinguirCaso) {
    EXPECT_TRUE(IgualesSinMayusculas("Pelicula.FIN", "pelicula.fin"));
    EXPECT_TRUE(IgualesSinMayusculas("", ""));
    EXPECT_FALSE(IgualesSinMayusculas("ab", "abc"));
    EXPECT_FALSE(IgualesSinMayusculas("abc", "ab"));
    EXPECT_FALSE(IgualesSinMayusculas("@", "`"));
    EXPECT_FALSE(IgualesSinMayusculas("[", "{"));
    std::setlocale(LC_ALL, "C.UTF-8");
    EXPECT_FALSE(IgualesSinMayusculas("\xC3\x91", "\xC3\xB1")); // Ñ and ñ
    std::setlocale(LC_ALL, "C");
    for (int c = 0; c < 256; ++c) {
        const char b = static_cast<char>(c);
        const bool letra = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        EXPECT_EQ(MinusculaAscii(b), c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : b) << c;
        EXPECT_EQ(IgualesSinMayusculas(std::string(1, b), std::string(1, static_cast<char>(c ^ 0x20))), letra)
            << c;
    }
    EXPECT_EQ(MinusculasAscii("Ñ.PAR2"), "Ñ.par2");
}

TEST(Comparar, FinalSinDistinguirCaso) {
    EXPECT_TRUE(TerminaSinMayusculas("/d/pelicula.PaR", ".par"));
    EXPECT_TRUE(TerminaSinMayusculas(".par", ".par"));
    EXPECT_FALSE(TerminaSinMayusculas("par", ".par"));
    EXPECT_FALSE(TerminaSinMayusculas("/d/pelicula.par2", ".par"));
    EXPECT_TRUE(TerminaSinMayusculas("x", ""));
}

} // namespace
} // namespace quimbel
