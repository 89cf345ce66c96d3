// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <optional>

#include "AyudaCorte.h"
#include "files/Avance.h"
#include "files/Ficheros.h"

namespace quimbel {
namespace {

using namespace prueba;

class Corte : public ::testing::Test {
  protected:
    CarpetaTemporal c;
    Grabadora v;
};

TEST_F(Corte, CadaEsquemaRecomponeLaFuente) {
    const std::string fuente = c / "pelicula.avi";
    for (const TipoCorte tipo : {TipoCorte::Normal, TipoCorte::CortaArchivos, TipoCorte::Hacha}) {
        for (const auto& [s, p] : std::vector<std::pair<int64_t, int64_t>>{
                 {1, 10}, {9, 10}, {10, 10}, {11, 10}, {30, 10}, {31, 10}, {2500001, 1000000}, {13, 1}}) {
            SCOPED_TRACE(testing::Message()
                         << "esquema " << static_cast<int>(tipo) << " S " << s << " P " << p);
            CarpetaTemporal destino;
            const std::string datos = Datos(static_cast<size_t>(s), static_cast<unsigned>(s));
            EscribirFichero(fuente, datos);
            Grabadora g;
            const ResultadoCorte r = Cortar(g, Entrada(fuente, destino.Ruta(), p, tipo));
            EXPECT_TRUE(r.finalizado && r.completo);
            const int64_t n = NumeroTrozos(s, p);
            std::string junto;
            for (int64_t k = 1; k <= n; ++k)
                junto += DatosDeTrozo(NombreTrozo(fuente, destino.Ruta(), k, n, tipo), tipo, k, n);
            EXPECT_EQ(junto, datos);
            EXPECT_FALSE(Existe(NombreTrozo(fuente, destino.Ruta(), n + 1, n + 1, TipoCorte::Normal)))
                << "no hay trozo vacío de más";
            EXPECT_EQ(g.Memo(Memo::Cortar).size(), static_cast<size_t>(n) + 3);
        }
    }
}

TEST_F(Corte, MemoYCabecerasDeUnCorteCompleto) {
    EscribirFichero(c / "pelicula.avi", Datos(25));
    const ResultadoCorte r = Cortar(v, Entrada(c / "pelicula.avi", "", 10, TipoCorte::CortaArchivos));
    EXPECT_TRUE(r.finalizado);
    const std::vector<std::string> memo{"Creando trozos...",
                                        "Creando trozo 1 : " + (c / "pelicula.1"),
                                        "Creando trozo 2 : " + (c / "pelicula.2"),
                                        "Creando trozo 3 : " + (c / "pelicula.fin"),
                                        "",
                                        ""};
    EXPECT_EQ(v.Memo(Memo::Cortar), memo);
    EXPECT_EQ(v.informaciones, std::vector<std::string>{"¡ Proceso finalizado !"});
    EXPECT_TRUE(v.errores.empty());
    EXPECT_FALSE(v.ocupado);
    EXPECT_EQ(v.eventos.back(), "cursor normal") << "el cursor vuelve tras el mensaje final";
    const std::string fin = LeerFichero(c / "pelicula.fin");
    EXPECT_EQ(fin.substr(0, 17), std::string("\x07"
                                             "cortarc\x03\x00\x00\x00\x04.avi",
                                             17));
    EXPECT_EQ(fin.size(), 17u + 5u);
    EXPECT_EQ(v.respiros, 3);

    // Another scheme's set in the same folder: its pieces are replaced and its ".fin" head,
    // which a join of pelicula.1 would take, is moved aside, once the user agrees.
    Grabadora h;
    h.respuestasReemplazar = {true};
    EscribirFichero(c / "pelicula.avi", Datos(25000));
    EXPECT_TRUE(Cortar(h, Entrada(c / "pelicula.avi", c.Ruta(), 10000, TipoCorte::Hacha)).finalizado);
    EXPECT_EQ(h.reemplazos, std::vector<std::string>{c / "pelicula.1"});
    EXPECT_EQ(LeerFichero(c / "pelicula.fin.1"), fin);
    EXPECT_FALSE(Existe(c / "pelicula.fin"));
    const std::string cero = LeerFichero(c / "pelicula.0");
    EXPECT_EQ(cero.substr(0, 45),
              std::string("?????\x2a\x00\x00\x00?????pelicula.avi?????25000?????10000?????", 45));
}

TEST_F(Corte, DestinoPorDefectoYBarraFinal) {
    EscribirFichero(c / "datos", Datos(15));
    Cortar(v, Entrada(c / "datos", "", 10, TipoCorte::Normal));
    EXPECT_TRUE(Existe(c / "datos.001"));
    EXPECT_TRUE(Existe(c / "datos.002"));
    ASSERT_EQ(mkdir((c / "sub").c_str(), 0755), 0);
    Cortar(v, Entrada(c / "datos", c / "sub", 10, TipoCorte::Normal));
    EXPECT_TRUE(Existe(c / "sub/datos.002"));
    EXPECT_EQ(v.Memo(Memo::Cortar)[1], "Creando trozo 1 : " + (c / "sub/datos.001"));
}

struct Parada {
    std::string nombre;
    EntradaCorte entrada;
    std::string mensaje;
    std::optional<Campo> foco;
    // With no plan in force the split plans first, and the plan reports an unopenable source
    // or too many pieces before the split does.
    size_t veces = 1;
};

TEST_F(Corte, ParadasAntesDeEscribirEnSuOrden) {
    ASSERT_EQ(mkfifo((c / "tubo").c_str(), 0644), 0);
    EscribirFichero(c / "vacio", "");
    EscribirFichero(c / "f", Datos(100001));
    const std::vector<Parada> paradas{
        {"fuente vacía", Entrada("", "", 0, TipoCorte::Normal), "¡ Debes indicar el fichero a cortar !",
         Campo::FicheroCortar},
        {"fuente FIFO, nunca esperada", Entrada(c / "tubo", "", 10, TipoCorte::Normal),
         "¡ Error al abrir fichero " + (c / "tubo") + " !", std::nullopt, 2},
        {"sin tamaño",
         [&] {
             auto e = Entrada(c / "f", "", 0, TipoCorte::Normal);
             e.tamano = "";
             return e;
         }(),
         "¡ Debes indicar el tamaño de los trozos !", Campo::Tamano},
        {"tamaño 0", Entrada(c / "f", "", 0, TipoCorte::Normal),
         "¡ Debes indicar un tamaño de trozo mayor que 0 !", Campo::Tamano},
        {"tamaño negativo", Entrada(c / "f", "", -5, TipoCorte::Normal),
         "¡ Debes indicar un tamaño de trozo mayor que 0 !", Campo::Tamano},
        {"fuente inexistente", Entrada(c / "falta", "", 10, TipoCorte::Normal),
         "¡ Error al abrir fichero " + (c / "falta") + " !", std::nullopt, 2},
        {"fuente carpeta", Entrada(c.Ruta(), "", 10, TipoCorte::Normal),
         "¡ Error al abrir fichero " + c.Ruta() + " !", std::nullopt, 2},
        {"fuente vacía en disco", Entrada(c / "vacio", "", 10, TipoCorte::Normal), "¡ Tamaño 0 !",
         std::nullopt},
        {"demasiados trozos", Entrada(c / "f", "", 1, TipoCorte::Normal),
         "¡ Demasiados trozos: el máximo es 100000 !", std::nullopt, 2},
    };
    for (const Parada& p : paradas) {
        SCOPED_TRACE(p.nombre);
        Grabadora g;
        g.memos[Memo::Cortar] = {"anterior"};
        EXPECT_FALSE(Cortar(g, p.entrada).finalizado);
        EXPECT_EQ(g.errores, std::vector<std::string>(p.veces, p.mensaje));
        EXPECT_EQ(g.foco, p.foco);
        EXPECT_TRUE(g.Memo(Memo::Cortar).empty()) << "el memo se vacía y no recibe línea";
        EXPECT_FALSE(g.ocupado);
        EXPECT_TRUE(g.informaciones.empty());
    }
    EXPECT_FALSE(Existe(c / "f.000001"));
    EXPECT_FALSE(Existe(c / "f.001"));
}

TEST_F(Corte, UnTrozoNuncaPisaLaFuente) {
    const std::string datos = Datos(30);
    // Named like its own first piece.
    EscribirFichero(c / "pelicula.001", datos);
    EXPECT_FALSE(Cortar(v, Entrada(c / "pelicula.001", "", 10, TipoCorte::Normal)).finalizado);
    EXPECT_EQ(v.errores.back(), "¡ Error, un trozo no puede llamarse igual que el fichero a trocear !");
    EXPECT_EQ(LeerFichero(c / "pelicula.001"), datos);
    EXPECT_FALSE(Existe(c / "pelicula.002"));
    EXPECT_FALSE(v.ocupado);

    // Named like its own last CortaArchivos piece: the earlier pieces are written first.
    EscribirFichero(c / "pelicula.fin", datos);
    Grabadora g;
    EXPECT_FALSE(Cortar(g, Entrada(c / "pelicula.fin", "", 10, TipoCorte::CortaArchivos)).finalizado);
    EXPECT_EQ(g.errores, std::vector<std::string>{
                             "¡ Error, un trozo no puede llamarse igual que el fichero a trocear !"});
    EXPECT_EQ(LeerFichero(c / "pelicula.1"), datos.substr(0, 10));
    EXPECT_EQ(LeerFichero(c / "pelicula.2"), datos.substr(10, 10));
    EXPECT_EQ(LeerFichero(c / "pelicula.fin"), datos);

    // The same file under another path: "./", "//", a hard link, a symbolic link.
    ASSERT_EQ(mkdir((c / "d").c_str(), 0755), 0);
    EscribirFichero(c / "d/x.avi", datos);
    const std::vector<std::string> otrasRutas{c.Ruta() + "d/./x.001", c.Ruta() + "d//x.001"};
    for (const std::string& ruta : otrasRutas) {
        Grabadora h;
        EXPECT_FALSE(Cortar(h, Entrada(ruta, "", 10, TipoCorte::Normal)).finalizado) << ruta;
        EscribirFichero(c / "d/x.001", datos);
        rename((c / "d/x.001").c_str(), (c / "d/y").c_str());
    }
    ASSERT_EQ(link((c / "d/x.avi").c_str(), (c / "d/x.002").c_str()), 0);
    Grabadora h;
    EXPECT_FALSE(Cortar(h, Entrada(c / "d/x.avi", "", 10, TipoCorte::Normal)).finalizado);
    EXPECT_EQ(h.errores, std::vector<std::string>{
                             "¡ Error, un trozo no puede llamarse igual que el fichero a trocear !"});
    EXPECT_EQ(LeerFichero(c / "d/x.avi"), datos);
    EXPECT_EQ(LeerFichero(c / "d/x.001"), datos.substr(0, 10)) << "los trozos anteriores quedan";
    ASSERT_EQ(unlink((c / "d/x.002").c_str()), 0);
    ASSERT_EQ(symlink((c / "d/x.avi").c_str(), (c / "d/x.003").c_str()), 0);
    Grabadora s;
    s.respuestasReemplazar = {true};
    EXPECT_FALSE(Cortar(s, Entrada(c / "d/x.avi", "", 10, TipoCorte::Normal)).finalizado);
    EXPECT_EQ(s.errores.size(), 1u);
    EXPECT_EQ(LeerFichero(c / "d/x.avi"), datos);
}

TEST_F(Corte, CarpetaDestinoInexistente) {
    EscribirFichero(c / "f.avi", Datos(30));
    EXPECT_FALSE(Cortar(v, Entrada(c / "f.avi", c / "falta", 10, TipoCorte::Normal)).finalizado);
    EXPECT_EQ(v.errores, std::vector<std::string>{"¡ Error al crear fichero " + (c / "falta/f.001") + " !"});
    EXPECT_EQ(v.Memo(Memo::Cortar), std::vector<std::string>{"Creando trozos..."});
    EXPECT_FALSE(v.ocupado);
}

TEST_F(Corte, DiscoLlenoDejaElTrozoCortoYLosAnterioresEnteros) {
    const std::string datos = Datos(2500000);
    EscribirFichero(c / "f.avi", datos);
    SimularDiscoLleno(1500000);
    const bool finalizado = Cortar(v, Entrada(c / "f.avi", "", 1000000, TipoCorte::Normal)).finalizado;
    SimularDiscoLleno(-1);
    EXPECT_FALSE(finalizado);
    EXPECT_EQ(v.errores, std::vector<std::string>{"¡ Error al escribir en fichero " + (c / "f.002") + " !"});
    EXPECT_EQ(LeerFichero(c / "f.001"), datos.substr(0, 1000000));
    // No piece that could pass for whole: the short one never took its name.
    EXPECT_FALSE(Existe(c / "f.002"));
    EXPECT_FALSE(Existe(c / "f.003"));
    EXPECT_EQ(Nombres(c.Ruta()), (std::vector<std::string>{"f.001", "f.avi"}));
    EXPECT_EQ(v.Memo(Memo::Cortar).back(), "Creando trozo 2 : " + (c / "f.002"));
    EXPECT_FALSE(v.ocupado);

    // The header write of a Hacha set fails the same way.
    Grabadora h;
    SimularDiscoLleno(0);
    const bool hacha = Cortar(h, Entrada(c / "f.avi", "", 1000000, TipoCorte::Hacha)).finalizado;
    SimularDiscoLleno(-1);
    EXPECT_FALSE(hacha);
    EXPECT_EQ(h.errores, std::vector<std::string>{"¡ Error al escribir en fichero " + (c / "f.0") + " !"});
    EXPECT_EQ(h.Memo(Memo::Cortar), std::vector<std::string>{"Creando trozos..."});
}

// Piece names already taken by a link, a FIFO or a device are refused before anything is
// opened; nothing outside the destination changes and the split never waits.
TEST_F(Corte, NombresDeTrozoTomadosPorEnlacesOFifos) {
    CarpetaTemporal fuera;
    EscribirFichero(fuera / "victima", "no tocar");
    EscribirFichero(c / "f.avi", Datos(30));
    for (const auto& [nombre, preparar] :
         std::vector<std::pair<std::string, std::function<int(const std::string&)>>>{
             {"f.002", [&](const std::string& r) { return symlink((fuera / "victima").c_str(), r.c_str()); }},
             {"f.002", [](const std::string& r) { return mkfifo(r.c_str(), 0644); }},
             {"f.001",
              [](const std::string& r) { return unlink(r.c_str()) + symlink("/dev/null", r.c_str()); }}}) {
        SCOPED_TRACE(nombre);
        const std::string ruta = c / nombre;
        ASSERT_EQ(preparar(ruta), 0);
        Grabadora g;
        g.respuestasReemplazar = {true};
        EXPECT_FALSE(Cortar(g, Entrada(c / "f.avi", "", 10, TipoCorte::Normal)).finalizado);
        EXPECT_EQ(g.errores, std::vector<std::string>{"¡ Error al crear fichero " + ruta + " !"});
        ASSERT_EQ(unlink(ruta.c_str()), 0);
    }
    EXPECT_EQ(LeerFichero(fuera / "victima"), "no tocar");
}

// Pieces that an earlier run left as hard links to each other, or to a file elsewhere, each get
// a file of their own: the set is whole and the other names keep their bytes.
TEST_F(Corte, TrozosEnlazadosEntreSiRecibenFicherosPropios) {
    CarpetaTemporal fuera;
    EscribirFichero(fuera / "victima", "no tocar");
    const std::string datos = Datos(30);
    EscribirFichero(c / "f.avi", datos);
    EscribirFichero(c / "f.001", "viejo");
    ASSERT_EQ(link((c / "f.001").c_str(), (c / "f.002").c_str()), 0);
    ASSERT_EQ(link((fuera / "victima").c_str(), (c / "f.003").c_str()), 0);
    v.respuestasReemplazar = {true};
    EXPECT_TRUE(Cortar(v, Entrada(c / "f.avi", "", 10, TipoCorte::Normal)).finalizado);
    EXPECT_EQ(LeerFichero(c / "f.001") + LeerFichero(c / "f.002") + LeerFichero(c / "f.003"), datos);
    EXPECT_EQ(LeerFichero(fuera / "victima"), "no tocar");
}

// A source rewritten by another program during the run: a piece short of its share is a
// failed write, never a finished set.
TEST_F(Corte, FuenteQueEncogeDuranteLaCorrida) {
    const std::string datos = Datos(30);
    EscribirFichero(c / "f.avi", datos);
    v.alRespirar = [&] { ASSERT_EQ(truncate((c / "f.avi").c_str(), 15), 0); };
    EXPECT_FALSE(Cortar(v, Entrada(c / "f.avi", "", 10, TipoCorte::CortaArchivos)).finalizado);
    EXPECT_EQ(v.errores, std::vector<std::string>{"¡ Error al escribir en fichero " + (c / "f.2") + " !"});
    EXPECT_TRUE(v.informaciones.empty());
    EXPECT_EQ(LeerFichero(c / "f.1"), datos.substr(0, 10));
    EXPECT_FALSE(Existe(c / "f.fin"));
}

// A long piece lets the window paint and shows the run's progress while it is copied; the
// user's input waits for the end of the piece; the files are as without the slowness.
TEST_F(Corte, UnTrozoLargoDejaPintarSinAtenderLaEntrada) {
    const std::string datos = Datos(5500000);
    EscribirFichero(c / "f.avi", datos);
    std::vector<int> repintadosAlRespirar;
    v.alRespirar = [&] { repintadosAlRespirar.push_back(v.repintados); };
    RalentizarAvance(std::chrono::milliseconds(60));
    const bool finalizado = Cortar(v, Entrada(c / "f.avi", "", 5000000, TipoCorte::Normal)).finalizado;
    RalentizarAvance(std::chrono::milliseconds(0));
    EXPECT_TRUE(finalizado);
    ASSERT_EQ(repintadosAlRespirar.size(), 2u);
    EXPECT_GE(repintadosAlRespirar[0], 2) << "painted during the first piece, before any input";
    ASSERT_GE(v.progresos.size(), 3u);
    EXPECT_EQ(v.progresos.front(), (std::pair<int64_t, int64_t>{0, 5500000}));
    for (size_t i = 1; i + 1 < v.progresos.size(); ++i) {
        EXPECT_EQ(v.progresos[i].second, 5500000);
        EXPECT_GE(v.progresos[i].first, v.progresos[i - 1].first);
    }
    EXPECT_LT(v.progresos.back().second, 0) << "hidden at the end";
    EXPECT_EQ(LeerFichero(c / "f.001") + LeerFichero(c / "f.002"), datos);
}

TEST_F(Corte, FuenteDeMasDeDosGiB) {
    // A sparse 3 GiB source in 323 pieces of 10 MB; only the pieces with a mark are written: the
    // one at 2,000,000,000, the one across 2 GiB and the last, which starts past 3 * 10^9.
    const int64_t s = 3LL << 30;
    const int64_t p = 10000000;
    if (!prueba::HayEspacio(c.Ruta(), 100LL << 20)) GTEST_SKIP() << "less than 100 MiB free for the pieces";
    const std::string fuente = c / "grande.img";
    {
        const int fd = open(fuente.c_str(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(ftruncate(fd, s), 0);
        for (const int64_t pos : {int64_t{2000000000}, (int64_t{1} << 31) - 6, s - 11}) {
            const std::string marca = "M" + std::to_string(pos);
            ASSERT_EQ(pwrite(fd, marca.data(), marca.size(), pos), static_cast<ssize_t>(marca.size()));
        }
        close(fd);
    }
    EntradaCorte e = Entrada(fuente, "", p, TipoCorte::Hacha);
    std::vector<bool> plan(323, false);
    plan[200] = plan[214] = plan[322] = true;
    PonerPlanEnVigor(e, plan);
    EXPECT_TRUE(Cortar(v, e).finalizado);
    const auto leer = [](const std::string& ruta, int64_t pos, size_t n) {
        std::string s2(n, '\0');
        const int fd = open(ruta.c_str(), O_RDONLY);
        EXPECT_EQ(pread(fd, s2.data(), n, pos), static_cast<ssize_t>(n));
        close(fd);
        return s2;
    };
    struct stat st {};
    for (const char* nombre : {"grande.200", "grande.214"}) {
        ASSERT_EQ(stat((c / nombre).c_str(), &st), 0) << nombre;
        EXPECT_EQ(st.st_size, p) << nombre;
    }
    ASSERT_EQ(stat((c / "grande.322").c_str(), &st), 0);
    EXPECT_EQ(st.st_size, s - 322 * p);
    EXPECT_EQ(leer(c / "grande.200", 0, 11), "M2000000000");
    EXPECT_EQ(leer(c / "grande.214", (int64_t{1} << 31) - 6 - 214 * p, 11), "M2147483642");
    EXPECT_EQ(leer(c / "grande.322", s - 322 * p - 11, 11), "M3221225461");
    EXPECT_FALSE(Existe(c / "grande.0"));
    EXPECT_FALSE(Existe(c / "grande.213"));
}

} // namespace
} // namespace quimbel
