// SPDX-License-Identifier: GPL-3.0-or-later
// Each class of set (numbered, CortaArchivos, Hacha with and without its header): the join
// from any one of its pieces gives the source byte for byte; a set with a piece missing, cut
// short, grown or without its ".fin" stops with nothing created and nothing replaced.
#include <gtest/gtest.h>

#include <unistd.h>

#include <functional>

#include "AyudaUnir.h"
#include "files/Rutas.h"
#include "files/Trozos.h"
#include "join/AnalisisUnir.h"
#include "join/Union.h"
#include "split/Corte.h"
#include "support/Carpeta.h"
#include "support/Grabadora.h"

namespace quimbel {
namespace {

using namespace prueba;

// A set of 5 pieces of 20 bytes (the last of 15) of "pelicula.avi", in its own folder.
struct Juego {
    const char* nombre;
    std::function<std::vector<std::string>(CarpetaTemporal&)> hacer; // the pieces, by name
    bool registraTamanos; // a header records the sizes (short and long pieces are refused)
    bool tieneFin;
};

const std::string Fuente = Datos(95, 9);

std::vector<std::string> Cortado(CarpetaTemporal& c, TipoCorte tipo) {
    EscribirFichero(c / "fuente/pelicula.avi", Fuente);
    EntradaCorte e;
    e.fuente = c / "fuente/pelicula.avi";
    e.destino = c.Ruta();
    e.tamano = "20";
    e.tipo = tipo;
    Grabadora v;
    EXPECT_TRUE(Cortar(v, e).finalizado);
    std::vector<std::string> trozos;
    for (int64_t k = 1; k <= 5; ++k)
        trozos.push_back(NombreTrozo("pelicula.avi", "", k, 5, tipo));
    return trozos;
}

const std::vector<Juego> Juegos{
    {"numerado", [](CarpetaTemporal& c) { return Cortado(c, TipoCorte::Normal); }, false, false},
    {"cortaarchivos", [](CarpetaTemporal& c) { return Cortado(c, TipoCorte::CortaArchivos); }, true, true},
    {"hacha", [](CarpetaTemporal& c) { return Cortado(c, TipoCorte::Hacha); }, true, false},
    // A set numbered from 0 whose .0 is data from its first byte, as some tools write.
    {"hacha sin cabecera",
     [](CarpetaTemporal& c) {
         EscribirFichero(c / "fuente/pelicula.avi", Fuente);
         std::vector<std::string> trozos;
         for (int k = 0; k < 5; ++k) {
             trozos.push_back("pelicula." + std::to_string(k));
             EscribirFichero(c / trozos.back(), Fuente.substr(static_cast<size_t>(k) * 20, 20));
         }
         return trozos;
     },
     false, false},
};

// Analyses the chosen piece and joins it to "unido" (answering Yes to a replace question).
struct Union {
    AnalisisUnir analisis;
    bool unido = false;
    Grabadora v;
};

Union AnalizarYUnir(const std::string& elegido, const std::string& destino) {
    Union u;
    u.analisis = AnalizarFicheroUnir(u.v, elegido);
    u.v.respuestasReemplazar = {true};
    if (u.analisis.correcto) u.unido = Unir(u.v, {elegido, destino, u.analisis.plan});
    return u;
}

class JuegoEntero : public ::testing::TestWithParam<Juego> {
  protected:
    void SetUp() override {
        ASSERT_EQ(mkdir((c / "fuente").c_str(), 0755), 0);
        trozos = GetParam().hacer(c);
        ASSERT_EQ(trozos.size(), 5u);
    }
    CarpetaTemporal c;
    std::vector<std::string> trozos;
};

TEST_P(JuegoEntero, CualquierTrozoDaLaFuenteEntera) {
    for (const std::string& elegido : trozos) {
        SCOPED_TRACE(elegido);
        const Union u = AnalizarYUnir(c / elegido, c / "fuente/unido");
        EXPECT_TRUE(u.unido);
        EXPECT_FALSE(u.analisis.falta);
        EXPECT_EQ(u.analisis.trozos, 5);
        EXPECT_EQ(u.analisis.tamUnido, 95);
        EXPECT_EQ(LeerFichero(c / "fuente/unido"), Fuente);
        EXPECT_TRUE(u.v.errores.empty()) << u.v.errores.front();
    }
}

// What breaks the set, and the message the join stops with.
struct Rotura {
    const char* nombre;
    std::function<std::string(CarpetaTemporal&, const std::vector<std::string>&)> romper;
};

TEST_P(JuegoEntero, UnJuegoRotoNoCreaNiReemplazaNada) {
    std::vector<Rotura> roturas{
        {"hueco",
         [](CarpetaTemporal& d, const std::vector<std::string>& t) {
             unlink((d / t[2]).c_str());
             return "¡ Falta el trozo " + std::string(Extension(t[2]) == ".2" ? "2" : "3") + " : " +
                    (d / t[2]) + " !";
         }},
    };
    if (GetParam().registraTamanos) {
        roturas.push_back({"trozo corto", [](CarpetaTemporal& d, const std::vector<std::string>& t) {
                               truncate((d / t[1]).c_str(), 19);
                               return std::string("tiene 19 bytes");
                           }});
        roturas.push_back({"trozo largo", [](CarpetaTemporal& d, const std::vector<std::string>& t) {
                               EscribirFichero(d / t[2], LeerFichero(d / t[2]) + "x");
                               return std::string("tiene 21 bytes");
                           }});
    }
    if (GetParam().tieneFin)
        roturas.push_back({"sin .fin", [](CarpetaTemporal& d, const std::vector<std::string>& t) {
                               unlink((d / t[4]).c_str());
                               return "¡ Falta el trozo 5 : " + (d / "pelicula.fin") + " !";
                           }});
    for (const Rotura& r : roturas) {
        SCOPED_TRACE(r.nombre);
        CarpetaTemporal d;
        ASSERT_EQ(mkdir((d / "fuente").c_str(), 0755), 0);
        const std::vector<std::string> t = GetParam().hacer(d);
        EscribirFichero(d / "fuente/unido", "antes");
        const std::string esperado = r.romper(d, t);
        const std::vector<std::string> antes = Nombres(d.Ruta());
        for (const std::string& elegido : t) {
            if (!Existe(d / elegido)) continue;
            SCOPED_TRACE(elegido);
            const Union u = AnalizarYUnir(d / elegido, d / "fuente/unido");
            EXPECT_FALSE(u.unido);
            ASSERT_FALSE(u.v.errores.empty());
            EXPECT_NE(u.v.errores.back().find(esperado), std::string::npos) << u.v.errores.back();
            EXPECT_TRUE(u.v.reemplazos.empty()) << "nothing is asked of a set that cannot be joined";
            EXPECT_EQ(LeerFichero(d / "fuente/unido"), "antes");
            EXPECT_EQ(Nombres(d.Ruta()), antes);
            EXPECT_EQ(Nombres(d / "fuente"), (std::vector<std::string>{"pelicula.avi", "unido"}));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Esquemas, JuegoEntero, ::testing::ValuesIn(Juegos),
                         [](const ::testing::TestParamInfo<Juego>& i) {
                             std::string n = i.param.nombre;
                             for (char& ch : n)
                                 if (ch == ' ') ch = '_';
                             return n;
                         });

} // namespace
} // namespace quimbel
