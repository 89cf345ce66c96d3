// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iostream>

#include "files/CopiarBloque.h"
#include "files/Ficheros.h"
#include "files/Salidas.h"
#include "files/Temporales.h"
#include "files/Texto.h"
#include "support/Carpeta.h"
#include "support/Desenlace.h"

namespace quimbel {
namespace {

using prueba::CarpetaTemporal;
using prueba::Datos;
using prueba::EscribirFichero;
using prueba::LeerFichero;

// A new output named `nombre` in the test's folder, open for writing.
Desenlace Nuevo(Fichero& f, const CarpetaTemporal& c, const std::string& nombre) {
    Carpeta carpeta;
    const Desenlace abierta = AbrirCarpeta(carpeta, c.Ruta());
    return abierta.Bien() ? CrearNuevo(f, carpeta, nombre) : abierta;
}

// Copies cuenta bytes from offset of a source holding datos into a fresh file.
std::string Copia(const CarpetaTemporal& c, const std::string& datos, int64_t offset, int64_t cuenta,
                  int* resultado = nullptr) {
    EscribirFichero(c / "origen", datos);
    unlink((c / "destino").c_str());
    Fichero origen, destino;
    EXPECT_EQ(AbrirFichero(origen, c / "origen"), Hecho);
    EXPECT_EQ(Nuevo(destino, c, "destino"), Hecho);
    const int r = CopiarBloque(origen, destino, offset, cuenta);
    if (resultado) *resultado = r;
    EXPECT_EQ(destino.Cerrar(), Hecho);
    return LeerFichero(c / "destino");
}

TEST(CopiarBloque, CopiaRangosDeCualquierTamano) {
    CarpetaTemporal c;
    const std::string datos = Datos(3700000, 7);
    int r = -9;
    EXPECT_EQ(Copia(c, datos, 0, 0, &r), "");
    EXPECT_EQ(r, 0);
    EXPECT_EQ(Copia(c, datos, 100, 2500000, &r), datos.substr(100, 2500000));
    EXPECT_EQ(r, 0);
    EXPECT_EQ(Copia(c, datos, 0, 1000000), datos.substr(0, 1000000));
    EXPECT_EQ(Copia(c, datos, 1000000, 2000000), datos.substr(1000000, 2000000));
    // A range running past the end copies what exists and succeeds.
    EXPECT_EQ(Copia(c, datos, 2500000, 2500000, &r), datos.substr(2500000));
    EXPECT_EQ(r, 0);
    EXPECT_EQ(Copia(c, datos, 3699999, 5, &r), datos.substr(3699999));
    EXPECT_EQ(Copia(c, datos, 5000000, 10, &r), "");
    EXPECT_EQ(r, 0);
    EXPECT_EQ(Copia(c, datos, 0, -5, &r), "");
    EXPECT_EQ(r, 0);
}

TEST(CopiarBloque, DiscoLlenoDaMenosUno) {
    if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "sin /dev/full";
    CarpetaTemporal c;
    EscribirFichero(c / "origen", Datos(1500000));
    Fichero origen, lleno;
    ASSERT_EQ(AbrirFichero(origen, c / "origen"), Hecho);
    // A device is never an output the program creates; the test hands it over directly.
    lleno = Fichero::Adoptar(open("/dev/full", O_WRONLY | O_CLOEXEC));
    ASSERT_TRUE(lleno.Abierto());
    EXPECT_EQ(CopiarBloque(origen, lleno, 0, 1500000), -1);
    EXPECT_EQ(CopiarBloque(origen, lleno, 0, 10), -1);
}

TEST(CopiarBloque, CuentaLoCopiadoYNoPasaDelTamanoAlAbrir) {
    CarpetaTemporal c;
    const std::string datos = Datos(2500000, 3);
    EscribirFichero(c / "origen", datos);
    Fichero origen, destino;
    ASSERT_EQ(AbrirFichero(origen, c / "origen"), Hecho);
    // Bytes added after the open are not part of the file that was opened.
    {
        std::ofstream mas(c / "origen", std::ios::binary | std::ios::app);
        mas << "cola";
    }
    ASSERT_EQ(Nuevo(destino, c, "destino"), Hecho);
    int64_t copiados = -1;
    EXPECT_EQ(CopiarBloque(origen, destino, 2000000, 1000000, &copiados), 0);
    EXPECT_EQ(copiados, 500000);
    EXPECT_EQ(CopiarBloque(origen, destino, 0, 2500000, &copiados), 0);
    EXPECT_EQ(copiados, 2500000);
    ASSERT_EQ(destino.Cerrar(), Hecho);
    EXPECT_EQ(LeerFichero(c / "destino"), datos.substr(2000000) + datos);
}

TEST(CopiarBloque, DiscoLlenoSimulado) {
    CarpetaTemporal c;
    EscribirFichero(c / "origen", Datos(3000000));
    Fichero origen, destino;
    ASSERT_EQ(AbrirFichero(origen, c / "origen"), Hecho);
    ASSERT_EQ(Nuevo(destino, c, "destino"), Hecho);
    SimularDiscoLleno(2500000);
    const int r = CopiarBloque(origen, destino, 0, 3000000);
    SimularDiscoLleno(-1);
    EXPECT_EQ(r, -1);
    EXPECT_EQ(destino.Tamano(), 2000000) << "the blocks before the full one stay";
}

TEST(Ficheros, AbrirYCrear) {
    CarpetaTemporal c;
    Fichero f;
    EXPECT_NE(AbrirFichero(f, c / "no-existe"), Hecho);
    EXPECT_FALSE(f.Abierto());
    EXPECT_NE(AbrirFichero(f, c.Ruta()), Hecho) << "una carpeta no es un fichero";
    Carpeta falta;
    EXPECT_NE(AbrirCarpeta(falta, c / "no-existe"), Hecho);
    EXPECT_NE(CrearNuevo(f, falta, "x"), Hecho);

    EscribirFichero(c / "a", "contenido");
    EXPECT_EQ(Nuevo(f, c, "a"), ErrorSistema(EEXIST)) << "an existing file is never emptied";
    EXPECT_EQ(LeerFichero(c / "a"), "contenido");

    EscribirFichero(c / "b", "intocable");
    Protegidos protegidos;
    protegidos.Anadir(c.Ruta() + "./b");
    Carpeta carpeta;
    ASSERT_EQ(AbrirCarpeta(carpeta, c.Ruta()), Hecho);
    EXPECT_TRUE(MirarOcupante(carpeta, "b", protegidos).intocable);
    EXPECT_EQ(LeerFichero(c / "b"), "intocable");
}

// Room asked ahead is only room: the size and what reads give stay those of the writes, and a
// request the disk cannot meet changes nothing.
TEST(Ficheros, ReservarNoCambiaTamanoNiContenido) {
    CarpetaTemporal c;
    Carpeta carpeta;
    ASSERT_EQ(AbrirCarpeta(carpeta, c.Ruta()), Hecho);
    Fichero f;
    ASSERT_EQ(CrearNuevo(f, carpeta, "r"), Hecho);
    ASSERT_EQ(f.Escribir("abc", 3), Hecho);
    f.Reservar(uint64_t{1} << 20);
    EXPECT_EQ(f.Tamano(), 3);
    struct stat st {};
    ASSERT_EQ(fstat(f.Descriptor(), &st), 0);
    if (st.st_blocks * 512 < (1 << 20)) std::cout << "(este sistema de ficheros no reserva espacio)\n";
    f.Reservar(uint64_t{1} << 62);
    f.Reservar(UINT64_MAX);
    EXPECT_EQ(f.Tamano(), 3);
    const std::string cola = "final";
    ASSERT_TRUE(f.EscribirEn(cola.data(), cola.size(), 4096));
    EXPECT_EQ(f.Tamano(), 4096 + 5);
    const std::string leido = LeerFichero(c / "r");
    EXPECT_EQ(leido.substr(0, 3), "abc");
    EXPECT_EQ(leido.substr(3, 4093), std::string(4093, '\0'));
    EXPECT_EQ(leido.substr(4096), cola);
}

TEST(Ficheros, RenombrarNuncaReemplaza) {
    CarpetaTemporal c;
    EscribirFichero(c / "viejo", "1");
    EscribirFichero(c / "ocupado", "2");
    EXPECT_NE(RenombrarFichero(c / "viejo", c / "ocupado"), Hecho);
    EXPECT_EQ(LeerFichero(c / "viejo"), "1");
    EXPECT_EQ(LeerFichero(c / "ocupado"), "2");
    EXPECT_NE(RenombrarFichero(c / "falta", c / "otro"), Hecho);
    EXPECT_EQ(RenombrarFichero(c / "viejo", c / "nuevo"), Hecho);
    EXPECT_EQ(LeerFichero(c / "nuevo"), "1");
    EXPECT_FALSE(prueba::Existe(c / "viejo"));
}

TEST(Ficheros, InfoFichero) {
    CarpetaTemporal c;
    InfoRegistro info;
    info.tamano = 77;
    EXPECT_EQ(InfoFichero(c / "falta", info), -1);
    EXPECT_EQ(info.tamano, 77) << "el registro queda como estaba";
    EXPECT_EQ(InfoFichero(c.Ruta(), info), -1);
    EXPECT_EQ(info.tamano, 77);

    EscribirFichero(c / "vacio", "");
    EXPECT_EQ(InfoFichero(c / "vacio", info), 0);
    EXPECT_EQ(info.tamano, 0);

    EscribirFichero(c / "f", "12345");
    // 2026-12-06 17:29:31 local time: DOS keeps 2-second steps.
    struct tm t {};
    t.tm_year = 126;
    t.tm_mon = 11;
    t.tm_mday = 6;
    t.tm_hour = 17;
    t.tm_min = 29;
    t.tm_sec = 31;
    t.tm_isdst = -1;
    const time_t cuando = mktime(&t);
    const struct timespec tiempos[2] = {{cuando, 0}, {cuando, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, (c / "f").c_str(), tiempos, 0), 0);
    ASSERT_EQ(InfoFichero(c / "f", info), 0);
    EXPECT_EQ(info.tamano, 5);
    const auto dos = static_cast<uint32_t>(info.fechaDos);
    EXPECT_EQ(dos >> 16, ((2026u - 1980) << 9) | (12u << 5) | 6u);
    EXPECT_EQ(dos & 0xFFFF, (17u << 11) | (29u << 5) | 15u);
    EXPECT_TRUE(S_ISREG(static_cast<mode_t>(info.atributos)));
}

TEST(Ficheros, ExisteSoloUnFicheroRegular) {
    CarpetaTemporal c;
    EscribirFichero(c / "f", "x");
    ASSERT_EQ(mkfifo((c / "fifo").c_str(), 0600), 0);
    EXPECT_TRUE(ExisteFichero(c / "f"));
    EXPECT_FALSE(ExisteFichero(c.Ruta()));
    EXPECT_FALSE(ExisteFichero(c / "fifo"));
    EXPECT_FALSE(ExisteFichero(c / "falta"));
    // Opening a FIFO never waits for a writer: it is refused at once.
    Fichero f;
    EXPECT_EQ(AbrirFichero(f, c / "fifo"), Resultado::NoEsFichero);
    EXPECT_FALSE(f.Abierto());
}

std::vector<std::string> Lineas(const CarpetaTemporal& c, std::string_view contenido) {
    EscribirFichero(c / "t.txt", contenido);
    TextoEntrada t;
    EXPECT_EQ(AbrirTexto(t, c / "t.txt"), Hecho);
    std::vector<std::string> lineas;
    std::string linea;
    while (t.LeerLinea(linea))
        lineas.push_back(linea);
    EXPECT_EQ(t.Error(), Hecho);
    return lineas;
}

TEST(Texto, FinesDeLineaYCtrlZ) {
    CarpetaTemporal c;
    using V = std::vector<std::string>;
    EXPECT_EQ(Lineas(c, "a\r\nb\r\n"), (V{"a", "b"}));
    EXPECT_EQ(Lineas(c, "a\nb\n"), (V{"a", "b"}));
    EXPECT_EQ(Lineas(c, "a\rb"), (V{"a", "b"}));
    EXPECT_EQ(Lineas(c, "a\r\n\r\nb"), (V{"a", "", "b"}));
    EXPECT_EQ(Lineas(c, "a\n\rb"), (V{"a", "", "b"}));
    EXPECT_EQ(Lineas(c, "\r\n"), (V{""}));
    EXPECT_EQ(Lineas(c, ""), V{});
    EXPECT_EQ(Lineas(c, "a\r\nb\x1A"
                        "c\r\nd"),
              (V{"a", "b"}));
    EXPECT_EQ(Lineas(c, "\x1A"
                        "a"),
              V{});
    // Lines up to MaxLinea bytes, across the reader's buffer; a longer one is passed over
    // without being held, whatever its end.
    const std::string maxima(MaxLinea, 'x');
    EXPECT_EQ(Lineas(c, maxima + "\r\n" + "y"), (V{maxima, "y"}));
    const std::string larga(3 * MaxLinea + 5, 'x');
    EXPECT_EQ(Lineas(c, "a\r\n" + larga + "\r\ny\n" + larga), (V{"a", "y"}));
    EXPECT_EQ(Lineas(c, maxima + "z\nb"), (V{"b"}));
    // A CR LF pair split across two reads.
    const std::string relleno(65535, 'z');
    EXPECT_EQ(Lineas(c, relleno + "\r\nq"), (V{relleno, "q"}));
}

TEST(Texto, UnFalloDeLecturaNoEsElFinDelFichero) {
    CarpetaTemporal c;
    EscribirFichero(c / "t.txt", "a\r\nb\r\n" + std::string(200000, 'x'));
    TextoEntrada t;
    ASSERT_EQ(AbrirTexto(t, c / "t.txt"), Hecho);
    SimularFalloDeLectura(70000);
    std::vector<std::string> lineas;
    std::string linea;
    while (t.LeerLinea(linea))
        lineas.push_back(linea);
    SimularFalloDeLectura(-1);
    EXPECT_EQ(lineas, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(t.Error(), ErrorSistema(EIO)) << "the reader tells a cut read from the end";
    TextoEntrada fifo;
    ASSERT_EQ(mkfifo((c / "fifo").c_str(), 0600), 0);
    EXPECT_EQ(AbrirTexto(fifo, c / "fifo"), Resultado::NoEsFichero);
    EXPECT_EQ(AbrirTexto(fifo, c / "falta"), ErrorSistema(ENOENT));
}

TEST(Texto, EscribeCrLfYDetectaDiscoLleno) {
    CarpetaTemporal c;
    TextoSalida t;
    ASSERT_EQ(CrearTexto(t, c / "s.txt"), Hecho);
    EXPECT_EQ(t.EscribirLinea("uno"), Hecho);
    EXPECT_EQ(t.EscribirLinea(""), Hecho);
    EXPECT_EQ(t.Cerrar(), Hecho);
    EXPECT_EQ(LeerFichero(c / "s.txt"), "uno\r\n\r\n");
    // A file written again keeps its old text under its name until the new one is complete.
    ASSERT_EQ(CrearTexto(t, c / "s.txt"), Hecho);
    EXPECT_EQ(t.EscribirLinea(std::string(100000, 'n')), Hecho);
    EXPECT_EQ(LeerFichero(c / "s.txt"), "uno\r\n\r\n");
    EXPECT_EQ(t.Cerrar(), Hecho);
    EXPECT_EQ(LeerFichero(c / "s.txt").size(), 100002u);

    TextoSalida lleno;
    ASSERT_EQ(CrearTexto(lleno, c / "lleno.txt"), Hecho);
    SimularDiscoLleno(0);
    lleno.EscribirLinea("x");
    const Desenlace cierre = lleno.Cerrar();
    SimularDiscoLleno(-1);
    EXPECT_NE(cierre, Hecho) << "el fallo se ve al cerrar";
    EXPECT_EQ(prueba::Nombres(c.Ruta()), std::vector<std::string>{"s.txt"})
        << "nothing of a failed file remains";
}

} // namespace
} // namespace quimbel
