// SPDX-License-Identifier: GPL-3.0-or-later
#include <dlfcn.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "parity/Par.h"
#include "support/Carpeta.h"
#include "support/Grabadora.h"

namespace quimbel {
namespace {

using prueba::Grabadora;

class ParTest : public ::testing::Test {
  protected:
    void SetUp() override { CargarPar(CARPETA_PAR_PRUEBA); }
    void TearDown() override {
        LiberarArgumentos(LLAMADA_PAR_ENTRADAS, llamada.argumentos);
        LiberarPar();
    }

    // The call with the PAR step's callback, in the current folder.
    int32_t Llamar(ContextoPar& contexto) {
        return LlamarPar(llamada, &ProgresoPar, contexto, LLAMADA_PAR_CARPETA_ACTUAL);
    }

    // Fills the vector with textos and sets the count.
    void Poner(const std::vector<std::string>& textos) {
        for (size_t i = 0; i < textos.size(); ++i)
            ASSERT_EQ(PonerArgumento(static_cast<int32_t>(i), textos[i], llamada.argumentos), 0);
        llamada.cuenta = static_cast<int32_t>(textos.size());
    }

    // What the stand-in library recorded of its last call.
    static std::string Recibido(const char* que = "par_prueba_recibido") {
        void* h = dlopen(CARPETA_PAR_PRUEBA "libpar.so", RTLD_NOW | RTLD_NOLOAD);
        if (h == nullptr) return "(no cargada)";
        const std::string r = BuscarFuncion<const char* (*)()>(h, que)();
        dlclose(h);
        return r;
    }

    LlamadaParContexto llamada{};
};

// The record as the library reads it, and one memo line per report, repeats included.
TEST_F(ParTest, LlamadaCompletaConSusLineas) {
    ASSERT_TRUE(ParCargada());
    Poner({"par.exe", "add", "-n5", "--", "/d/pelicula.par", "pelicula.001", "pelicula.001", "ñ á"});
    Grabadora ventana;
    ContextoPar contexto(ventana);
    EXPECT_EQ(contexto.ultimaLinea, "");
    EXPECT_EQ(Llamar(contexto), 8); // the library's result comes back
    EXPECT_EQ(Recibido(), "8|par.exe|add|-n5|--|/d/pelicula.par|pelicula.001|pelicula.001|ñ á|nulos");
    EXPECT_EQ(Recibido("par_prueba_registro"),
              std::to_string(sizeof(LlamadaParContexto)) + "/" + std::to_string(LLAMADA_PAR_VERSION));
    EXPECT_EQ(ventana.Memo(Memo::Cortar), (std::vector<std::string>{"add", "-n5", "--", "/d/pelicula.par",
                                                                    "pelicula.001", "pelicula.001", "ñ á"}));
    EXPECT_TRUE(ventana.Memo(Memo::Verificar).empty());
    EXPECT_EQ(ventana.respiros, 0); // the window is not let breathe during the call
    EXPECT_EQ(contexto.ultimaLinea, "ñ á");
    EXPECT_EQ(llamada.progreso, &ProgresoPar);
    EXPECT_EQ(llamada.contexto, &contexto);
    EXPECT_EQ(llamada.detener, &DetenerPar);

    // The window is the call's context's only: a text without one goes nowhere.
    EXPECT_EQ(ProgresoPar(nullptr, "después"), 0);
    EXPECT_EQ(ventana.Memo(Memo::Cortar).size(), 7u);
    EXPECT_EQ(ProgresoPar(&contexto, "después"), 0);
    EXPECT_EQ(contexto.ultimaLinea, "después");

    // Every text is released and its entry emptied.
    EXPECT_EQ(LiberarArgumentos(llamada.cuenta, llamada.argumentos), 0);
    for (char* p : llamada.argumentos)
        EXPECT_EQ(p, nullptr);
}

// The library's stop question is the window's.
TEST_F(ParTest, LaPreguntaDePararEsLaDeLaVentana) {
    Grabadora ventana;
    ventana.interrumpirEn = 2;
    ContextoPar contexto(ventana);
    EXPECT_EQ(DetenerPar(&contexto), 0);
    EXPECT_EQ(DetenerPar(&contexto), 1);
    EXPECT_EQ(DetenerPar(nullptr), 0);
    EXPECT_EQ(ventana.preguntasInterrupcion, 2);
}

// Progress texts move the run's progress by the call's share and are no memo lines.
TEST_F(ParTest, ElAvanceMueveSuParteSinLineas) {
    Grabadora ventana;
    Avance avance(ventana, 1000);
    avance.Poner(200);
    ContextoPar contexto(ventana);
    contexto.avance = &avance;
    contexto.parte = 400;
    Poner({"par.exe", LLAMADA_PAR_AVANCE "1/4", LLAMADA_PAR_AVANCE "3/4", "Leído trozo x", "%no/es"});
    Llamar(contexto);
    EXPECT_EQ(avance.Hechos(), 600); // all of its part once the call is over
    EXPECT_EQ(ventana.Memo(Memo::Cortar), (std::vector<std::string>{"Leído trozo x", "%no/es"}));
    for (const auto& [texto, leido] : std::vector<std::pair<std::string, bool>>{{"%3/4", true},
                                                                                {"%0/0", true},
                                                                                {"%3/", false},
                                                                                {"%/4", false},
                                                                                {"%3/4 ", false},
                                                                                {"3/4", false}})
        EXPECT_EQ(LeerAvancePar(texto).has_value(), leido) << texto;
    EXPECT_EQ(LeerAvancePar("%123/4567"), (std::pair<uint64_t, uint64_t>{123, 4567}));
}

TEST_F(ParTest, VectorLlenoSinPasarDeSuUltimaEntrada) {
    std::vector<std::string> textos{"par.exe"};
    for (int i = 1; i < LLAMADA_PAR_ENTRADAS - 1; ++i)
        textos.push_back(std::to_string(i));
    Poner(textos);
    // The last entry is kept for the null.
    EXPECT_EQ(PonerArgumento(LLAMADA_PAR_ENTRADAS - 1, "de más", llamada.argumentos), -1);
    EXPECT_EQ(llamada.argumentos[LLAMADA_PAR_ENTRADAS - 1], nullptr);
    EXPECT_EQ(PonerArgumento(-1, "x", llamada.argumentos), -1);

    Grabadora ventana;
    ContextoPar contexto(ventana);
    EXPECT_EQ(Llamar(contexto), LLAMADA_PAR_ENTRADAS - 1);
    const std::string r = Recibido();
    EXPECT_TRUE(r.starts_with("1000|par.exe|1|2|")) << r.substr(0, 40);
    EXPECT_TRUE(r.ends_with("|998|999|nulos")) << r.substr(r.size() - 40);
    EXPECT_EQ(ventana.Memo(Memo::Cortar).size(), 999u);
    EXPECT_EQ(contexto.ultimaLinea, "999");
}

// A count that leaves no null inside the record, or a stray text after it, is not sent.
TEST_F(ParTest, CuentaFueraDelRegistroNoSeLlama) {
    Poner({"par.exe", "add"});
    Grabadora ventana;
    ContextoPar contexto(ventana);
    for (int32_t cuenta : {-1, LLAMADA_PAR_ENTRADAS}) {
        llamada.cuenta = cuenta;
        EXPECT_EQ(Llamar(contexto), -1);
    }
    llamada.cuenta = 1; // entry 1 still holds "add"
    EXPECT_EQ(Llamar(contexto), -1);
    EXPECT_TRUE(ventana.Memo(Memo::Cortar).empty());
    llamada.cuenta = 2;
}

TEST(ParSinBiblioteca, AusenteOSinCallParNoCuentaComoCargada) {
    prueba::CarpetaTemporal vacia;
    for (const std::string& carpeta : {vacia.Ruta(), std::string(CARPETA_PAR_SIN_EXPORTACION)}) {
        CargarPar(carpeta);
        EXPECT_FALSE(ParCargada()) << carpeta;
        LlamadaParContexto llamada{};
        ASSERT_EQ(PonerArgumento(0, "par.exe", llamada.argumentos), 0);
        llamada.cuenta = 1;
        Grabadora ventana;
        ContextoPar contexto(ventana);
        EXPECT_EQ(LlamarPar(llamada, &ProgresoPar, contexto, LLAMADA_PAR_CARPETA_ACTUAL), -1);
        EXPECT_TRUE(ventana.eventos.empty());
        LiberarArgumentos(1, llamada.argumentos);
        LiberarPar();
    }
    // Released: the library without call_par_contexto is not kept mapped.
    EXPECT_EQ(dlopen(CARPETA_PAR_SIN_EXPORTACION "libpar.so", RTLD_NOW | RTLD_NOLOAD), nullptr);
}

} // namespace
} // namespace quimbel
