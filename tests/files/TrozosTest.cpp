// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/Cabeceras.h"
#include "files/Trozos.h"

namespace quimbel {
namespace {

std::vector<std::string> Nombres(int64_t s, int64_t p, TipoCorte tipo,
                                 const std::string& fuente = "/v/pelicula.avi") {
    std::vector<std::string> nombres;
    const int64_t n = NumeroTrozos(s, p);
    for (int64_t k = 1; k <= n; ++k)
        nombres.push_back(NombreTrozo(fuente, "/t/", k, n, tipo));
    return nombres;
}

TEST(NombreTrozo, TablaDeEjemplos) {
    using V = std::vector<std::string>;
    EXPECT_EQ(Nombres(4000000, 5000000, TipoCorte::Normal), V{"/t/pelicula.001"});
    EXPECT_EQ(Nombres(4000000, 5000000, TipoCorte::CortaArchivos), V{"/t/pelicula.fin"});
    EXPECT_EQ(Nombres(4000000, 5000000, TipoCorte::Hacha), V{"/t/pelicula.0"});
    EXPECT_EQ(Nombres(25000000, 10000000, TipoCorte::Normal),
              (V{"/t/pelicula.001", "/t/pelicula.002", "/t/pelicula.003"}));
    EXPECT_EQ(Nombres(25000000, 10000000, TipoCorte::CortaArchivos),
              (V{"/t/pelicula.1", "/t/pelicula.2", "/t/pelicula.fin"}));
    EXPECT_EQ(Nombres(25000000, 10000000, TipoCorte::Hacha),
              (V{"/t/pelicula.0", "/t/pelicula.1", "/t/pelicula.2"}));

    const auto doce = Nombres(115000000, 10000000, TipoCorte::Normal);
    ASSERT_EQ(doce.size(), 12u);
    EXPECT_EQ(doce.back(), "/t/pelicula.012");
    const auto doceCA = Nombres(115000000, 10000000, TipoCorte::CortaArchivos);
    EXPECT_EQ(doceCA[10], "/t/pelicula.11");
    EXPECT_EQ(doceCA[11], "/t/pelicula.fin");
    EXPECT_EQ(Nombres(115000000, 10000000, TipoCorte::Hacha).back(), "/t/pelicula.11");

    const auto mil = Nombres(999500000, 1000000, TipoCorte::Normal);
    ASSERT_EQ(mil.size(), 1000u);
    EXPECT_EQ(mil.front(), "/t/pelicula.0001");
    EXPECT_EQ(mil.back(), "/t/pelicula.1000");
    const auto milCA = Nombres(999500000, 1000000, TipoCorte::CortaArchivos);
    EXPECT_EQ(milCA[998], "/t/pelicula.999");
    EXPECT_EQ(milCA[999], "/t/pelicula.fin");
    EXPECT_EQ(Nombres(999500000, 1000000, TipoCorte::Hacha).back(), "/t/pelicula.999");
    EXPECT_EQ(Nombres(999000000, 1000000, TipoCorte::Normal).back(), "/t/pelicula.999");
}

TEST(NombreTrozo, NombresSinExtensionYConVariosPuntos) {
    EXPECT_EQ(NombreTrozo("/v/datos", "/t/", 1, 1, TipoCorte::Normal), "/t/datos.001");
    EXPECT_EQ(NombreTrozo("/v/copia.tar.gz", "/t/", 1, 2, TipoCorte::Normal), "/t/copia.tar.001");
    EXPECT_EQ(NombreTrozo("/v/copia.tar.gz", "/t/", 2, 2, TipoCorte::CortaArchivos), "/t/copia.tar.fin");
    EXPECT_EQ(NombreTrozo("/v.d/datos", "", 1, 1, TipoCorte::Normal), "datos.001");
}

TEST(NumeroTrozos, RedondeaHaciaArribaSinTrozoVacio) {
    EXPECT_EQ(NumeroTrozos(30, 10), 3);
    EXPECT_EQ(NumeroTrozos(31, 10), 4);
    EXPECT_EQ(NumeroTrozos(9, 10), 1);
    EXPECT_EQ(NumeroTrozos(3LL << 30, 1000000000), 4);
    EXPECT_EQ(AnchoNormal(1), 3);
    EXPECT_EQ(AnchoNormal(999), 3);
    EXPECT_EQ(AnchoNormal(1000), 4);
    EXPECT_EQ(AnchoNormal(100000), 6);
}

TEST(Cabeceras, EjemplosByteAByte) {
    const std::vector<unsigned char> ca{0x07, 0x63, 0x6F, 0x72, 0x74, 0x61, 0x72, 0x63, 0x03,
                                        0x00, 0x00, 0x00, 0x04, 0x2E, 0x61, 0x76, 0x69};
    EXPECT_EQ(CabeceraCA(3, ".avi"), ca);
    EXPECT_EQ(CabeceraCA(1, "").size(), 13u);

    const auto hacha = CabeceraHacha("pelicula.avi", 25000000, 10000000);
    const std::string esperado = std::string("?????") + std::string("\x30\x00\x00\x00", 4) +
                                 "?????pelicula.avi?????25000000?????10000000?????";
    ASSERT_EQ(hacha.size(), 57u);
    EXPECT_EQ(std::string(hacha.begin(), hacha.end()), esperado);
}

// Every header the split writes reads back to what it was made from, whatever the name holds.
TEST(Cabeceras, TodaCabeceraEscritaSeLee) {
    for (const std::string& nombre : std::vector<std::string>{
             "pelicula.avi", "¿qué?.avi", "?", "a?????b", "fin?", "C:\\V\\y.avi", std::string("n\0l", 3)}) {
        const auto hacha = CabeceraHacha(nombre, 6442450944, 3221225472);
        ASSERT_EQ(hacha.size(), TamAntesDeHacha + static_cast<size_t>(Entero32LE(hacha.data() + 5)))
            << nombre;
        EXPECT_TRUE(
            EsCabeceraHacha(std::span<const unsigned char, TamPruebaHacha>(hacha.data(), TamPruebaHacha)));
        const auto textos = TextosCabeceraHacha(hacha);
        ASSERT_TRUE(textos) << nombre;
        EXPECT_EQ((*textos)[0], nombre);
        EXPECT_EQ((*textos)[1], "6442450944");
        EXPECT_EQ((*textos)[2], "3221225472");
    }
    for (const std::string& extension : std::vector<std::string>{"", ".avi", std::string(255, 'e')}) {
        auto bytes = CabeceraCA(7, extension);
        bytes.push_back('d'); // data follow the header
        const auto leida = LeerCabeceraCA(bytes);
        ASSERT_TRUE(leida);
        EXPECT_EQ(leida->n, 7);
        EXPECT_EQ(leida->extension, extension);
        EXPECT_EQ(leida->tamano, 13 + extension.size());
        bytes.resize(12 + extension.size());
        EXPECT_FALSE(LeerCabeceraCA(bytes)) << "one byte short";
    }
}

TEST(Cabeceras, HachaMalFormadaNoSeLee) {
    const auto texto = [](std::string_view s) { return std::vector<unsigned char>(s.begin(), s.end()); };
    const std::string inicio = std::string("?????") + std::string(4, '\0') + "?????";
    EXPECT_FALSE(TextosCabeceraHacha(texto(inicio + "a?????1?????2????"))) << "short last marker";
    EXPECT_FALSE(TextosCabeceraHacha(texto(inicio + "a????1?????2?????"))) << "short marker before S";
    EXPECT_FALSE(TextosCabeceraHacha(texto(inicio + "12?????"))) << "no room for S";
    EXPECT_FALSE(TextosCabeceraHacha(texto(inicio)));
    // Empty texts are the reader's callers' business: they are no numbers.
    const auto vacios = TextosCabeceraHacha(texto(inicio + "??????????????????"));
    ASSERT_TRUE(vacios);
    EXPECT_EQ((*vacios)[1], "");
    EXPECT_EQ(NombreSeguro("../../x.avi"), "x.avi");
    EXPECT_EQ(NombreSeguro("C:\\V\\y.avi"), "C:\\V\\y.avi") << "only / parts a path";
    EXPECT_EQ(NombreSeguro(std::string("a\0b", 3)), "b");
    EXPECT_EQ(NombreSeguro("sub/.."), "");
}

TEST(Cabeceras, QuePiezaLaLleva) {
    EXPECT_TRUE(LlevaCabecera(TipoCorte::CortaArchivos, 1, 1));
    EXPECT_TRUE(LlevaCabecera(TipoCorte::CortaArchivos, 3, 3));
    EXPECT_FALSE(LlevaCabecera(TipoCorte::CortaArchivos, 1, 3));
    EXPECT_FALSE(LlevaCabecera(TipoCorte::Hacha, 1, 1));
    EXPECT_TRUE(LlevaCabecera(TipoCorte::Hacha, 1, 2));
    EXPECT_FALSE(LlevaCabecera(TipoCorte::Hacha, 2, 2));
    EXPECT_FALSE(LlevaCabecera(TipoCorte::Normal, 1, 1));
}

} // namespace
} // namespace quimbel
