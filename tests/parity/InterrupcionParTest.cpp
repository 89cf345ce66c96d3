// SPDX-License-Identifier: GPL-3.0-or-later
// Runs that the window asks to stop, with the real parity library: a split with a PAR set, the
// PAR step alone and a repair, each stopped at its first, second, third ... question until it
// ends. Each stopped run ends its memo with "¡ Proceso interrumpido !" and shows no box; every
// file that was there is as it was or replaced by a complete new one, no file under a final
// name is partial, no temporary is left; and the run that ends, and a second one, succeed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "files/Interrupcion.h"
#include "parity/Par.h"
#include "parity/PasoPar.h"
#include "parity/Reparacion.h"
#include "split/Corte.h"
#include "support/Carpeta.h"
#include "support/Grabadora.h"

namespace quimbel {
namespace {

using namespace prueba;
namespace fs = std::filesystem;

std::string Huella(const std::string& datos);

// Every file of a folder, by name (hidden ones too: a leftover temporary is one), with a
// hash of its bytes and its size.
std::map<std::string, std::string> Huellas(const std::string& carpeta) {
    std::map<std::string, std::string> todo;
    for (const auto& e : fs::directory_iterator(carpeta))
        todo[e.path().filename()] = Huella(LeerFichero(e.path()));
    return todo;
}

std::string Huella(const std::string& datos) {
    return std::to_string(datos.size()) + " " + std::to_string(std::hash<std::string>{}(datos));
}

bool Par2Verifica(const std::string& carpeta, const std::string& indice) {
    return std::system(("cd '" + carpeta + "' && par2 verify -q " + indice + " >/dev/null 2>&1").c_str()) ==
           0;
}

class InterrupcionPar : public ::testing::Test {
  protected:
    void SetUp() override {
        CargarPar(CARPETA_PAR);
        ASSERT_TRUE(ParCargada());
    }
    void TearDown() override { LiberarPar(); }

    // Runs `corrida` on a recorder that stops it at its n-th question, for n = 1, 2, ... until a
    // run is not stopped; after each stopped run, `comprobar` looks at the folder. The count of
    // runs stopped.
    static int HastaQueTermine(const std::function<bool(Grabadora&)>& corrida, Memo memo,
                               const std::function<void(int)>& comprobar) {
        for (int n = 1; n < 300; ++n) {
            Grabadora v;
            v.interrumpirEn = n;
            v.respuestasReemplazar = {true};
            if (!corrida(v)) return n - 1;
            EXPECT_EQ(v.Memo(memo).back(), ProcesoInterrumpido) << n;
            EXPECT_TRUE(v.errores.empty()) << n << ": " << v.errores.front();
            EXPECT_TRUE(v.informaciones.empty()) << n << ": " << v.informaciones.front();
            comprobar(n);
        }
        ADD_FAILURE() << "the run never ended";
        return 0;
    }

    CarpetaTemporal c;
};

// A split of three pieces with a PAR set over an earlier split of other data: the pieces are
// the old ones or the new ones, whole; the set is the old one, or the new one whole beside the
// old one's ".old"; never a temporary.
TEST_F(InterrupcionPar, CorteConPar) {
    fs::create_directory(c / "d");
    const std::string d = c / "d/";
    EntradaCorte e;
    e.fuente = c / "p.avi";
    e.destino = d;
    e.tamano = "10000";
    e.par = true;
    e.numeroPar = "1";
    EscribirFichero(e.fuente, Datos(25000, 1));
    Grabadora primera;
    ASSERT_TRUE(Cortar(primera, e).completo);
    const auto antes = Huellas(d);
    const std::string nueva = Datos(25000, 2);
    EscribirFichero(e.fuente, nueva);
    const std::map<std::string, std::string> trozosNuevos{{"p.001", Huella(nueva.substr(0, 10000))},
                                                          {"p.002", Huella(nueva.substr(10000, 10000))},
                                                          {"p.003", Huella(nueva.substr(20000))}};
    const int paradas = HastaQueTermine([&](Grabadora& v) { return !Cortar(v, e).finalizado; }, Memo::Cortar,
                                        [&](int n) {
                                            const auto ahora = Huellas(d);
                                            for (const auto& [nombre, datos] : ahora) {
                                                ASSERT_EQ(antes.count(nombre), 1u) << n << ": " << nombre;
                                                if (datos == antes.at(nombre)) continue;
                                                EXPECT_EQ(datos, trozosNuevos.at(nombre))
                                                    << n << ": " << nombre;
                                            }
                                            EXPECT_EQ(ahora.size(), antes.size()) << n;
                                        });
    EXPECT_GT(paradas, 3);
    const auto despues = Huellas(d);
    for (const auto& [nombre, datos] : trozosNuevos)
        EXPECT_EQ(despues.at(nombre), datos);
    EXPECT_EQ(despues.at("p.par2.old"), antes.at("p.par2"));
    EXPECT_TRUE(Par2Verifica(d, "p.par2"));
    Grabadora segunda;
    segunda.respuestasReemplazar = {true};
    EXPECT_TRUE(Cortar(segunda, e).completo);
}

// The PAR step alone, over an earlier set: stopped, the folder is exactly as it was.
TEST_F(InterrupcionPar, PasoPar) {
    for (const char* t : {"p.001", "p.002", "p.003"})
        EscribirFichero(c / t, Datos(10000, static_cast<unsigned>(t[4])));
    Carpeta carpeta;
    ASSERT_TRUE(AbrirCarpeta(carpeta, c.Ruta()).Bien());
    const EntradaPar entrada{c.Ruta(), c / "p.avi", "2", {"p.001", "p.002", "p.003"}, nullptr, 0, &carpeta};
    Grabadora primera;
    ASSERT_TRUE(PasoPar(primera, entrada).hecho);
    EscribirFichero(c / "p.002", Datos(10000, 9));
    const auto antes = Huellas(c.Ruta());
    const int paradas = HastaQueTermine(
        [&](Grabadora& v) {
            const ResultadoPar r = PasoPar(v, entrada);
            EXPECT_EQ(r.detenido, !r.hecho);
            return r.detenido;
        },
        Memo::Cortar, [&](int n) { EXPECT_EQ(Huellas(c.Ruta()), antes) << n; });
    EXPECT_GT(paradas, 2);
    EXPECT_TRUE(Par2Verifica(c.Ruta(), "p.par2"));
    EXPECT_EQ(Huella(LeerFichero(c / "p.par2.old")), antes.at("p.par2"));
}

// A repair of a missing and a damaged file: stopped, both are as they were; the repair that
// ends rebuilds them, and a second run finds them whole.
TEST_F(InterrupcionPar, Reparacion) {
    EscribirFichero(c / "uno.bin", Datos(40000, 1));
    EscribirFichero(c / "dos.bin", Datos(30000, 2));
    ASSERT_EQ(std::system(("cd '" + c.Ruta() +
                           "' && par2 create -q -s4000 -c12 j.par2 uno.bin dos.bin >/dev/null 2>&1")
                              .c_str()),
              0);
    fs::remove(c / "uno.bin");
    std::string danado = Datos(30000, 2);
    danado[12345] ^= 4;
    EscribirFichero(c / "dos.bin", danado);
    const auto antes = Huellas(c.Ruta());
    const int paradas = HastaQueTermine(
        [&](Grabadora& v) {
            const ResultadoReparacion r = Reparar(v, {c / "j.par2", "", false, {}});
            EXPECT_EQ(r.interrumpida, r.estado != 0);
            return r.interrumpida;
        },
        Memo::Reparar, [&](int n) { EXPECT_EQ(Huellas(c.Ruta()), antes) << n; });
    EXPECT_GT(paradas, 2);
    EXPECT_EQ(LeerFichero(c / "uno.bin"), Datos(40000, 1));
    EXPECT_EQ(LeerFichero(c / "dos.bin"), Datos(30000, 2));
    Grabadora segunda;
    EXPECT_EQ(Reparar(segunda, {c / "j.par2", "", false, {}}).estado, 0);
    EXPECT_EQ(segunda.informaciones, std::vector<std::string>{"¡ Proceso finalizado !"});
}

} // namespace
} // namespace quimbel
