// SPDX-License-Identifier: GPL-3.0-or-later
// Whole jobs of the library on a folder: a set's recovery data are found in every ".par2" file
// of the folder that carries the set, whatever its name; and a job stopped at any point where it
// asks whether to stop, or failing on a full disk, leaves every file as it was (an earlier set
// included), while a job that ends leaves complete files only, never a temporary.
#include "Creacion.h"
#include "LlamadaPar.h"
#include "TrabajoReparacion.h"
#include "files/Carpeta.h"
#include "files/Ficheros.h"
#include "support/Carpeta.h"
#include "tests/libs/par/ApoyoPar.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

namespace quimbel::par {
namespace {

using namespace prueba;
namespace fs = std::filesystem;

class FicherosPar : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(AbrirCarpeta(carpeta, c.Ruta()).Bien());
        // Small bounds, so that small files take many stripes and blocks on two threads.
        limites.memoria = 1 << 20;
        limites.franjaMaxima = 4096;
        limites.hilos = 2;
        limites.avance = std::chrono::milliseconds(1);
    }

    // A job on the folder by its descriptor; detener, when given, is its stop question.
    int Crear(const std::vector<std::string>& trozos, const std::function<bool()>& detener = {}) {
        std::vector<std::string> v{"par.exe", "add", "-n2", "-m", "--", "/mostrada/t.par"};
        v.insert(v.end(), trozos.begin(), trozos.end());
        return Ejecutar(detener, [&](Avisos& a) { return EjecutarPar(v, Trabajo(), a, limites); });
    }
    int Reparar(const std::string& indice, const std::function<bool()>& detener = {}) {
        const std::vector<std::string> v{"par.exe", "repair", "--", indice};
        return Ejecutar(detener, [&](Avisos& a) { return EjecutarReparacion(v, Trabajo(), a, limites); });
    }

    CarpetaDelTrabajo Trabajo() const { return CarpetaDelTrabajo(carpeta.Descriptor()); }

    // The job's lines (no progress) go to lineas.
    int Ejecutar(const std::function<bool()>& detener, const std::function<int(Avisos&)>& trabajo) {
        lineas.clear();
        Avisos avisos(
            [this](const char* texto) {
                if (texto[0] != '%') lineas.emplace_back(texto);
            },
            detener);
        return trabajo(avisos);
    }

    // A stop question that answers yes from its n-th time on, counting them. Each time it is
    // asked, the folder's files but the temporaries are as they were before the job.
    std::function<bool()> PararEn(int n, int& preguntas, const std::map<std::string, std::string>& antes) {
        preguntas = 0;
        return [this, n, &preguntas, &antes] {
            EXPECT_EQ(SinTemporales(), antes) << "en la pregunta " << preguntas + 1;
            return ++preguntas >= n;
        };
    }

    // The folder's files but the temporaries, each with its size and a hash of its bytes.
    std::map<std::string, std::string> SinTemporales() const {
        auto todo = Foto();
        std::erase_if(todo, [](const auto& e) { return e.first.starts_with(".quimbel-tmp-"); });
        return todo;
    }

    // Every file of the folder, each with its size and a hash of its bytes.
    std::map<std::string, std::string> Foto() const {
        std::map<std::string, std::string> foto;
        for (const auto& [nombre, datos] : Contenido(c.Ruta()))
            foto[nombre] =
                std::to_string(datos.size()) + " " + std::to_string(std::hash<std::string>{}(datos));
        return foto;
    }

    bool HayLinea(const std::string& linea) const {
        return std::find(lineas.begin(), lineas.end(), linea) != lineas.end();
    }

    CarpetaTemporal c;
    Carpeta carpeta;
    Limites limites;
    std::vector<std::string> lineas;
};

// par2's set of two files, its files or its volumes put under other names, beside another
// set's files: the repair takes every recovery slice of its own set, and no other.
TEST_F(FicherosPar, LaRecuperacionEnCualquierFicheroPar2) {
    const std::vector<std::pair<std::string, std::function<void()>>> casos{
        {"todo el juego en .PAR2",
         [&] {
             for (const auto& [nombre, datos] : Contenido(c.Ruta()))
                 if (nombre.starts_with("j."))
                     fs::rename(c / nombre, c / (nombre.substr(0, nombre.size() - 5) + ".PAR2"));
         }},
        {"todos en j.todo.par2",
         [&] {
             std::string todo;
             for (const auto& [nombre, datos] : Contenido(c.Ruta()))
                 if (nombre.starts_with("j.vol")) {
                     todo += datos;
                     fs::remove(c / nombre);
                 }
             EscribirFichero(c / "j.todo.par2", todo);
         }},
        {"otro nombre en cada volumen",
         [&] {
             int k = 0;
             for (const auto& [nombre, datos] : Contenido(c.Ruta()))
                 if (nombre.starts_with("j.vol"))
                     fs::rename(c / nombre, c / ("recuperacion" + std::to_string(++k) + ".Par2"));
         }},
    };
    for (const auto& [caso, renombrar] : casos) {
        for (const auto& e : fs::directory_iterator(c.Ruta()))
            fs::remove_all(e.path());
        EscribirFichero(c / "a.bin", Datos(20000, 1));
        EscribirFichero(c / "b.bin", Datos(9000, 2));
        EscribirFichero(c / "otro.bin", Datos(8000, 3));
        {
            EnCarpeta dentro(c.Ruta());
            ASSERT_EQ(Par2("create -q -s2000 -c16 -n3 j.par2 a.bin b.bin"), 0);
            ASSERT_EQ(Par2("create -q -s2000 -c4 -n1 otro.par2 otro.bin"), 0);
        }
        renombrar();
        fs::remove(c / "a.bin");
        std::string danado = Datos(9000, 2);
        danado[4321] ^= 1;
        EscribirFichero(c / "b.bin", danado);
        EXPECT_EQ(Reparar(c / (Existe(c / "j.par2") ? "j.par2" : "j.PAR2")), 0) << caso;
        EXPECT_TRUE(HayLinea("Bloques de recuperación: 16 disponibles, 11 necesarios")) << caso;
        EXPECT_EQ(LeerFichero(c / "a.bin"), Datos(20000, 1)) << caso;
        EXPECT_EQ(LeerFichero(c / "b.bin"), Datos(9000, 2)) << caso;
    }
}

// Stopped at its first, second, third ... question until it ends: an earlier set, its ".old"
// and the pieces are as they were each time; the job that ends makes the set par2 repairs.
TEST_F(FicherosPar, CrearParadoEnCadaPregunta) {
    const auto trozos = EscribirTrozos(c.Ruta(), "t", {9000, 9000, 9000, 4001});
    ASSERT_EQ(Crear(trozos), 0);
    EscribirFichero(c / "t.par2.old", "más viejo");
    const std::string indiceAnterior = LeerFichero(c / "t.par2");
    EscribirTrozos(c.Ruta(), "t", {9000, 9000, 9000, 4002});
    const auto antes = Foto();
    int preguntas = 0, n = 1;
    for (; n < 500; ++n) {
        const int r = Crear(trozos, PararEn(n, preguntas, antes));
        if (r != LLAMADA_PAR_INTERRUMPIDA) {
            EXPECT_EQ(r, 0) << (lineas.empty() ? "" : lineas.back());
            break;
        }
        EXPECT_TRUE(lineas.empty() || !lineas.back().starts_with("¡ ")) << lineas.back();
        ASSERT_EQ(Foto(), antes) << "parado en la pregunta " << n;
    }
    EXPECT_GT(n, 3);
    EXPECT_LT(preguntas, n) << "the job that ended was never told to stop";
    EXPECT_EQ(LeerFichero(c / "t.par2.old"), indiceAnterior);
    EXPECT_TRUE(HayLinea("Creado fichero /mostrada/t.par2"));
    const auto despues = Foto();
    EXPECT_TRUE(
        std::none_of(despues.begin(), despues.end(), [](const auto& e) { return e.first.starts_with("."); }));
    {
        EnCarpeta dentro(c.Ruta());
        EXPECT_EQ(Par2("verify -q t.par2"), 0);
    }
    EXPECT_EQ(Crear(trozos), 0) << "a second run";
}

// Stopped at each question until it ends: the damaged and missing files stay as they were, no
// temporary is left, nothing is kept aside; the repair that ends rebuilds both.
TEST_F(FicherosPar, RepararParadoEnCadaPregunta) {
    for (const auto& [nombre, n] :
         std::vector<std::pair<std::string, size_t>>{{"a.bin", 30000}, {"b.bin", 20001}, {"c.bin", 5}})
        EscribirFichero(c / nombre, Datos(n, static_cast<unsigned>(n)));
    {
        EnCarpeta dentro(c.Ruta());
        ASSERT_EQ(Par2("create -q -s2000 -c20 x.par2 a.bin b.bin c.bin"), 0);
    }
    fs::remove(c / "a.bin");
    std::string danado = Datos(20001, 20001);
    danado[7000] ^= 1;
    EscribirFichero(c / "b.bin", danado);
    const auto antes = Foto();
    int preguntas = 0, n = 1;
    for (; n < 500; ++n) {
        const int r = Reparar(c / "x.par2", PararEn(n, preguntas, antes));
        if (r != LLAMADA_PAR_INTERRUMPIDA) {
            EXPECT_EQ(r, 0) << (lineas.empty() ? "" : lineas.back());
            break;
        }
        for (const std::string& l : lineas)
            EXPECT_FALSE(l.starts_with("¡ ")) << l;
        ASSERT_EQ(Foto(), antes) << "parado en la pregunta " << n;
    }
    EXPECT_GT(n, 3);
    EXPECT_EQ(LeerFichero(c / "a.bin"), Datos(30000, 30000));
    EXPECT_EQ(LeerFichero(c / "b.bin"), Datos(20001, 20001));
    EXPECT_EQ(LeerFichero(c / "b.bin.1"), danado);
    EXPECT_EQ(Reparar(c / "x.par2"), 0) << "a second run";
    const auto despues = Foto();
    EXPECT_TRUE(
        std::none_of(despues.begin(), despues.end(), [](const auto& e) { return e.first.starts_with("."); }));
}

// Temporaries that runs left behind (no lock on them) go when a job writes in the folder; a file
// named like one that the job reads (a piece, a file the set lists) never does.
TEST_F(FicherosPar, LosTemporalesAbandonadosSeVanLosDelJuegoNo) {
    const std::string listado = ".quimbel-tmp-00112233aabbccdd";
    EscribirFichero(c / listado, Datos(5000, 1));
    EscribirFichero(c / "b.bin", Datos(7000, 2));
    {
        EnCarpeta dentro(c.Ruta());
        ASSERT_EQ(Par2("create -q -s1000 -c8 x.par2 " + listado + " b.bin"), 0);
    }
    EscribirFichero(c / "b.bin", Datos(7000, 3));
    EscribirFichero(c / ".quimbel-tmp-ffeeddccbbaa9988", "de una corrida muerta");
    EXPECT_EQ(Reparar(c / "x.par2"), 0);
    EXPECT_TRUE(HayLinea("  Correcto: " + c / listado));
    EXPECT_EQ(LeerFichero(c / listado), Datos(5000, 1));
    EXPECT_FALSE(Existe(c / ".quimbel-tmp-ffeeddccbbaa9988"));

    EscribirFichero(c / ".quimbel-tmp-0011223344556677", "de otra corrida muerta");
    EXPECT_EQ(Crear({listado, "b.bin"}), 0);
    EXPECT_EQ(LeerFichero(c / listado), Datos(5000, 1));
    EXPECT_FALSE(Existe(c / ".quimbel-tmp-0011223344556677"));
}

// A disk that fills at any point of a job: it fails with one line and leaves every file as it
// was, the earlier set and the damaged file included.
TEST_F(FicherosPar, UnDiscoLlenoNoTocaNada) {
    const auto trozos = EscribirTrozos(c.Ruta(), "t", {9000, 9000, 9000, 4001});
    ASSERT_EQ(Crear(trozos), 0);
    EscribirTrozos(c.Ruta(), "t", {9000, 9000, 9000, 4002});
    const auto antes = Foto();
    for (const int64_t bytes : {0, 100, 9000, 18200, 20000}) {
        SimularDiscoLleno(bytes);
        EXPECT_EQ(Crear(trozos), 1) << bytes;
        SimularDiscoLleno(-1);
        EXPECT_TRUE(!lineas.empty() && lineas.back().starts_with("¡ Error al escribir fichero ")) << bytes;
        EXPECT_EQ(Foto(), antes) << bytes;
    }
    fs::remove(c / "t.002");
    const auto sinTrozo = Foto();
    for (const int64_t bytes : {0, 5000}) {
        SimularDiscoLleno(bytes);
        EXPECT_EQ(Reparar(c / "t.par2"), 1) << bytes;
        SimularDiscoLleno(-1);
        EXPECT_EQ(Foto(), sinTrozo) << bytes;
    }
}

} // namespace
} // namespace quimbel::par
