// SPDX-License-Identifier: GPL-3.0-or-later
// libpar.so loaded as the program loads it, called with the program's vector, and its
// sets checked with Debian's par2.
#include "libs/par/include/LlamadaPar.h"
#include "support/Carpeta.h"
#include "tests/libs/par/ApoyoPar.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <thread>

namespace quimbel::prueba {
namespace {

std::vector<std::string> lineas;
bool otroHilo = false;
std::thread::id hiloLlamada;

int32_t Recoger(const char* texto) {
    lineas.emplace_back(texto);
    if (std::this_thread::get_id() != hiloLlamada) otroHilo = true;
    return 0;
}

CallParFuncion CallPar() {
    static void* biblioteca = dlopen(QUIMBEL_LIBPAR, RTLD_NOW | RTLD_LOCAL);
    if (biblioteca == nullptr) throw std::runtime_error(dlerror());
    return reinterpret_cast<CallParFuncion>(dlsym(biblioteca, "call_par"));
}

// Calls call_par with the given vector (program name included), in the current folder.
int32_t Llamar(const std::vector<std::string>& vector) {
    std::vector<std::string> textos = vector;
    LlamadaPar llamada{};
    llamada.progreso = Recoger;
    llamada.cuenta = static_cast<int32_t>(textos.size());
    for (size_t i = 0; i < textos.size(); ++i)
        llamada.argumentos[i] = textos[i].data();
    lineas.clear();
    otroHilo = false;
    hiloLlamada = std::this_thread::get_id();
    return CallPar()(&llamada);
}

// The vector of the split's PAR step.
std::vector<std::string> VectorPaso(const std::string& pares, const std::string& rutaPar,
                                    const std::vector<std::string>& trozos) {
    std::vector<std::string> v{"par.exe", "add", "-n" + pares, "-m", "+C", "--", rutaPar};
    v.insert(v.end(), trozos.begin(), trozos.end());
    return v;
}

size_t Contar(const std::string& prefijo) {
    return static_cast<size_t>(std::count_if(lineas.begin(), lineas.end(),
                                             [&](const std::string& l) { return l.starts_with(prefijo); }));
}

class LibreriaPar : public ::testing::Test {
  protected:
    CarpetaTemporal carpeta;
    EnCarpeta dentro{carpeta.Ruta()};
};

struct CasoConjunto {
    const char* nombre;
    std::vector<size_t> tamanos;
    unsigned pares;
};

// Tests are listed by the case's name.
void PrintTo(const CasoConjunto& caso, std::ostream* os) {
    *os << caso.nombre;
}

class ConjuntoPar : public LibreriaPar, public ::testing::WithParamInterface<CasoConjunto> {};

// Verify, rebuild `pares` lost or damaged pieces, and fail with one more lost.
TEST_P(ConjuntoPar, Par2VerificaReparaYDetectaLoQueNoSePuedeReparar) {
    const CasoConjunto& caso = GetParam();
    const auto trozos = EscribirTrozos(carpeta.Ruta(), "datos", caso.tamanos);
    ASSERT_EQ(Llamar(VectorPaso(std::to_string(caso.pares), carpeta / "datos.par", trozos)), 0);
    EXPECT_FALSE(otroHilo);
    EXPECT_EQ(Contar("Leído trozo "), trozos.size());
    EXPECT_EQ(Contar("Creado fichero "), caso.pares + 1);
    ASSERT_EQ(Par2("verify -q datos.par2"), 0);

    const auto original = Contenido(carpeta.Ruta());
    // As many pieces as the count, from the last one back: lost and damaged by turns.
    for (unsigned i = 0; i < caso.pares; ++i) {
        const std::string& t = trozos[trozos.size() - 1 - i];
        if (i % 2 == 0) {
            std::filesystem::remove(t);
        } else {
            std::string dañado = original.at(t);
            dañado[dañado.size() / 2] ^= 0x5A;
            EscribirFichero(t, dañado);
        }
    }
    ASSERT_EQ(Par2("repair -q datos.par2"), 0);
    for (const std::string& t : trozos)
        EXPECT_EQ(LeerFichero(t), original.at(t)) << t;

    if (caso.pares < trozos.size()) {
        for (unsigned i = 0; i <= caso.pares; ++i)
            std::filesystem::remove(trozos[i]);
        EXPECT_EQ(Par2("verify -q datos.par2"), 2);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tamanos, ConjuntoPar,
    ::testing::Values(CasoConjunto{"UnByte", {1}, 1}, CasoConjunto{"UnTrozo", {5001}, 1},
                      CasoConjunto{"UltimoBajo16KiB", {20000, 20000, 20000, 16383}, 2},
                      CasoConjunto{"Restos1y2UltimoSobre16KiB", {20001, 20001, 20001, 18002}, 1},
                      CasoConjunto{"Resto3TodosReparables", {16387, 16387, 16387, 16387, 3}, 5},
                      CasoConjunto{
                          "UltimoDeUnByte", {40003, 40003, 40003, 40003, 40003, 40003, 40003, 1}, 3}),
    [](const ::testing::TestParamInfo<CasoConjunto>& caso) { return std::string(caso.param.nombre); });

TEST_F(LibreriaPar, NovecientosNoventaYTresTrozos) {
    std::vector<size_t> tamanos(993);
    for (size_t i = 0; i < tamanos.size(); ++i)
        tamanos[i] = 64 + i % 4;
    const auto trozos = EscribirTrozos(carpeta.Ruta(), "mil", tamanos);
    const auto vector = VectorPaso("3", carpeta / "mil.par", trozos);
    ASSERT_EQ(vector.size(), 1000u);
    ASSERT_EQ(Llamar(vector), 0);
    EXPECT_EQ(Contar("Leído trozo "), 993u);
    ASSERT_EQ(Par2("verify -q mil.par2"), 0);
    const auto original = Contenido(carpeta.Ruta());
    for (const char* t : {"mil.001", "mil.500", "mil.993"})
        std::filesystem::remove(t);
    ASSERT_EQ(Par2("repair -q mil.par2"), 0);
    for (const char* t : {"mil.001", "mil.500", "mil.993"})
        EXPECT_EQ(LeerFichero(t), original.at(t));
}

TEST_F(LibreriaPar, SinParesSoloElIndiceQueDetectaUnTrozoPerdido) {
    const auto trozos = EscribirTrozos(carpeta.Ruta(), "solo", {30000, 30000, 12345});
    ASSERT_EQ(Llamar(VectorPaso("0", carpeta / "solo.par", trozos)), 0);
    EXPECT_EQ(Contar("Creado fichero "), 1u);
    EXPECT_TRUE(Existe(carpeta / "solo.par2"));
    for (const auto& [nombre, contenido] : Contenido(carpeta.Ruta()))
        EXPECT_EQ(nombre.find(".vol"), std::string::npos);
    EXPECT_EQ(Par2("verify -q solo.par2"), 0);
    std::filesystem::remove("solo.002");
    EXPECT_NE(Par2("verify -q solo.par2"), 0);
}

// Same slice size and count as par2 create -u: the same packets, the same file names.
TEST_F(LibreriaPar, MismosPaquetesQuePar2) {
    const auto trozos =
        EscribirTrozos(carpeta.Ruta(), "ref",
                       {70001, 70001, 70001, 70001, 70001, 70001, 70001, 70001, 70001, 70001, 70001, 2302});
    ASSERT_EQ(Llamar(VectorPaso("10", carpeta / "nuestro.par", trozos)), 0);
    std::string lista;
    for (const std::string& t : trozos)
        lista += " " + t;
    ASSERT_EQ(Par2("create -s70004 -c10 -n10 -u suyo.par2" + lista), 0);

    const auto nuestros = PaquetesDeConjunto(carpeta.Ruta(), "nuestro");
    EXPECT_EQ(nuestros.size(), 1u + 12 + 12 + 10);
    EXPECT_EQ(nuestros, PaquetesDeConjunto(carpeta.Ruta(), "suyo"));

    std::vector<std::string> nombresNuestros, nombresSuyos;
    for (const auto& [nombre, contenido] : Contenido(carpeta.Ruta())) {
        if (nombre.starts_with("nuestro.")) nombresNuestros.push_back(nombre.substr(7));
        if (nombre.starts_with("suyo.")) nombresSuyos.push_back(nombre.substr(4));
    }
    EXPECT_EQ(nombresNuestros, nombresSuyos);
}

// Every volume carries the whole description of the set: any one of them verifies.
TEST_F(LibreriaPar, CadaVolumenBastaSinElIndice) {
    const auto trozos = EscribirTrozos(carpeta.Ruta(), "vol", {9000, 9000, 4001});
    ASSERT_EQ(Llamar(VectorPaso("2", carpeta / "vol.par", trozos)), 0);
    std::filesystem::remove("vol.par2");
    std::filesystem::remove("vol.vol0+1.par2");
    std::filesystem::remove("vol.003");
    EXPECT_EQ(Par2("repair -q vol.vol1+1.par2"), 0);
    EXPECT_TRUE(Existe("vol.003"));
}

TEST_F(LibreriaPar, NumeroMayorQueLosTrozosSeRebajaYLoDice) {
    const auto trozos = EscribirTrozos(carpeta.Ruta(), "pocos", {1000, 1000, 999});
    ASSERT_EQ(Llamar(VectorPaso("4294967295", carpeta / "pocos.PAR", trozos)), 0);
    EXPECT_EQ(Contar("Número de pares rebajado a 3"), 1u);
    EXPECT_TRUE(Existe("pocos.par2"));
    EXPECT_TRUE(Existe("pocos.vol0+1.par2"));
    EXPECT_TRUE(Existe("pocos.vol2+1.par2"));
    EXPECT_FALSE(Existe("pocos.vol3+1.par2"));
    for (const std::string& t : trozos)
        std::filesystem::remove(t);
    EXPECT_EQ(Par2("repair -q pocos.par2"), 0);
}

TEST_F(LibreriaPar, LosFicherosDeUnaVezAnteriorPasanAOld) {
    const auto trozos = EscribirTrozos(carpeta.Ruta(), "otra", {5000, 5000, 5000, 5000});
    ASSERT_EQ(Llamar(VectorPaso("3", carpeta / "otra.par", trozos)), 0);
    const auto primera = Contenido(carpeta.Ruta());
    EscribirFichero("otra.par2.old", "más antiguo");
    EscribirFichero("otra.vol7+1.par2", "de otro conjunto");
    EscribirFichero(trozos[1], Datos(5000, 99)); // the pieces changed since

    ASSERT_EQ(Llamar(VectorPaso("1", carpeta / "otra.par", trozos)), 0);
    const auto ahora = Contenido(carpeta.Ruta());
    EXPECT_EQ(ahora.at("otra.par2.old"), primera.at("otra.par2"));
    for (const char* v : {"otra.vol0+1.par2", "otra.vol1+1.par2", "otra.vol2+1.par2"})
        EXPECT_EQ(ahora.at(std::string(v) + ".old"), primera.at(v)) << v;
    EXPECT_EQ(ahora.at("otra.vol7+1.par2.old"), "de otro conjunto");
    EXPECT_FALSE(Existe("otra.vol1+1.par2"));
    EXPECT_FALSE(Existe("otra.vol7+1.par2"));
    EXPECT_EQ(Par2("verify -q otra.par2"), 0);
    std::filesystem::remove(trozos[1]);
    EXPECT_EQ(Par2("repair -q otra.par2"), 0);
}

TEST_F(LibreriaPar, UnaNegativaEsUnaLineaYNadaEscrito) {
    const auto trozos = EscribirTrozos(carpeta.Ruta(), "neg", {3000, 3000});
    EscribirFichero("neg.vol0+1.par2", "no es un trozo");
    const std::string par = carpeta / "neg.par";
    const std::vector<std::vector<std::string>> vectores{
        {"par.exe", "create", "-n1", "--", par, "neg.001"},
        {"par.exe", "add", "-n1", "-x", "--", par, "neg.001"},
        {"par.exe", "add", "-n", "--", par, "neg.001"},
        {"par.exe", "add", "-n1", "-m", "--", par},
        {"par.exe", "add", "-n1", "-m", "--", par, "neg.001", "no.existe"},
        {"par.exe", "add", "-n1", "-m", "+C", "--", par, "neg.001", "NEG.001"},
        {"par.exe", "add", "-n1", "-m", "--", par, "neg.001", "neg.001"},
        {"par.exe", "add", "-n1", "-m", "--", par, "neg.001", "../neg.002"},
        {"par.exe", "add", "-n1", "--", par, "neg.001", "neg.002"}, // an output exists, no -m
        {"par.exe", "add", "-n1", "-m", "--", par, "neg.001", "neg.002", "neg.vol0+1.par2"},
    };
    EscribirFichero("NEG.001", "otro");
    EscribirFichero("neg\t.002", "con un tabulador");
    const auto antes = Contenido(carpeta.Ruta());
    for (const auto& v : vectores) {
        std::string texto;
        for (const auto& a : v)
            texto += a + " ";
        EXPECT_NE(Llamar(v), 0) << texto;
        ASSERT_EQ(lineas.size(), 1u) << texto;
        EXPECT_TRUE(lineas[0].starts_with("¡ ") && lineas[0].ends_with(" !")) << lineas[0];
        EXPECT_EQ(Contenido(carpeta.Ruta()), antes) << texto;
    }
    // A name that a set's own check would refuse is never written into one.
    EXPECT_NE(Llamar({"par.exe", "add", "-n1", "--", par, "neg.001", "neg\t.002"}), 0);
    EXPECT_EQ(lineas, std::vector<std::string>{"¡ Error, nombre no válido para PAR: neg\t.002 !"});
    EXPECT_EQ(Contenido(carpeta.Ruta()), antes);
}

// The index can be made but a volume name is too long for the file system: the job
// fails after creating files, and takes them away again.
TEST_F(LibreriaPar, UnFalloAMitadNoDejaFicherosAMedias) {
    const auto trozos = EscribirTrozos(carpeta.Ruta(), "largo", {3000, 3000});
    const auto antes = Contenido(carpeta.Ruta());
    const std::string base(245, 'p');
    EXPECT_NE(Llamar(VectorPaso("1", carpeta / (base + ".par"), trozos)), 0);
    EXPECT_EQ(lineas.back(), "¡ Error al crear fichero " + carpeta / (base + ".vol0+1.par2") + " !");
    EXPECT_EQ(Contenido(carpeta.Ruta()), antes);
    EXPECT_EQ(Llamar(VectorPaso("0", carpeta / (base + ".par"), trozos)), 0);
    EXPECT_EQ(Par2("verify -q " + base + ".par2"), 0);
}

// A job that fails after renaming the earlier set to ".old" gives every name back: the folder
// is as it was, an older ".old" included.
TEST_F(LibreriaPar, UnFalloDevuelveSusNombresALosFicherosAnteriores) {
    const auto trozos = EscribirTrozos(carpeta.Ruta(), "largo", {3000, 3000});
    // Room for "<base>.par2.old.1", none for "<base>.vol0+1.par2".
    const std::string base(244, 'p');
    ASSERT_EQ(Llamar(VectorPaso("0", carpeta / (base + ".par"), trozos)), 0);
    EscribirFichero(base + ".par2.old", "más antiguo");
    const auto antes = Contenido(carpeta.Ruta());
    EXPECT_NE(Llamar(VectorPaso("1", carpeta / (base + ".par"), trozos)), 0);
    EXPECT_EQ(lineas.back(), "¡ Error al crear fichero " + carpeta / (base + ".vol0+1.par2") + " !");
    EXPECT_EQ(Contenido(carpeta.Ruta()), antes);
    // Once the job succeeds, the older ".old" gives way to the newer one.
    ASSERT_EQ(Llamar(VectorPaso("0", carpeta / (base + ".par"), trozos)), 0);
    const auto despues = Contenido(carpeta.Ruta());
    EXPECT_EQ(despues.at(base + ".par2.old"), antes.at(base + ".par2"));
    EXPECT_EQ(despues.size(), antes.size());
}

TEST_F(LibreriaPar, SinMasMayusculasLosNombresQueDifierenEnCasoSonDistintos) {
    const auto trozos = EscribirTrozos(carpeta.Ruta(), "caso", {2000});
    EscribirFichero("CASO.001", Datos(2000, 5));
    ASSERT_EQ(Llamar({"par.exe", "add", "-n1", "--", carpeta / "caso.par", "caso.001", "CASO.001"}), 0);
    std::filesystem::remove("CASO.001");
    EXPECT_EQ(Par2("repair -q caso.par2"), 0);
    EXPECT_EQ(LeerFichero("CASO.001"), Datos(2000, 5));
}

// Pieces over 16 MiB go in the fewest equal slices of at most 16 MiB: two here, so each
// volume holds two recovery slices, and any two lost pieces are still rebuilt.
TEST_F(LibreriaPar, TrozosDeMasDe16MiBEnDosRebanadasIgualesPorTrozo) {
    if (!HayEspacio(carpeta.Ruta(), 200LL << 20)) GTEST_SKIP() << "less than 200 MiB free for the pieces";
    const size_t grande = (size_t{16} << 20) + 3;
    const auto trozos = EscribirTrozos(carpeta.Ruta(), "gr", {grande, grande, size_t{1} << 20});
    ASSERT_EQ(Llamar(VectorPaso("2", carpeta / "gr.par", trozos)), 0);
    EXPECT_TRUE(Existe("gr.vol0+2.par2"));
    EXPECT_TRUE(Existe("gr.vol2+2.par2"));
    size_t recuperacion = 0;
    for (const PaquetePar& p : LeerPaquetes("gr.vol2+2.par2"))
        if (p.tipo == TipoRecuperacionPar) ++recuperacion;
    EXPECT_EQ(recuperacion, 2u);
    // The main packet's body starts with the slice size, little-endian.
    uint64_t rebanada = 0;
    for (const PaquetePar& p : LeerPaquetes("gr.par2"))
        if (p.tipo == TipoPrincipalPar)
            for (size_t i = 8; i-- > 0;)
                rebanada = rebanada << 8 | static_cast<uint8_t>(p.cuerpo[i]);
    EXPECT_EQ(rebanada, ((grande + 1) / 2 + 3) / 4 * 4);
    ASSERT_EQ(Par2("verify -q gr.par2"), 0);
    const auto original = Contenido(carpeta.Ruta());
    std::filesystem::remove(trozos[0]);
    std::filesystem::remove(trozos[2]);
    ASSERT_EQ(Par2("repair -q gr.par2"), 0);
    for (const std::string& t : trozos)
        EXPECT_EQ(LeerFichero(t), original.at(t)) << t;
}

TEST_F(LibreriaPar, UnTrozoVacioQuedaFuera) {
    const auto trozos = EscribirTrozos(carpeta.Ruta(), "vac", {4000, 0, 4000});
    ASSERT_EQ(Llamar(VectorPaso("1", carpeta / "vac.par", trozos)), 0);
    EXPECT_EQ(Contar("Trozo vacío"), 1u);
    EXPECT_EQ(Par2("verify -q vac.par2"), 0);
    EXPECT_NE(Llamar(VectorPaso("1", carpeta / "nada.par", {"vac.002"})), 0);
    EXPECT_FALSE(Existe("nada.par2"));
}

TEST_F(LibreriaPar, UnRegistroMalFormadoSeRechaza) {
    LlamadaPar llamada{};
    llamada.progreso = Recoger;
    lineas.clear();
    std::string a = "par.exe", b = "add";
    llamada.argumentos[0] = a.data();
    llamada.argumentos[1] = b.data();
    llamada.cuenta = 3; // entry 2 is null
    EXPECT_NE(CallPar()(&llamada), 0);
    llamada.cuenta = LLAMADA_PAR_ENTRADAS;
    EXPECT_NE(CallPar()(&llamada), 0);
    EXPECT_EQ(lineas.size(), 2u);
    EXPECT_NE(CallPar()(nullptr), 0);
}

// The versioned record: its size and version are checked before anything is read, its context
// comes back with every text, every command sends its progress in the one format, and the job
// works in the folder it was handed, whatever the process's current folder.
int32_t RecogerConContexto(void* contexto, const char* texto) {
    static_cast<std::vector<std::string>*>(contexto)->emplace_back(texto);
    return 0;
}

TEST_F(LibreriaPar, ElRegistroVersionadoTrabajaEnSuCarpeta) {
    static void* biblioteca = dlopen(QUIMBEL_LIBPAR, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(biblioteca, nullptr);
    const auto llamar = reinterpret_cast<CallParContextoFuncion>(dlsym(biblioteca, "call_par_contexto"));
    ASSERT_NE(llamar, nullptr);
    const auto trozos = EscribirTrozos(carpeta.Ruta(), "ctx", {5000, 5000, 3000});
    std::vector<std::string> textos = VectorPaso("1", "/mostrada/ctx.par", trozos);
    std::vector<std::string> recibidos;
    LlamadaParContexto llamada{};
    llamada.tamano = sizeof llamada;
    llamada.version = LLAMADA_PAR_VERSION;
    llamada.progreso = RecogerConContexto;
    llamada.contexto = &recibidos;
    llamada.cuenta = static_cast<int32_t>(textos.size());
    for (size_t i = 0; i < textos.size(); ++i)
        llamada.argumentos[i] = textos[i].data();
    for (const auto& [tamano, version] :
         {std::pair{uint32_t{sizeof llamada} - 8, uint32_t{LLAMADA_PAR_VERSION}},
          std::pair{uint32_t{sizeof llamada}, uint32_t{LLAMADA_PAR_VERSION + 1}}}) {
        LlamadaParContexto mal = llamada;
        mal.tamano = tamano;
        mal.version = version;
        EXPECT_EQ(llamar(&mal), 1);
    }
    EXPECT_EQ(llamar(nullptr), 1);
    EXPECT_TRUE(recibidos.empty());

    // From another current folder: the folder handed is where the pieces are and the set goes.
    const int fd = open(carpeta.Ruta().c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    llamada.carpeta = fd;
    ASSERT_EQ(chdir("/"), 0);
    EXPECT_EQ(llamar(&llamada), 0);
    close(fd);
    ASSERT_EQ(chdir(carpeta.Ruta().c_str()), 0);
    EXPECT_EQ(Par2("verify -q ctx.par2"), 0);
    EXPECT_NE(std::find(recibidos.begin(), recibidos.end(), "Creado fichero /mostrada/ctx.par2"),
              recibidos.end());
    EXPECT_TRUE(std::any_of(recibidos.begin(), recibidos.end(),
                            [](const std::string& t) { return t.starts_with(LLAMADA_PAR_AVANCE); }));
    EXPECT_EQ(recibidos.back(), LLAMADA_PAR_AVANCE "13000/13000"); // all of the pieces' bytes, at the end
}

// A record of version 2, which ends before the stop question, is still taken, and its job never
// stops; a record of version 3 whose question says stop gets the stopped job's result, no line,
// and the folder as it was.
int32_t Parar(void* contexto) {
    ++*static_cast<int*>(contexto);
    return 1;
}

int32_t RecogerLineas(void* contexto, const char* texto) {
    if (texto[0] != '%') lineas.emplace_back(texto);
    static_cast<void>(contexto);
    return 0;
}

TEST_F(LibreriaPar, LaVersion2YLaPreguntaDeParar) {
    static void* biblioteca = dlopen(QUIMBEL_LIBPAR, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(biblioteca, nullptr);
    const auto llamar = reinterpret_cast<CallParContextoFuncion>(dlsym(biblioteca, "call_par_contexto"));
    const auto trozos = EscribirTrozos(carpeta.Ruta(), "v", {5000, 5000, 3000});
    std::vector<std::string> textos = VectorPaso("1", carpeta / "v.par", trozos);
    int preguntas = 0;
    LlamadaParContexto llamada{};
    llamada.progreso = RecogerLineas;
    llamada.contexto = &preguntas;
    llamada.carpeta = LLAMADA_PAR_CARPETA_ACTUAL;
    llamada.detener = Parar;
    llamada.cuenta = static_cast<int32_t>(textos.size());
    for (size_t i = 0; i < textos.size(); ++i)
        llamada.argumentos[i] = textos[i].data();
    const auto antes = Contenido(carpeta.Ruta());
    llamada.tamano = sizeof llamada;
    llamada.version = LLAMADA_PAR_VERSION;
    lineas.clear();
    EXPECT_EQ(llamar(&llamada), LLAMADA_PAR_INTERRUMPIDA);
    EXPECT_EQ(preguntas, 1);
    EXPECT_TRUE(lineas.empty()) << lineas.front();
    EXPECT_EQ(Contenido(carpeta.Ruta()), antes);
    // Version 2: what lies after its end is never read.
    llamada.tamano = static_cast<uint32_t>(LLAMADA_PAR_TAMANO_V2);
    llamada.version = 2;
    EXPECT_EQ(llamar(&llamada), 0);
    EXPECT_EQ(preguntas, 1);
    EXPECT_EQ(Par2("verify -q v.par2"), 0);
}

} // namespace
} // namespace quimbel::prueba
