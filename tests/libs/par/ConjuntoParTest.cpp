// SPDX-License-Identifier: GPL-3.0-or-later
// Whole jobs under lowered bounds, so that small files take several slices per piece,
// several passes and several threads; par2 builds the same set and repairs ours.
#include "Avisos.h"
#include "Creacion.h"
#include "LlamadaPar.h"
#include "Reparto.h"
#include "support/Carpeta.h"
#include "tests/libs/par/ApoyoPar.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

namespace quimbel::par {
namespace {

// Jobs in the current folder, as call_par runs them.
const CarpetaDelTrabajo EnCarpetaActual(LLAMADA_PAR_CARPETA_ACTUAL);

using prueba::Contenido;
using prueba::Par2;

struct CasoLimites {
    const char* nombre;
    std::vector<size_t> tamanos;
    unsigned pares;
    Limites limites;
};

Limites Con(uint64_t rebanadaMaxima, uint64_t memoria, uint64_t franja, unsigned hilos,
            unsigned abiertos = 0) {
    Limites l;
    l.abiertos = abiertos;
    l.rebanadaMaxima = rebanadaMaxima;
    l.memoria = memoria;
    l.franjaMaxima = franja;
    l.hilos = hilos;
    return l;
}

// Tests are listed by the case's name.
void PrintTo(const CasoLimites& caso, std::ostream* os) {
    *os << caso.nombre;
}

class ConjuntoLimitado : public ::testing::TestWithParam<CasoLimites> {
  protected:
    prueba::CarpetaTemporal carpeta;
    prueba::EnCarpeta dentro{carpeta.Ruta()};
};

TEST_P(ConjuntoLimitado, IgualQuePar2YReparable) {
    const CasoLimites& caso = GetParam();
    const auto trozos = prueba::EscribirTrozos(carpeta.Ruta(), "t", caso.tamanos);
    std::vector<std::string> vector{"par.exe", "add", "-n" + std::to_string(caso.pares), "--",
                                    carpeta / "n.par"};
    vector.insert(vector.end(), trozos.begin(), trozos.end());
    Avisos avisos(nullptr);
    ASSERT_EQ(EjecutarPar(vector, EnCarpetaActual, avisos, caso.limites), 0);

    std::vector<uint64_t> tamanos(caso.tamanos.begin(), caso.tamanos.end());
    const Reparto reparto = *Repartir(tamanos, caso.pares, caso.limites);
    std::string lista;
    for (const std::string& t : trozos)
        lista += " " + t;
    ASSERT_EQ(Par2("create -s" + std::to_string(reparto.tamano) + " -c" +
                   std::to_string(caso.pares * reparto.porTrozo) + " -n" + std::to_string(caso.pares) +
                   " -u s.par2" + lista),
              0);
    const auto nuestros = prueba::PaquetesDeConjunto(carpeta.Ruta(), "n.");
    EXPECT_EQ(nuestros.size(), 1 + 2 * trozos.size() + caso.pares * reparto.porTrozo);
    EXPECT_EQ(nuestros, prueba::PaquetesDeConjunto(carpeta.Ruta(), "s."));

    ASSERT_EQ(Par2("verify -q n.par2"), 0);
    const auto original = Contenido(carpeta.Ruta());
    for (unsigned i = 0; i < caso.pares; ++i)
        std::filesystem::remove(trozos[i * 2 % trozos.size()]);
    for (const auto& [nombre, contenido] : original)
        if (nombre.starts_with("s.")) std::filesystem::remove(nombre);
    ASSERT_EQ(Par2("repair -q n.par2"), 0);
    for (const std::string& t : trozos)
        EXPECT_EQ(prueba::LeerFichero(t), original.at(t)) << t;
}

// Bounds: largest slice, memory, widest stripe, threads, files kept open.
INSTANTIATE_TEST_SUITE_P(
    Limites, ConjuntoLimitado,
    ::testing::Values(
        CasoLimites{
            "VariasRebanadasPorTrozo", {10000, 10000, 10000, 3001}, 2, Con(4096, 64 << 20, 1 << 20, 2)},
        CasoLimites{"VariasRebanadasYFranjas", {10002, 10002, 10002, 6003}, 2, Con(4096, 64 << 20, 256, 2)},
        CasoLimites{"AbiertosEnCadaFranja", {10002, 10002, 10002, 6003}, 2, Con(4096, 64 << 20, 256, 2, 5)},
        CasoLimites{
            "FranjasDeUnaRebanada", {5001, 5001, 5001, 5001, 99}, 3, Con(1'000'000'000, 64 << 20, 128, 3)},
        CasoLimites{
            "FranjasPorLaMemoria", {3000, 3000, 3000, 1}, 3, Con(1'000'000'000, 2 * 4 * 200, 1 << 20, 2)},
        CasoLimites{"UnHiloYFranjasMinimas", {3000, 3000, 1}, 1, Con(1'000'000'000, 64 << 20, 64, 1)},
        CasoLimites{"MasHilosQueTrozos", {70000, 17}, 2, Con(16384, 64 << 20, 4096, 5)}),
    [](const ::testing::TestParamInfo<CasoLimites>& caso) { return std::string(caso.param.nombre); });

// The same job gives the same bytes whatever the threads, stripes and files kept open.
TEST(ConjuntoPar, ElResultadoNoDependeDeHilosNiFranjas) {
    prueba::CarpetaTemporal carpeta;
    prueba::EnCarpeta dentro(carpeta.Ruta());
    const auto trozos = prueba::EscribirTrozos(carpeta.Ruta(), "h", {9001, 9001, 9001, 9001, 9001, 4});
    std::map<std::string, std::string> primero;
    for (const Limites& limites :
         {Con(1'000'000'000, 64 << 20, 1 << 20, 1), Con(1'000'000'000, 64 << 20, 64, 4),
          Con(1'000'000'000, 64 << 20, 192, 2), Con(1'000'000'000, 64 << 20, 192, 2, 1)}) {
        std::vector<std::string> vector{"par.exe", "add", "-n3", "-m", "--", carpeta / "h.par"};
        vector.insert(vector.end(), trozos.begin(), trozos.end());
        Avisos avisos(nullptr);
        ASSERT_EQ(EjecutarPar(vector, EnCarpetaActual, avisos, limites), 0);
        std::map<std::string, std::string> ahora;
        for (const auto& [nombre, contenido] : Contenido(carpeta.Ruta()))
            if (nombre.ends_with(".par2")) ahora[nombre] = contenido;
        if (primero.empty())
            primero = ahora;
        else
            EXPECT_EQ(ahora, primero);
    }
    EXPECT_EQ(Par2("verify -q h.par2"), 0);
}

std::vector<std::string> textos;

int32_t Anotar(const char* texto) {
    textos.emplace_back(texto);
    return 0;
}

// While the threads work, the calling thread says how far the job is, in shares of the bytes
// read that only grow, up to the whole; the set is the one made without those texts.
TEST(ConjuntoPar, MientrasCalculaDiceCuantoLleva) {
    prueba::CarpetaTemporal carpeta;
    prueba::EnCarpeta dentro(carpeta.Ruta());
    const auto trozos = prueba::EscribirTrozos(carpeta.Ruta(), "a", std::vector<size_t>(20, 200000));
    Limites limites = Con(1'000'000'000, 64 << 20, 64, 1);
    limites.avance = std::chrono::milliseconds(1);
    std::vector<std::string> vector{"par.exe", "add", "-n2", "--", carpeta / "a.par"};
    vector.insert(vector.end(), trozos.begin(), trozos.end());
    textos.clear();
    Avisos avisos(Anotar);
    ASSERT_EQ(EjecutarPar(vector, EnCarpetaActual, avisos, limites), 0);
    std::vector<int> partes;
    for (const std::string& t : textos)
        if (t.starts_with("Calculando: ") && t.ends_with(" %")) partes.push_back(std::stoi(t.substr(12)));
    ASSERT_GE(partes.size(), 2u) << "the job took less than two intervals";
    EXPECT_TRUE(std::is_sorted(partes.begin(), partes.end()));
    EXPECT_GT(partes.back(), 0);
    EXPECT_LE(partes.back(), 100);
    EXPECT_EQ(Par2("verify -q a.par2"), 0);
}

struct Forzado {
    NucleoGalois galois;
    NucleoMd5 md5;
};

void PrintTo(const Forzado& f, std::ostream* os) {
    *os << Nombre(f.galois) << "/" << Nombre(f.md5);
}

// Each kernel forced in turn, the others portable: the set is the portable path's, byte for
// byte, and par2 verifies and repairs it. More slices than lanes, slices that are not
// whole blocks of the alternate layout, several stripes and threads.
class NucleoForzado : public ::testing::TestWithParam<Forzado> {};

TEST_P(NucleoForzado, MismoConjuntoQueElPortableYReparable) {
    const Forzado forzado = GetParam();
    for (const std::string_view falta : {Disponible(forzado.galois) ? "" : Nombre(forzado.galois),
                                         Disponible(forzado.md5) ? "" : Nombre(forzado.md5)})
        if (!falta.empty()) GTEST_SKIP() << "el procesador no tiene " << falta;
    prueba::CarpetaTemporal carpeta;
    prueba::EnCarpeta dentro(carpeta.Ruta());
    std::vector<size_t> tamanos(19, 9001);
    tamanos.push_back(4003);
    const auto trozos = prueba::EscribirTrozos(carpeta.Ruta(), "k", tamanos);
    const auto hacer = [&](NucleoGalois galois, NucleoMd5 md5, const std::string& base) {
        Limites limites = Con(4096, 64 << 20, 1024, 2);
        limites.nucleoGalois = galois;
        limites.nucleoMd5 = md5;
        std::vector<std::string> vector{"par.exe", "add", "-n3", "--", carpeta / (base + ".par")};
        vector.insert(vector.end(), trozos.begin(), trozos.end());
        Avisos avisos(nullptr);
        EXPECT_EQ(EjecutarPar(vector, EnCarpetaActual, avisos, limites), 0);
        std::map<std::string, std::string> ficheros;
        for (const auto& [nombre, contenido] : Contenido(carpeta.Ruta()))
            if (nombre.starts_with(base + ".")) ficheros[nombre.substr(base.size())] = contenido;
        return ficheros;
    };
    const auto portable = hacer(NucleoGalois::Portable, NucleoMd5::Portable, "p");
    const auto suyo = hacer(forzado.galois, forzado.md5, "f");
    EXPECT_EQ(suyo.size(), 4u);
    EXPECT_TRUE(suyo == portable);

    ASSERT_EQ(Par2("verify -q f.par2"), 0);
    const auto original = Contenido(carpeta.Ruta());
    for (const char* t : {"k.002", "k.011", "k.020"})
        std::filesystem::remove(t);
    ASSERT_EQ(Par2("repair -q f.par2"), 0);
    for (const std::string& t : trozos)
        EXPECT_EQ(prueba::LeerFichero(t), original.at(t)) << t;
}

INSTANTIATE_TEST_SUITE_P(Nucleos, NucleoForzado,
                         ::testing::Values(Forzado{NucleoGalois::Avx2, NucleoMd5::Portable},
                                           Forzado{NucleoGalois::Avx512, NucleoMd5::Portable},
                                           Forzado{NucleoGalois::Gfni, NucleoMd5::Portable},
                                           Forzado{NucleoGalois::Gfni512, NucleoMd5::Portable},
                                           Forzado{NucleoGalois::Portable, NucleoMd5::Avx2},
                                           Forzado{NucleoGalois::Portable, NucleoMd5::Avx512}),
                         [](const ::testing::TestParamInfo<Forzado>& f) {
                             return std::string(Nombre(f.param.galois)) + "_" +
                                    std::string(Nombre(f.param.md5));
                         });

} // namespace
} // namespace quimbel::par
