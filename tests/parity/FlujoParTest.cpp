// SPDX-License-Identifier: GPL-3.0-or-later
// The parity library's streamed creation, called through its exports: what breaks a job and
// what the folder holds afterwards. A refused or broken job writes nothing of the set, and its
// end says why in one failure line; a whole job writes a set par2 accepts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "files/Carpeta.h"
#include "parity/Bibliotecas.h"
#include "parity/Par.h"
#include "support/Carpeta.h"

namespace quimbel {
namespace {

using namespace prueba;
namespace fs = std::filesystem;

int32_t Anotar(void* contexto, const char* texto) {
    static_cast<std::vector<std::string>*>(contexto)->emplace_back(texto);
    return 0;
}

std::set<std::string> Nombres(const std::string& carpeta) {
    std::set<std::string> nombres;
    for (const auto& e : fs::directory_iterator(carpeta))
        nombres.insert(e.path().filename());
    return nombres;
}

// A job over two pieces on disk, a.001 and a.002, for a set of one volume.
class FlujoPar : public ::testing::Test {
  protected:
    void SetUp() override {
        CargarPar(CARPETA_PAR);
        ASSERT_TRUE(LasBibliotecas().FlujoPar().Completas());
        EscribirFichero(c / "a.001", trozos[0]);
        EscribirFichero(c / "a.002", trozos[1]);
        ASSERT_TRUE(AbrirCarpeta(carpeta, c.Ruta()).Bien());
    }
    void TearDown() override { LiberarPar(); }

    int32_t Abrir(uint64_t memoria, ParFlujo*& flujo) {
        LlamadaParContexto llamada{};
        EXPECT_EQ(
            PonerArgumentos({"par.exe", "add", "-n1", "-m", "+C", "--", "a.par", "a.001", "a.002"}, llamada),
            0);
        llamada.tamano = sizeof(LlamadaParContexto);
        llamada.version = LLAMADA_PAR_VERSION;
        llamada.carpeta = carpeta.Descriptor();
        const uint64_t tamanos[] = {trozos[0].size(), trozos[1].size()};
        const int32_t r = f().abrir(&llamada, tamanos, memoria, &flujo);
        LiberarArgumentos(llamada.cuenta, llamada.argumentos);
        return r;
    }
    static const FuncionesFlujoPar& f() { return LasBibliotecas().FlujoPar(); }
    void Principios(ParFlujo* flujo) {
        for (int32_t i = 0; i < 2; ++i)
            ASSERT_EQ(f().principio(flujo, i, trozos[i].data(), LLAMADA_PAR_PRINCIPIO), 0);
    }
    int32_t Terminar(ParFlujo* flujo) { return f().terminar(flujo, &Anotar, &lineas, nullptr); }

    CarpetaTemporal c;
    Carpeta carpeta;
    const std::string trozos[2] = {Datos(30000, 1), Datos(20000, 2)};
    std::vector<std::string> lineas;
};

TEST_F(FlujoPar, EnteroEscribeUnJuegoQuePar2Acepta) {
    ParFlujo* flujo = nullptr;
    ASSERT_EQ(Abrir(0, flujo), 0);
    Principios(flujo);
    // In pieces of any size, across the pieces' border.
    const std::string todo = trozos[0] + trozos[1];
    for (size_t desde = 0; desde < todo.size(); desde += 7777)
        ASSERT_EQ(f().datos(flujo, todo.data() + desde, std::min<size_t>(7777, todo.size() - desde)), 0);
    EXPECT_EQ(Terminar(flujo), 0);
    EXPECT_EQ(Nombres(c.Ruta()), (std::set<std::string>{"a.001", "a.002", "a.par2", "a.vol0+1.par2"}));
    EXPECT_EQ(std::system(("cd '" + c.Ruta() + "' && par2 verify -q a.par2 >/dev/null 2>&1").c_str()), 0);
}

// The set's files by name, with their bytes.
std::map<std::string, std::string> Contenidos(const std::string& carpeta) {
    std::map<std::string, std::string> todo;
    for (const auto& e : fs::directory_iterator(carpeta))
        todo[e.path().filename()] = LeerFichero(e.path());
    return todo;
}

// Both pieces fed together, a part of each per call, in parts of sizes that do not fall on the
// slices' blocks (the bytes short of a block wait for the next part), give the set fed piece
// after piece, byte for byte.
TEST_F(FlujoPar, JuntosElMismoJuegoQueUnoTrasOtro) {
    ASSERT_NE(f().datosDe, nullptr);
    ParFlujo* flujo = nullptr;
    ASSERT_EQ(Abrir(0, flujo), 0);
    Principios(flujo);
    const std::string todo = trozos[0] + trozos[1];
    ASSERT_EQ(f().datos(flujo, todo.data(), todo.size()), 0);
    ASSERT_EQ(Terminar(flujo), 0);
    const auto unoTrasOtro = Contenidos(c.Ruta());
    ASSERT_EQ(unoTrasOtro.size(), 4u);
    fs::remove(c / "a.par2");
    fs::remove(c / "a.vol0+1.par2");

    ASSERT_EQ(Abrir(0, flujo), 0);
    Principios(flujo);
    const size_t partes[] = {1, 31, 33, 4096, 7777, 65, 20000};
    size_t hechos[2] = {0, 0};
    for (size_t k = 0; hechos[0] < trozos[0].size() || hechos[1] < trozos[1].size(); ++k) {
        std::vector<int32_t> cuales;
        std::vector<const void*> datos;
        std::vector<uint64_t> n;
        for (int32_t i : {1, 0}) {
            const size_t largo = std::min(partes[(k + static_cast<size_t>(i)) % std::size(partes)],
                                          trozos[i].size() - hechos[i]);
            if (largo == 0) continue;
            cuales.push_back(i);
            datos.push_back(trozos[i].data() + hechos[i]);
            n.push_back(largo);
            hechos[i] += largo;
        }
        ASSERT_EQ(
            f().datosDe(flujo, static_cast<uint32_t>(cuales.size()), cuales.data(), datos.data(), n.data()),
            0);
    }
    EXPECT_EQ(Terminar(flujo), 0);
    EXPECT_EQ(Contenidos(c.Ruta()), unoTrasOtro);
}

// A call that names a piece twice, or one the vector lacks, breaks the job: its end writes nothing.
TEST_F(FlujoPar, JuntosMalNombradosNoEscribenNada) {
    for (const std::vector<int32_t>& cuales : {std::vector<int32_t>{0, 0}, std::vector<int32_t>{2}}) {
        lineas.clear();
        ParFlujo* flujo = nullptr;
        ASSERT_EQ(Abrir(0, flujo), 0);
        Principios(flujo);
        std::vector<const void*> datos(cuales.size(), trozos[0].data());
        std::vector<uint64_t> n(cuales.size(), 100);
        EXPECT_NE(
            f().datosDe(flujo, static_cast<uint32_t>(cuales.size()), cuales.data(), datos.data(), n.data()),
            0);
        const std::string todo = trozos[0] + trozos[1];
        EXPECT_NE(f().datos(flujo, todo.data(), todo.size()), 0);
        EXPECT_EQ(Terminar(flujo), 1);
        EXPECT_EQ(Nombres(c.Ruta()), (std::set<std::string>{"a.001", "a.002"}));
    }
}

TEST_F(FlujoPar, SinMemoriaParaLaRecuperacionNoEmpieza) {
    ParFlujo* flujo = reinterpret_cast<ParFlujo*>(&lineas);
    EXPECT_EQ(Abrir(30000, flujo), LLAMADA_PAR_FLUJO_NO_CABE);
    EXPECT_EQ(flujo, nullptr);
    ASSERT_EQ(Abrir(30016, flujo), 0);
    f().abandonar(flujo);
    EXPECT_EQ(Nombres(c.Ruta()), (std::set<std::string>{"a.001", "a.002"}));
    EXPECT_TRUE(lineas.empty());
}

// Asked whether to stop, the answer turns yes at the question `parar`; the texts are kept.
struct Preguntas {
    std::vector<std::string> lineas;
    int hechas = 0, parar = 0;
};
int32_t AnotarEn(void* contexto, const char* texto) {
    static_cast<Preguntas*>(contexto)->lineas.emplace_back(texto);
    return 0;
}
int32_t PararEn(void* contexto) {
    auto* p = static_cast<Preguntas*>(contexto);
    return ++p->hechas == p->parar ? 1 : 0;
}

// A job stopped at any of the questions its end asks leaves the folder with the pieces alone;
// one asked fewer questions than that writes the whole set.
TEST_F(FlujoPar, DetenidoAlTerminarNoDejaNadaDelJuego) {
    const std::string todo = trozos[0] + trozos[1];
    for (int parar = 1;; ++parar) {
        ASSERT_LT(parar, 1000);
        ParFlujo* flujo = nullptr;
        ASSERT_EQ(Abrir(0, flujo), 0);
        Principios(flujo);
        ASSERT_EQ(f().datos(flujo, todo.data(), todo.size()), 0);
        Preguntas preguntas;
        preguntas.parar = parar;
        const int32_t r = f().terminar(flujo, &AnotarEn, &preguntas, &PararEn);
        if (preguntas.hechas < parar) {
            EXPECT_EQ(r, 0);
            EXPECT_EQ(Nombres(c.Ruta()),
                      (std::set<std::string>{"a.001", "a.002", "a.par2", "a.vol0+1.par2"}));
            EXPECT_GT(parar, 1);
            break;
        }
        EXPECT_EQ(r, LLAMADA_PAR_INTERRUMPIDA) << parar;
        EXPECT_EQ(Nombres(c.Ruta()), (std::set<std::string>{"a.001", "a.002"})) << parar;
    }
}

// Each way of feeding a job wrongly: the call that sees it refuses, the end fails with one line
// and the folder holds the pieces alone.
TEST_F(FlujoPar, MalAlimentadoNoEscribeNada) {
    const std::string todo = trozos[0] + trozos[1];
    const std::string otro = Datos(30000, 9) + trozos[1];
    struct Caso {
        const char* nombre;
        std::function<bool(ParFlujo*)> alimentar; // true when a call refused, as it must
    };
    const std::vector<Caso> casos{
        {"datos antes de los principios",
         [&](ParFlujo* j) { return f().datos(j, todo.data(), todo.size()) != 0; }},
        {"un principio de otro largo",
         [&](ParFlujo* j) { return f().principio(j, 0, trozos[0].data(), 100) != 0; }},
        {"un principio dado dos veces",
         [&](ParFlujo* j) {
             Principios(j);
             return f().principio(j, 1, trozos[1].data(), LLAMADA_PAR_PRINCIPIO) != 0;
         }},
        {"otros datos que los del principio",
         [&](ParFlujo* j) {
             Principios(j);
             return f().datos(j, otro.data(), otro.size()) != 0;
         }},
        {"bytes de más",
         [&](ParFlujo* j) {
             Principios(j);
             return f().datos(j, (todo + "x").data(), todo.size() + 1) != 0;
         }},
        {"bytes de menos",
         [&](ParFlujo* j) {
             Principios(j);
             return f().datos(j, todo.data(), todo.size() - 1) == 0;
         }},
    };
    for (const Caso& caso : casos) {
        lineas.clear();
        ParFlujo* flujo = nullptr;
        ASSERT_EQ(Abrir(0, flujo), 0) << caso.nombre;
        EXPECT_TRUE(caso.alimentar(flujo)) << caso.nombre;
        EXPECT_EQ(Terminar(flujo), 1) << caso.nombre;
        ASSERT_FALSE(lineas.empty()) << caso.nombre;
        EXPECT_TRUE(lineas.back().starts_with("¡ ")) << caso.nombre << ": " << lineas.back();
        EXPECT_EQ(Nombres(c.Ruta()), (std::set<std::string>{"a.001", "a.002"})) << caso.nombre;
    }
}

} // namespace
} // namespace quimbel
