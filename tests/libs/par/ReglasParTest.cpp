// SPDX-License-Identifier: GPL-3.0-or-later
// The rules of the parity library that par2 alone does not show: names, options,
// slicing, stripes and the region arithmetic.
#include "Galois.h"
#include "NombresPar.h"
#include "OrdenPar.h"
#include "Reparto.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "support/Carpeta.h"

namespace quimbel::par {
namespace {

TEST(NombresPar, ElIndiceCambiaPorPar2LaExtensionParEnCualquierCaso) {
    EXPECT_EQ(NombreIndice("/d/pelicula.par"), "/d/pelicula.par2");
    EXPECT_EQ(NombreIndice("/d/pelicula.PaR"), "/d/pelicula.par2");
    EXPECT_EQ(NombreIndice("/d/pelicula"), "/d/pelicula.par2");
    EXPECT_EQ(NombreIndice("/d.par/pelicula"), "/d.par/pelicula.par2");
    EXPECT_EQ(NombreIndice("copia.tar"), "copia.tar.par2");
    EXPECT_EQ(BaseVolumenes("/d/pelicula.par2"), "/d/pelicula");
}

TEST(NombresPar, VolumenesNumeradosComoLosUniformesDePar2) {
    using V = std::vector<std::string>;
    EXPECT_EQ(NombresVolumenes("x", 3, 1), (V{"x.vol0+1.par2", "x.vol1+1.par2", "x.vol2+1.par2"}));
    EXPECT_EQ(NombresVolumenes("x", 9, 1).back(), "x.vol8+1.par2");
    EXPECT_EQ(NombresVolumenes("x", 10, 1).front(), "x.vol00+1.par2");
    EXPECT_EQ(NombresVolumenes("x", 100, 1).back(), "x.vol099+1.par2");
    EXPECT_EQ(NombresVolumenes("x", 3, 10), (V{"x.vol00+10.par2", "x.vol10+10.par2", "x.vol20+10.par2"}));
    EXPECT_EQ(NombresVolumenes("x", 1, 10), (V{"x.vol00+10.par2"}));
    EXPECT_TRUE(NombresVolumenes("x", 0, 1).empty());
    EXPECT_TRUE(EsVolumenDe("x.vol12+3.par2", "x"));
    EXPECT_FALSE(EsVolumenDe("xy.vol0+1.par2", "x"));
    EXPECT_FALSE(EsVolumenDe("x.vol0+1.par2.old", "x"));
}

// What the program's PAR step and the library both take for an output of the set "x.par2":
// the index and its volumes, in either case of ".par2" and ".old"; never a name only alike.
TEST(NombresPar, LasSalidasDeUnJuegoYSusNombresViejos) {
    for (const char* nombre :
         {"x.par2", "x.par2.old", "x.par2.OLD", "x.vol0+1.par2", "x.vol03+04.PAR2", "x.vol12+3.par2.old"})
        EXPECT_TRUE(EsSalidaDe(nombre, "x.par2")) << nombre;
    for (const char* nombre :
         {"x.PAR2", "x.par2x", "x.par2.old.old", "x.vol1.par2", "x.volA+1.par2", "x.vol+1.par2",
          "x.vol1+.par2", "xy.vol0+1.par2", "y.par2", "x.vol0+1.par", "x.vol1+1.vol2+2.par2"})
        EXPECT_FALSE(EsSalidaDe(nombre, "x.par2")) << nombre;
    EXPECT_EQ(BaseDeVolumen("a.b.vol10+10.PaR2"), "a.b");
    EXPECT_EQ(BaseDeVolumen("x.vol1+1.vol2+2.par2"), "x.vol1+1");
    EXPECT_FALSE(BaseDeVolumen("x.par2"));
    EXPECT_FALSE(BaseDeVolumen("x.vol0+1.par2.old"));
    // A repair finds the set's base from any of its names.
    EXPECT_EQ(BaseDelJuego("x.vol07+08.par2"), "x");
    EXPECT_EQ(BaseDelJuego("x.PAR2"), "x");
    EXPECT_EQ(BaseDelJuego("x.volA+1.par2"), "x.volA+1");
    EXPECT_EQ(BaseDelJuego("x.avi"), "x.avi");
    EXPECT_EQ(ClaveDeNombre("Pelicula.ÑO1", true), "pelicula.Ño1");
    EXPECT_EQ(ClaveDeNombre("Pelicula.001", false), "Pelicula.001");
}

// The outputs of a set on disk, as both the program's PAR step and the library see them: a
// folder under an output's name, names only alike and another set's files are none of them;
// a piece under another name is found by identity.
TEST(NombresPar, SalidasEnDiscoYLasQueSonUnTrozo) {
    prueba::CarpetaTemporal c;
    for (const char* nombre :
         {"x.par2", "x.vol0+1.par2", "x.vol1+1.PAR2.old", "x.par2.old", "x.volA.par2", "y.par2", "x.001"})
        prueba::EscribirFichero(c / nombre, nombre);
    std::filesystem::create_directory(c / "x.vol2+1.par2");
    std::filesystem::create_hard_link(c / "x.001", c / "x.vol3+1.par2");
    Carpeta carpeta;
    ASSERT_TRUE(AbrirCarpeta(carpeta, c.Ruta()).Bien());
    EXPECT_EQ(SalidasPresentes(carpeta, "x.par2", false),
              (std::vector<std::string>{"x.par2", "x.vol0+1.par2", "x.vol3+1.par2"}));
    EXPECT_EQ(SalidasPresentes(carpeta, "x.par2", true),
              (std::vector<std::string>{"x.par2", "x.par2.old", "x.vol0+1.par2", "x.vol1+1.PAR2.old",
                                        "x.vol3+1.par2"}));
    EXPECT_TRUE(SalidasPresentes(carpeta, "z.par2", true).empty());
    Protegidos trozos;
    trozos.Anadir(c / "x.001");
    EXPECT_TRUE(EsProtegidoEn(carpeta, "x.vol3+1.par2", trozos));
    EXPECT_FALSE(EsProtegidoEn(carpeta, "x.vol0+1.par2", trozos));
    EXPECT_FALSE(EsProtegidoEn(carpeta, "x.vol2+1.par2", trozos));
    EXPECT_FALSE(EsProtegidoEn(carpeta, "no.existe", trozos));
    EXPECT_TRUE(EsCarpetaEn(carpeta, "x.vol2+1.par2"));
    EXPECT_FALSE(EsCarpetaEn(carpeta, "x.par2"));
}

// A repair finds the files of a set from any of them by the rule of the set's names, ".par2"
// in any case: the one given first, then the others in name order; another set's files, a
// folder and names that only look alike stay out.
TEST(NombresPar, LosFicherosDelJuegoEnCualquierCaja) {
    prueba::CarpetaTemporal c;
    for (const char* nombre : {"s.PAR2", "s.vol0+1.PAR2", "s.vol1+2.par2", "s.vol3+1.Par2.old", "s.volA.par2",
                               "s2.par2", "t.vol0+1.par2", "s.par"})
        prueba::EscribirFichero(c / nombre, nombre);
    std::filesystem::create_directory(c / "s.vol9+1.par2");
    Carpeta carpeta;
    ASSERT_TRUE(AbrirCarpeta(carpeta, c.Ruta()).Bien());
    const std::vector<std::string> desdeElIndice{"s.PAR2", "s.vol0+1.PAR2", "s.vol1+2.par2"};
    EXPECT_EQ(FicherosDelJuego(carpeta, "s.PAR2"), desdeElIndice);
    EXPECT_EQ(FicherosDelJuego(carpeta, "s.vol1+2.par2"),
              (std::vector<std::string>{"s.vol1+2.par2", "s.PAR2", "s.vol0+1.PAR2"}));
    // A given name that is not there still comes first: the job says it cannot open it.
    EXPECT_EQ(FicherosDelJuego(carpeta, "s.par2").front(), "s.par2");
}

std::optional<OrdenPar> Leer(const std::vector<std::string>& v, std::string& error) {
    std::vector<std::string> todo{"par.exe"};
    todo.insert(todo.end(), v.begin(), v.end());
    OrdenPar orden;
    if (const Fallo fallo = LeerOrden(todo, orden)) {
        EXPECT_EQ(fallo->codigo, CodigoFallo::Argumentos);
        error = fallo->linea;
        return std::nullopt;
    }
    error.clear();
    return orden;
}

TEST(OrdenPar, ElVectorDelPasoDeCorte) {
    std::string error;
    const auto orden = Leer({"add", "-n4294967295", "-m", "+C", "--", "/d/p.par", "p.001", "-p.002"}, error);
    ASSERT_TRUE(orden) << error;
    EXPECT_EQ(orden->pares, 4294967295u);
    EXPECT_TRUE(orden->renombrarViejos);
    EXPECT_TRUE(orden->mayusculasIguales);
    EXPECT_EQ(orden->rutaPar, "/d/p.par");
    EXPECT_EQ(orden->trozos, (std::vector<std::string>{"p.001", "-p.002"}));

    const auto sinOpciones = Leer({"add", "p.par", "p.001"}, error);
    ASSERT_TRUE(sinOpciones);
    EXPECT_EQ(sinOpciones->pares, 0u);
    EXPECT_FALSE(sinOpciones->renombrarViejos || sinOpciones->mayusculasIguales);
    const auto enorme = Leer({"add", "-n99999999999999999999999", "--", "p.par", "a"}, error);
    ASSERT_TRUE(enorme);
    EXPECT_EQ(enorme->pares, UINT64_MAX);
}

TEST(OrdenPar, LoQueNoEsUnaOrdenAddConSusOpcionesSeRechaza) {
    for (const std::vector<std::string>& v : std::vector<std::vector<std::string>>{
             {},
             {"ADD", "--", "p.par", "a"},
             {"add", "-n", "--", "p.par", "a"},
             {"add", "-n-1", "--", "p.par", "a"},
             {"add", "-n 5", "--", "p.par", "a"},
             {"add", "-C", "--", "p.par", "a"},
             {"add", "-n1", "--", "p.par"},
             {"add", "-n1", "--", "/d/", "a"},
         }) {
        std::string error;
        EXPECT_FALSE(Leer(v, error));
        EXPECT_TRUE(error.starts_with("¡ ") && error.ends_with(" !")) << error;
    }
}

TEST(RepartoPar, UnaRebanadaPorTrozoRedondeadaAMultiploDe4) {
    const Limites limites;
    const std::vector<uint64_t> tamanos{1001, 1001, 5};
    const auto r = Repartir(tamanos, 3, limites);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->tamano, 1004u);
    EXPECT_EQ(r->porTrozo, 1u);
    EXPECT_EQ(r->total, 3u);
    EXPECT_FALSE(Repartir(std::vector<uint64_t>{0, 0}, 1, limites));
}

// Up to 16 MiB a piece is one slice; a larger largest piece is cut into the fewest equal
// slices of at most 16 MiB, k per piece.
TEST(RepartoPar, TrozosDeMasDe16MiBVanEnLasMenosRebanadasIguales) {
    const Limites limites;
    const auto justo = Repartir(std::vector<uint64_t>{16'777'216, 7}, 1, limites);
    EXPECT_EQ(justo->tamano, 16'777'216u);
    EXPECT_EQ(justo->porTrozo, 1u);
    const auto dos = Repartir(std::vector<uint64_t>{16'777'217, 5}, 1, limites);
    EXPECT_EQ(dos->tamano, 8'388'612u);
    EXPECT_EQ(dos->porTrozo, 2u);
    EXPECT_EQ(dos->total, 3u);
    const auto gigas = Repartir(std::vector<uint64_t>{uint64_t{1} << 30, uint64_t{1} << 30}, 1, limites);
    EXPECT_EQ(gigas->tamano, 16'777'216u);
    EXPECT_EQ(gigas->porTrozo, 64u);
    EXPECT_EQ(gigas->total, 128u);
    const auto r = Repartir(std::vector<uint64_t>{2'500'000'001, 2'500'000'001, 900'000'000}, 3, limites);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->porTrozo, 150u);
    EXPECT_EQ(r->tamano, 16'666'668u);
    EXPECT_EQ(r->total, 150u + 150u + 54u);
}

TEST(RepartoPar, NuncaMasDe32768Rebanadas) {
    const Limites limites;
    const std::vector<uint64_t> tamanos(993, uint64_t{40'000'000'000});
    const auto r = Repartir(tamanos, 993, limites);
    ASSERT_TRUE(r);
    EXPECT_LE(r->total, 32768u);
    EXPECT_EQ(r->tamano % 4, 0u);
    EXPECT_GE(r->tamano * r->porTrozo, uint64_t{40'000'000'000});
    // The smallest slice that fits: 4 bytes less gives too many.
    EXPECT_GT(993 * RebanadasDe(40'000'000'000, r->tamano - 4), 32768u);
    Limites pocas;
    pocas.rebanadasMaximas = 2;
    EXPECT_FALSE(Repartir(std::vector<uint64_t>{1, 1, 1}, 1, pocas));
}

// count * k recovery slices must fit as well: the slices grow until they do, so that any
// `count` lost pieces can still be rebuilt.
TEST(RepartoPar, LasRebanadasDeRecuperacionTambienCaben) {
    const Limites limites;
    const std::vector<uint64_t> tamanos{uint64_t{20000} << 24, 1}; // 20,000 slices of 16 MiB, and one
    EXPECT_EQ(Repartir(tamanos, 1, limites)->tamano, uint64_t{1} << 24);
    const auto r = Repartir(tamanos, 2, limites);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->porTrozo, 16384u);
    EXPECT_EQ(r->tamano, 20'480'000u);
}

// A thread holds the stripe of each slice of a group (16 at most here) and two sets of sums,
// one of them in its cache at a time.
TEST(RepartoPar, FranjasQueCabenEnLaCacheYEnLaMemoria) {
    Limites limites; // 256 MiB, stripes up to 1 MiB
    limites.cache = uint64_t{1} << 20;
    const Franjas indice = PlanearFranjas(10'737'420, FilasDeCreacion(0, 16), 2, limites);
    EXPECT_EQ(indice.ancho, 65536u);
    EXPECT_EQ(indice.numero, 164u);
    EXPECT_EQ(PlanearFranjas(10'737'420, FilasDeCreacion(0, 1), 2, limites).ancho, limites.franjaMaxima);
    const Franjas entera = PlanearFranjas(5002, FilasDeCreacion(10, 16), 2, limites);
    EXPECT_EQ(entera.numero, 1u);
    EXPECT_EQ(entera.ancho, 5002u);
    EXPECT_EQ(entera.fila, 5056u);
    for (uint32_t recuperacion : {1u, 10u, 993u, 32768u}) {
        const Franjas f = PlanearFranjas(16'777'216, FilasDeCreacion(recuperacion, 16), 2, limites);
        EXPECT_EQ(f.ancho % 64, 0u);
        EXPECT_EQ(f.fila, f.ancho);
        EXPECT_EQ(f.numero, (16'777'216 + f.ancho - 1) / f.ancho);
        EXPECT_LE(2 * (2 * recuperacion + 16) * f.fila, limites.memoria) << recuperacion;
        EXPECT_LE((recuperacion + 16) * f.fila,
                  std::max<uint64_t>(limites.cache, (recuperacion + 16) * 16384));
    }
    Limites poca;
    poca.memoria = 2 * 7 * 200;
    EXPECT_EQ(PlanearFranjas(100'000, FilasDeCreacion(3, 1), 2, poca).ancho, 192u);
    poca.memoria = 10;
    EXPECT_EQ(PlanearFranjas(100'000, FilasDeCreacion(3, 1), 2, poca).ancho, 64u);
}

// Consecutive groups of at most `carriles`, as even as can be, as many per thread.
TEST(RepartoPar, GruposParejosParaCadaHilo) {
    const auto tamanos = [](const std::vector<Grupo>& grupos) {
        std::vector<size_t> t;
        size_t siguiente = 0;
        for (const Grupo& g : grupos) {
            EXPECT_EQ(g.desde, siguiente);
            siguiente = g.hasta;
            t.push_back(g.hasta - g.desde);
        }
        return t;
    };
    using T = std::vector<size_t>;
    EXPECT_EQ(tamanos(Agrupar(100, 2, 16)), (T{13, 13, 13, 13, 12, 12, 12, 12}));
    EXPECT_EQ(tamanos(Agrupar(10, 2, 16)), (T{5, 5}));
    EXPECT_EQ(tamanos(Agrupar(64, 2, 16)), (T{16, 16, 16, 16}));
    EXPECT_EQ(tamanos(Agrupar(3, 4, 16)), (T{1, 1, 1}));
    EXPECT_EQ(tamanos(Agrupar(17, 1, 8)), (T{6, 6, 5}));
    EXPECT_TRUE(Agrupar(0, 2, 16).empty());
}

// GF-Complete's regions, through the alternate layout and back, and the tables agree:
// little-endian words, polynomial 0x1100B.
TEST(GaloisPar, LaRegionMultiplicaComoLasTablas) {
    const TablasGalois& tablas = TablasGalois::Unicas();
    EXPECT_EQ(tablas.Multiplicar(2, 0x8000), 0x100B);
    EXPECT_EQ(tablas.Coeficiente(7, 0), 1);
    std::mt19937 azar(3);
    alignas(64) uint8_t origen[256], destino[256], esperado[256], producto[256], solo[256];
    for (int i = 0; i < 256; ++i) {
        origen[i] = destino[i] = static_cast<uint8_t>(azar());
        solo[i] = static_cast<uint8_t>(azar());
    }
    std::copy(std::begin(destino), std::end(destino), esperado);
    const auto factor = static_cast<uint16_t>(azar() | 1);
    for (int i = 0; i < 256; i += 2) {
        const auto palabra = static_cast<uint16_t>(origen[i] | origen[i + 1] << 8);
        const uint16_t p = tablas.Multiplicar(palabra, factor);
        producto[i] = static_cast<uint8_t>(p);
        producto[i + 1] = static_cast<uint8_t>(p >> 8);
        esperado[i] ^= producto[i];
        esperado[i + 1] ^= producto[i + 1];
    }
    RegionGalois region;
    AFormaAlterna(origen, sizeof origen);
    AFormaAlterna(destino, sizeof destino);
    region.MultiplicarSumar(origen, destino, factor, sizeof origen);
    AFormaPar(destino, sizeof destino);
    EXPECT_TRUE(std::equal(std::begin(destino), std::end(destino), esperado));
    // Without adding: whatever the destination held is replaced.
    region.Multiplicar(origen, solo, factor, sizeof origen);
    AFormaPar(solo, sizeof solo);
    EXPECT_TRUE(std::equal(std::begin(solo), std::end(solo), producto));
    EXPECT_EQ(LogaritmosDeEntrada(12), (std::vector<uint32_t>{1, 2, 4, 7, 8, 11, 13, 14, 16, 19, 22, 23}));
}

// Every 32 bytes: the high bytes of their 16 little-endian words, then the low bytes.
TEST(GaloisPar, LaFormaAlternaSeparaBytesAltosYBajosPorBloque) {
    alignas(64) uint8_t datos[96], esperado[96];
    for (int i = 0; i < 96; ++i)
        datos[i] = static_cast<uint8_t>(i * 7 + 1);
    for (int b = 0; b < 96; b += 32)
        for (int w = 0; w < 16; ++w) {
            esperado[b + w] = datos[b + 2 * w + 1];
            esperado[b + 16 + w] = datos[b + 2 * w];
        }
    uint8_t original[96];
    std::copy(std::begin(datos), std::end(datos), original);
    AFormaAlterna(datos, sizeof datos);
    EXPECT_TRUE(std::equal(std::begin(datos), std::end(datos), esperado));
    AFormaPar(datos, sizeof datos);
    EXPECT_TRUE(std::equal(std::begin(datos), std::end(datos), original));
}

} // namespace
} // namespace quimbel::par
