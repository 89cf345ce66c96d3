// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

#include "CrcZlib.h"
#include "files/Ficheros.h"
#include "files/Trozos.h"
#include "split/Corte.h"
#include "support/Carpeta.h"
#include "support/Grabadora.h"
#include "support/PlanEnVigor.h"
#include "verify/Crc.h"
#include "verify/Verificacion.h"

namespace quimbel {
namespace {

using prueba::CarpetaTemporal;
using prueba::Datos;
using prueba::EscribirFichero;
using prueba::Existe;
using prueba::Grabadora;
using prueba::LeerFichero;
using prueba::PonerPlanEnVigor;

std::string Crc8DeFichero(const std::string& ruta) {
    return prueba::Crc8(LeerFichero(ruta));
}

// The lines of a file written with CR LF after each; fails when a line end is anything else.
std::vector<std::string> LineasCrLf(const std::string& ruta) {
    const std::string bytes = LeerFichero(ruta);
    std::vector<std::string> lineas;
    size_t inicio = 0;
    while (inicio < bytes.size()) {
        const size_t fin = bytes.find("\r\n", inicio);
        if (fin == std::string::npos) {
            ADD_FAILURE() << "last line without CR LF";
            break;
        }
        const std::string linea = bytes.substr(inicio, fin - inicio);
        EXPECT_EQ(linea.find_first_of("\r\n"), std::string::npos) << linea;
        lineas.push_back(linea);
        inicio = fin + 2;
    }
    return lineas;
}

std::string FormatoLocal(time_t t, const char* formato) {
    struct tm local {};
    localtime_r(&t, &local);
    char texto[64];
    strftime(texto, sizeof texto, formato, &local);
    return texto;
}

time_t Local(int anio, int mes, int dia, int hora, int minuto) {
    struct tm t {};
    t.tm_year = anio - 1900;
    t.tm_mon = mes - 1;
    t.tm_mday = dia;
    t.tm_hour = hora;
    t.tm_min = minuto;
    t.tm_sec = 10;
    t.tm_isdst = -1;
    return mktime(&t);
}

void PonerHora(const std::string& ruta, time_t t) {
    const struct timespec tiempos[2] = {{t, 0}, {t, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, ruta.c_str(), tiempos, 0), 0) << ruta;
}

class PasoSfvTest : public ::testing::Test {
  protected:
    void SetUp() override { CargarCrc(CARPETA_CRC32); }
    void TearDown() override { LiberarCrc(); }

    EntradaCorte Entrada(const std::string& fuente, const std::string& destino, int64_t p,
                         TipoCorte tipo = TipoCorte::Normal) {
        EntradaCorte e;
        e.fuente = fuente;
        e.destino = destino;
        e.tamano = std::to_string(p);
        e.tipo = tipo;
        e.sfv = true;
        return e;
    }

    CarpetaTemporal c;
    Grabadora v;
};

// The example of a 25,000,000-byte film in pieces of 10,000,000, with the pieces'
// times set while the split breathes after its last piece.
TEST_F(PasoSfvTest, EjemploLineaALinea) {
    CarpetaTemporal trozos;
    const std::string fuente = c / "pelicula.avi";
    EscribirFichero(fuente, Datos(25000000));
    v.alRespirar = [&] {
        if (!Existe(trozos / "pelicula.003")) return;
        PonerHora(trozos / "pelicula.001", Local(2026, 12, 6, 17, 29));
        PonerHora(trozos / "pelicula.002", Local(2026, 12, 6, 17, 29));
        PonerHora(trozos / "pelicula.003", Local(2026, 12, 6, 17, 30));
    };
    const time_t antes = time(nullptr);
    const ResultadoCorte r = Cortar(v, Entrada(fuente, trozos.Ruta(), 10000000));
    const time_t despues = time(nullptr);
    EXPECT_TRUE(r.finalizado && r.completo);

    const std::string sfv = trozos / "pelicula.sfv";
    const std::vector<std::string> lineas = LineasCrLf(sfv);
    ASSERT_EQ(lineas.size(), 8u);
    const std::string creado = "; Creado con Quimbel v0.2.492 el ";
    EXPECT_TRUE(lineas[0] == creado + FormatoLocal(antes, "%d-%m-%Y a las %H:%M") ||
                lineas[0] == creado + FormatoLocal(despues, "%d-%m-%Y a las %H:%M"))
        << lineas[0];
    const std::vector<std::string> resto(lineas.begin() + 1, lineas.end());
    EXPECT_EQ(resto, (std::vector<std::string>{
                         ";",
                         "; 10000000 17:29 06-12-2026 pelicula.001",
                         "; 10000000 17:29 06-12-2026 pelicula.002",
                         "; 5000000 17:30 06-12-2026 pelicula.003",
                         "pelicula.001 " + Crc8DeFichero(trozos / "pelicula.001"),
                         "pelicula.002 " + Crc8DeFichero(trozos / "pelicula.002"),
                         "pelicula.003 " + Crc8DeFichero(trozos / "pelicula.003"),
                     }));
    EXPECT_EQ(v.Memo(Memo::Cortar), (std::vector<std::string>{
                                        "Creando trozos...",
                                        "Creando trozo 1 : " + (trozos / "pelicula.001"),
                                        "Creando trozo 2 : " + (trozos / "pelicula.002"),
                                        "Creando trozo 3 : " + (trozos / "pelicula.003"),
                                        "",
                                        "Creando SFV: " + sfv,
                                        "Calculando crc: " + (trozos / "pelicula.001"),
                                        "Calculando crc: " + (trozos / "pelicula.002"),
                                        "Calculando crc: " + (trozos / "pelicula.003"),
                                        "",
                                    }));
    EXPECT_EQ(v.informaciones, std::vector<std::string>{"¡ Proceso finalizado !"});
    EXPECT_TRUE(v.errores.empty());
    EXPECT_EQ(v.respiros, 6) << "after each piece and each data line";
    EXPECT_FALSE(v.ocupado);
}

TEST_F(PasoSfvTest, OrdenDeLosEsquemasYCabeceraIncluida) {
    EscribirFichero(c / "copia.tar.gz", Datos(30));
    struct Caso {
        TipoCorte tipo;
        int64_t p;
        std::vector<std::string> nombres;
    };
    for (const Caso& caso : std::vector<Caso>{
             {TipoCorte::Normal, 100, {"copia.tar.001"}},
             {TipoCorte::CortaArchivos, 100, {"copia.tar.fin"}},
             {TipoCorte::Hacha, 100, {"copia.tar.0"}},
             {TipoCorte::CortaArchivos, 10, {"copia.tar.1", "copia.tar.2", "copia.tar.fin"}},
             {TipoCorte::Hacha, 10, {"copia.tar.0", "copia.tar.1", "copia.tar.2"}},
         }) {
        CarpetaTemporal d;
        Grabadora g;
        SCOPED_TRACE(caso.nombres.back());
        EXPECT_TRUE(Cortar(g, Entrada(c / "copia.tar.gz", d.Ruta(), caso.p, caso.tipo)).finalizado);
        const std::vector<std::string> lineas = LineasCrLf(d / "copia.tar.sfv");
        const size_t n = caso.nombres.size();
        ASSERT_EQ(lineas.size(), 2 + 2 * n) << "a one-piece set gives four lines";
        for (size_t i = 0; i < n; ++i) {
            const std::string trozo = d / caso.nombres[i];
            // The CRC and the size cover the whole piece, header included.
            EXPECT_EQ(lineas[2 + n + i], caso.nombres[i] + " " + Crc8DeFichero(trozo));
            EXPECT_TRUE(lineas[2 + i].starts_with("; " + std::to_string(LeerFichero(trozo).size()) + " "));
            EXPECT_TRUE(lineas[2 + i].ends_with(" " + caso.nombres[i]));
        }
    }
}

TEST_F(PasoSfvTest, SoloLosTrozosMarcadosConBlancosEnElNombre) {
    EscribirFichero(c / "mi pelicula.avi", Datos(70));
    EntradaCorte e = Entrada(c / "mi pelicula.avi", "", 10);
    PonerPlanEnVigor(e, {false, true, false, false, true, false, false});
    EXPECT_TRUE(Cortar(v, e).finalizado);
    const std::vector<std::string> lineas = LineasCrLf(c / "mi pelicula.sfv");
    ASSERT_EQ(lineas.size(), 6u);
    EXPECT_TRUE(lineas[2].ends_with(" mi pelicula.002"));
    EXPECT_TRUE(lineas[3].ends_with(" mi pelicula.005"));
    EXPECT_EQ(lineas[4], "mi pelicula.002 " + Crc8DeFichero(c / "mi pelicula.002"));
    EXPECT_EQ(lineas[5], "mi pelicula.005 " + Crc8DeFichero(c / "mi pelicula.005"));
}

// The CRC-32 of each piece comes from the bytes as they are written: the source is read once
// and no piece again (a read past the source's size would fail), and the list is the same.
TEST_F(PasoSfvTest, UnaSolaLecturaDeLaFuenteYNingunaDeLosTrozos) {
    const std::string datos = Datos(3500000, 4);
    EscribirFichero(c / "f.bin", datos);
    SimularFalloDeLectura(static_cast<int64_t>(datos.size()));
    const ResultadoCorte r = Cortar(v, Entrada(c / "f.bin", "", 1500000, TipoCorte::Hacha));
    SimularFalloDeLectura(-1);
    ASSERT_TRUE(r.finalizado) << (v.errores.empty() ? "" : v.errores.front());
    const std::vector<std::string> lineas = LineasCrLf(c / "f.sfv");
    ASSERT_EQ(lineas.size(), 8u);
    for (int k = 0; k < 3; ++k) {
        const std::string trozo = "f." + std::to_string(k);
        EXPECT_EQ(lineas[5 + static_cast<size_t>(k)], trozo + " " + Crc8DeFichero(c / trozo));
    }
    EXPECT_EQ(v.Memo(Memo::Cortar)[6], "Calculando crc: " + (c / "f.0")) << "its memo lines stay";
}

TEST_F(PasoSfvTest, TrozoBorradoAntesDelSfvParaEnLaPrimeraPasada) {
    EscribirFichero(c / "f.bin", Datos(30));
    v.alRespirar = [&] {
        if (Existe(c / "f.003")) unlink((c / "f.002").c_str());
    };
    const ResultadoCorte r = Cortar(v, Entrada(c / "f.bin", "", 10));
    EXPECT_FALSE(r.finalizado);
    EXPECT_EQ(v.errores, std::vector<std::string>{"¡ Error al leer fichero " + (c / "f.002") + " !"});
    EXPECT_TRUE(v.informaciones.empty());
    EXPECT_FALSE(v.ocupado);
    EXPECT_EQ(v.Memo(Memo::Cortar).back(), "Creando SFV: " + (c / "f.sfv")) << "no CRC was computed";
    // A list cut short would later pass for the whole set's: nothing of it is left.
    EXPECT_EQ(prueba::Nombres(c.Ruta()), (std::vector<std::string>{"f.001", "f.003", "f.bin"}));
}

// An SFV file split into its own folder would name the source itself; the pieces are
// written first, then the two-paragraph refusal, and nothing replaces the source.
TEST_F(PasoSfvTest, ListaSfvEnSuPropiaCarpeta) {
    const std::string datos = Datos(25);
    EscribirFichero(c / "lista.sfv", datos);
    const std::string rechazo =
        "¡ Error, fichero " + (c / "lista.sfv") + " igual a fichero base !\r\r ¿ Qué intentas :) ?";
    EXPECT_FALSE(Cortar(v, Entrada(c / "lista.sfv", "", 10)).finalizado);
    EXPECT_EQ(v.errores, std::vector<std::string>{rechazo});
    EXPECT_TRUE(Existe(c / "lista.003"));
    EXPECT_EQ(LeerFichero(c / "lista.sfv"), datos);
    EXPECT_TRUE(v.informaciones.empty());
    EXPECT_FALSE(v.ocupado);
    EXPECT_EQ(v.Memo(Memo::Cortar).back(), "");

    // The same folder written another way: the same file by device and inode.
    CarpetaTemporal otra;
    ASSERT_EQ(symlink(c.Ruta().c_str(), (otra / "enlace").c_str()), 0);
    Grabadora g;
    g.respuestasReemplazar = {true}; // the pieces of the first run
    EXPECT_FALSE(Cortar(g, Entrada(c / "lista.sfv", otra / "enlace", 10)).finalizado);
    EXPECT_EQ(g.errores, std::vector<std::string>{"¡ Error, fichero " + (otra / "enlace/lista.sfv") +
                                                  " igual a fichero base !\r\r ¿ Qué intentas :) ?"});
    EXPECT_EQ(LeerFichero(c / "lista.sfv"), datos);
}

// A name for the SFV file that already leads to a piece never empties it.
TEST_F(PasoSfvTest, NoVaciaUnTrozoAlQueLlevaElNombreDelSfv) {
    EscribirFichero(c / "f.bin", Datos(25));
    ASSERT_EQ(symlink((c / "f.001").c_str(), (c / "f.sfv").c_str()), 0);
    EXPECT_FALSE(Cortar(v, Entrada(c / "f.bin", "", 10)).finalizado);
    EXPECT_EQ(v.errores, std::vector<std::string>{"¡ Error al crear fichero " + (c / "f.sfv") + " !"});
    EXPECT_EQ(LeerFichero(c / "f.001"), Datos(25).substr(0, 10));
}

TEST_F(PasoSfvTest, DiscoLlenoAlEscribirElSfv) {
    EscribirFichero(c / "f.bin", Datos(25));
    SimularDiscoLleno(25); // the pieces fit, the SFV file does not
    const ResultadoCorte r = Cortar(v, Entrada(c / "f.bin", "", 10));
    SimularDiscoLleno(-1);
    EXPECT_FALSE(r.finalizado);
    EXPECT_EQ(v.errores, std::vector<std::string>{"¡ Error al escribir en fichero " + (c / "f.sfv") + " !"});
    EXPECT_TRUE(v.informaciones.empty());
    EXPECT_FALSE(v.ocupado);
}

// The SFV file's name taken by a hard link to the source is the source: refused as a name
// equal to it.
TEST_F(PasoSfvTest, UnEnlaceDuroAlaFuenteEsLaFuente) {
    const std::string datos = Datos(25);
    EscribirFichero(c / "f.bin", datos);
    ASSERT_EQ(link((c / "f.bin").c_str(), (c / "f.sfv").c_str()), 0);
    EXPECT_FALSE(Cortar(v, Entrada(c / "f.bin", "", 10)).finalizado);
    EXPECT_EQ(v.errores, std::vector<std::string>{"¡ Error, fichero " + (c / "f.sfv") +
                                                  " igual a fichero base !\r\r ¿ Qué intentas :) ?"});
    EXPECT_EQ(LeerFichero(c / "f.bin"), datos);
}

// Names that other readers would take for comments get "./" in front; names that would break
// the file's lines are refused before any piece is written. Whatever is written reads back.
TEST_F(PasoSfvTest, NombresQueLasLineasNoPuedenLlevar) {
    for (const std::string nombre : {";notas", "#x", " blanco"}) {
        SCOPED_TRACE(nombre);
        EscribirFichero(c / (nombre + ".bin"), Datos(25));
        Grabadora g;
        ASSERT_TRUE(Cortar(g, Entrada(c / (nombre + ".bin"), "", 10)).finalizado);
        const std::vector<std::string> lineas = LineasCrLf(c / (nombre + ".sfv"));
        ASSERT_EQ(lineas.size(), 8u);
        EXPECT_EQ(lineas[2].substr(lineas[2].size() - nombre.size() - 4), nombre + ".001");
        EXPECT_EQ(lineas[5], "./" + nombre + ".001 " + Crc8DeFichero(c / (nombre + ".001")));
        const ResultadoVerificacion r = Verificar(g, {c / (nombre + ".sfv"), "", false}, {});
        EXPECT_EQ(r.correctos, 3);
        EXPECT_EQ(r.entradas, 3);
    }
    for (const std::string nombre : {"a\rb", "a\nb",
                                     "a\x1A"
                                     "b"}) {
        EscribirFichero(c / (nombre + ".bin"), Datos(25));
        Grabadora g;
        EXPECT_FALSE(Cortar(g, Entrada(c / (nombre + ".bin"), "", 10)).finalizado);
        EXPECT_EQ(g.errores,
                  std::vector<std::string>{"¡ Error, nombre no válido para SFV: " + nombre + ".bin !"});
        EXPECT_FALSE(Existe(c / (nombre + ".001")));
        EXPECT_TRUE(g.Memo(Memo::Cortar).empty());
    }
}

TEST_F(PasoSfvTest, SinSfvNoSeEscribeNinguno) {
    EscribirFichero(c / "f.bin", Datos(25));
    EntradaCorte e = Entrada(c / "f.bin", "", 10);
    e.sfv = false;
    EXPECT_TRUE(Cortar(v, e).finalizado);
    EXPECT_FALSE(Existe(c / "f.sfv"));
    EXPECT_EQ(v.Memo(Memo::Cortar).size(), 6u);
}

} // namespace
} // namespace quimbel
