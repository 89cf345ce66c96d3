// SPDX-License-Identifier: GPL-3.0-or-later
// The split's PAR set computed from the pieces' bytes as they are written, with the real parity
// library: for each case the same split is run twice in the same folder, once in one pass and
// once with the PAR step reading the pieces (forced by a bound on the recovery data of 1 byte,
// or by a library that lacks the streamed entry). The SFV file, the index, every volume and the
// pieces are the same bytes, the memo lines and boxes the same; par2 accepts the one-pass set;
// and the one pass reads the source once, the pieces never.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "files/Simulacion.h"
#include "parity/Bibliotecas.h"
#include "parity/Par.h"
#include "split/Corte.h"
#include "support/Carpeta.h"
#include "support/Grabadora.h"

namespace quimbel {
namespace {

using namespace prueba;
namespace fs = std::filesystem;

// The bytes this process has read so far (rchar of /proc/self/io).
uint64_t BytesLeidos() {
    std::ifstream io("/proc/self/io");
    std::string nombre;
    uint64_t valor = 0;
    while (io >> nombre >> valor)
        if (nombre == "rchar:") return valor;
    return 0;
}

// The lines of an SFV file that are no comment: its comments carry the minute they were written.
std::string SinComentarios(const std::string& sfv) {
    std::istringstream lineas(sfv);
    std::string linea, todas;
    while (std::getline(lineas, linea))
        if (!linea.starts_with(";")) todas += linea + "\n";
    return todas;
}

// Every file of a folder by name, with its size and a hash of its bytes (those of an SFV file's
// lines that are no comment).
std::map<std::string, std::string> Huellas(const std::string& carpeta) {
    std::map<std::string, std::string> todo;
    for (const auto& e : fs::directory_iterator(carpeta)) {
        std::string datos = LeerFichero(e.path());
        if (e.path().extension() == ".sfv") datos = SinComentarios(datos);
        todo[e.path().filename()] =
            std::to_string(datos.size()) + " " + std::to_string(std::hash<std::string>{}(datos));
    }
    return todo;
}

// The memo without what depends on timing: the percentage lines, and the order of the lines
// naming each piece read, which the library's threads send as each ends.
std::vector<std::string> LineasFijas(const std::vector<std::string>& memo) {
    std::vector<std::string> fijas;
    for (const std::string& l : memo)
        if (!l.starts_with(LLAMADA_PAR_PROGRESO)) fijas.push_back(l);
    const auto leido = [](const std::string& l) { return l.starts_with("Leído trozo "); };
    const auto desde = std::find_if(fijas.begin(), fijas.end(), leido);
    std::sort(desde, std::find_if_not(desde, fijas.end(), leido));
    return fijas;
}

struct Corrida {
    std::map<std::string, std::string> ficheros;
    std::vector<std::string> memo, informaciones, errores;
    bool completo = false;
    uint64_t leidos = 0;
};

Corrida Cortar(const EntradaCorte& e) {
    Grabadora v;
    v.respuestasReemplazar = {true};
    const uint64_t antes = BytesLeidos();
    const ResultadoCorte r = Cortar(v, e);
    Corrida corrida;
    corrida.leidos = BytesLeidos() - antes;
    corrida.completo = r.completo;
    corrida.ficheros = Huellas(e.destino);
    corrida.memo = LineasFijas(v.Memo(Memo::Cortar));
    corrida.informaciones = v.informaciones;
    corrida.errores = v.errores;
    return corrida;
}

struct CasoUnPaso {
    const char* nombre;
    TipoCorte tipo;
    int64_t tamFuente;
    int64_t tamTrozo;
    const char* pares;
    std::vector<bool> marcas; // the pieces chosen on "Extraer"; empty: all of them
    // The one pass by a library lacking the entry for several pieces at once (one piece after
    // another); the separate path then by a library lacking the streamed creation altogether.
    enum { Entera, SinVarios, SinEntrada } biblioteca;
};

class UnPaso : public ::testing::TestWithParam<CasoUnPaso> {
  protected:
    void SetUp() override {
        LasBibliotecas().CargarCrc(CARPETA_PAR);
        CargarPar(CARPETA_PAR);
        ASSERT_TRUE(ParCargada());
        ASSERT_TRUE(LasBibliotecas().FlujoPar().Completas());
    }
    void TearDown() override {
        LiberarPar();
        LasBibliotecas().LiberarCrc();
    }
    CarpetaTemporal c;
};

TEST_P(UnPaso, LosMismosFicherosQueElPasoAparte) {
    const CasoUnPaso& caso = GetParam();
    fs::create_directory(c / "d");
    EntradaCorte e;
    e.fuente = c / "v.avi";
    e.destino = c / "d/";
    e.tamano = std::to_string(caso.tamTrozo);
    e.tipo = caso.tipo;
    e.sfv = true;
    e.par = true;
    e.numeroPar = caso.pares;
    EscribirFichero(e.fuente, Datos(static_cast<size_t>(caso.tamFuente), 7));
    int64_t escritos = 0;
    for (int64_t k = 1; (k - 1) * caso.tamTrozo < caso.tamFuente; ++k)
        if (caso.marcas.empty() || caso.marcas[static_cast<size_t>(k - 1)])
            escritos += std::min(caso.tamTrozo, caso.tamFuente - (k - 1) * caso.tamTrozo);
    if (!caso.marcas.empty())
        e.plan = PlanEnVigor{{e.fuente, caso.tamTrozo, caso.tipo, caso.tamFuente}, caso.marcas};

    if (caso.biblioteca == CasoUnPaso::SinVarios) LasBibliotecas().OlvidarFlujoVarios();
    const Corrida unPaso = Cortar(e);
    ASSERT_TRUE(unPaso.completo) << (unPaso.errores.empty() ? "" : unPaso.errores.front());
    ASSERT_EQ(unPaso.ficheros.count("v.par2"), 1u);
    ASSERT_EQ(unPaso.ficheros.count("v.sfv"), 1u);
    EXPECT_EQ(std::system(("cd '" + e.destino + "' && par2 verify -q v.par2 >/dev/null 2>&1").c_str()), 0);
    for (const auto& [nombre, huella] : unPaso.ficheros)
        fs::remove(e.destino + nombre);

    if (caso.biblioteca == CasoUnPaso::SinEntrada)
        LasBibliotecas().OlvidarFlujoPar();
    else
        e.memoriaUnPaso = 1;
    const Corrida aparte = Cortar(e);
    ASSERT_TRUE(aparte.completo);
    EXPECT_EQ(unPaso.ficheros, aparte.ficheros);
    EXPECT_EQ(unPaso.memo, aparte.memo);
    EXPECT_EQ(unPaso.informaciones, aparte.informaciones);
    EXPECT_TRUE(unPaso.errores.empty());
    EXPECT_TRUE(aparte.errores.empty());
    // The separate step reads every written piece again; the one pass does not (beside a few
    // small reads of the process's own, such as the machine's memory).
    EXPECT_GE(aparte.leidos + (32 << 10), unPaso.leidos + static_cast<uint64_t>(escritos));
    // Past the first 16 KiB of each piece, read ahead, the one pass reads the source once.
    if (caso.tamTrozo > (int64_t{1} << 20)) {
        EXPECT_LE(unPaso.leidos, static_cast<uint64_t>(caso.tamFuente) * 102 / 100);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Casos, UnPaso,
    ::testing::Values(
        CasoUnPaso{"normal", TipoCorte::Normal, 250000, 70000, "2", {}, CasoUnPaso::Entera},
        CasoUnPaso{"cortaarchivos", TipoCorte::CortaArchivos, 250000, 70000, "2", {}, CasoUnPaso::Entera},
        CasoUnPaso{"hacha", TipoCorte::Hacha, 250000, 70000, "1", {}, CasoUnPaso::Entera},
        CasoUnPaso{"extraer",
                   TipoCorte::Normal,
                   400000,
                   90000,
                   "2",
                   {true, false, true, false, true},
                   CasoUnPaso::Entera},
        CasoUnPaso{"pares_de_mas", TipoCorte::Hacha, 90000, 40000, "7", {}, CasoUnPaso::Entera},
        // More pieces than are written at once, each of several parts, with and without a header.
        CasoUnPaso{"varios_grupos", TipoCorte::Normal, 2600000, 200000, "3", {}, CasoUnPaso::Entera},
        CasoUnPaso{"hacha_en_varias_partes", TipoCorte::Hacha, 5000000, 1500007, "2", {}, CasoUnPaso::Entera},
        CasoUnPaso{"cortaarchivos_en_varias_partes",
                   TipoCorte::CortaArchivos,
                   5000000,
                   2100000,
                   "2",
                   {},
                   CasoUnPaso::Entera},
        CasoUnPaso{"trozos_de_mas_de_16_MiB",
                   TipoCorte::Normal,
                   (int64_t{16} << 20) + 9000,
                   (int64_t{16} << 20) + 1000,
                   "1",
                   {},
                   CasoUnPaso::Entera},
        // More recovery slices than the hashing lanes of each thread that writes them, each
        // written in several parts, the last of them not a whole block.
        CasoUnPaso{"muchas_de_recuperacion", TipoCorte::Normal, 600000, 150004, "40", {}, CasoUnPaso::Entera},
        CasoUnPaso{"uno_tras_otro", TipoCorte::Hacha, 6000000, 2100000, "2", {}, CasoUnPaso::SinVarios},
        CasoUnPaso{
            "sin_la_entrada", TipoCorte::CortaArchivos, 300000, 80000, "2", {}, CasoUnPaso::SinEntrada}),
    [](const ::testing::TestParamInfo<CasoUnPaso>& i) { return std::string(i.param.nombre); });

// A disk that fills while several pieces are written at once: the run stops at the piece whose
// write failed, with its message; the pieces of the rounds before keep their names and bytes,
// and nothing else is left: no piece of the failed round, no temporary, no SFV file, no PAR set.
TEST(UnPasoLleno, LosTrozosDeAntesQuedanEnterosYNadaMas) {
    LasBibliotecas().CargarCrc(CARPETA_PAR);
    CargarPar(CARPETA_PAR);
    ASSERT_TRUE(LasBibliotecas().FlujoPar().Completas());
    CarpetaTemporal c;
    fs::create_directory(c / "d");
    const std::string datos = Datos(2600000, 3);
    EscribirFichero(c / "v.avi", datos);
    EntradaCorte e;
    e.fuente = c / "v.avi";
    e.destino = c / "d/";
    e.tamano = "200000";
    e.sfv = true;
    e.par = true;
    e.numeroPar = "2";
    Grabadora v;
    // Eight pieces go at once: the disk fills half way through the ninth.
    SimularDiscoLleno(8 * 200000 + 100000);
    const ResultadoCorte r = Cortar(v, e);
    SimularDiscoLleno(-1);
    LiberarPar();
    LasBibliotecas().LiberarCrc();
    EXPECT_FALSE(r.finalizado);
    EXPECT_EQ(v.errores,
              std::vector<std::string>{"¡ Error al escribir en fichero " + (c / "d/v.009") + " !"});
    EXPECT_TRUE(v.informaciones.empty());
    std::vector<std::string> antes;
    for (int k = 1; k <= 8; ++k) {
        antes.push_back("v.00" + std::to_string(k));
        EXPECT_EQ(LeerFichero(c / ("d/" + antes.back())),
                  datos.substr(static_cast<size_t>(k - 1) * 200000, 200000));
    }
    EXPECT_EQ(Nombres(c / "d"), antes);
}

} // namespace
} // namespace quimbel
