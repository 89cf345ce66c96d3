// SPDX-License-Identifier: GPL-3.0-or-later
// The PAR step with the real parity library works on the folder the split opened: a folder
// whose path is swapped for a link while the step runs keeps the set, and the folder the link
// leads to, and the process's current folder, stay as they were.
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>

#include "parity/Par.h"
#include "parity/PasoPar.h"
#include "support/Carpeta.h"
#include "support/Grabadora.h"

namespace quimbel {
namespace {

using namespace prueba;
namespace fs = std::filesystem;

// Every file below a folder, by name, with its bytes.
std::map<std::string, std::string> Arbol(const fs::path& carpeta) {
    std::map<std::string, std::string> todo;
    for (const auto& e : fs::recursive_directory_iterator(carpeta))
        todo[fs::relative(e.path(), carpeta)] = e.is_regular_file() ? LeerFichero(e.path()) : "<carpeta>";
    return todo;
}

TEST(CarpetaPar, CambiadaPorUnEnlaceDuranteElPaso) {
    CargarPar(CARPETA_PAR);
    ASSERT_TRUE(ParCargada());
    CarpetaTemporal c;
    fs::create_directory(c / "trozos");
    fs::create_directory(c / "otra");
    EscribirFichero(c / "p.avi", Datos(30000, 3));
    for (const char* t : {"p.001", "p.002", "p.003"}) {
        EscribirFichero(c / ("trozos/" + std::string(t)), Datos(10000, static_cast<unsigned>(t[4])));
        EscribirFichero(c / ("otra/" + std::string(t)), "otros datos");
    }
    // An earlier set there, which a step run in that folder would rename and replace.
    EscribirFichero(c / "otra/p.par2", "viejo");
    EscribirFichero(c / "otra/p.par2.old", "más viejo");
    const auto antes = Arbol(c / "otra");
    char* actual = getcwd(nullptr, 0);

    Carpeta carpeta;
    ASSERT_TRUE(AbrirCarpeta(carpeta, c / "trozos/").Bien());
    const EntradaPar entrada{c / "trozos/", c / "p.avi", "1",     {"p.001", "p.002", "p.003"},
                             nullptr,       0,           &carpeta};
    Grabadora v;
    const ResultadoPar r = PasoPar(v, entrada, [&] {
        fs::rename(c / "trozos", c / "movida");
        fs::create_directory_symlink(c / "otra", c / "trozos");
    });
    EXPECT_TRUE(r.hecho) << (v.Memo(Memo::Cortar).empty() ? "" : v.Memo(Memo::Cortar).back());
    EXPECT_EQ(Arbol(c / "otra"), antes);
    EXPECT_TRUE(fs::is_regular_file(c / "movida/p.par2"));
    EXPECT_TRUE(fs::is_regular_file(c / "movida/p.vol0+1.par2"));
    // The lines name the set as the split named it.
    const std::vector<std::string>& memo = v.Memo(Memo::Cortar);
    EXPECT_NE(std::find(memo.begin(), memo.end(), "Creado fichero " + (c / "trozos/p.par2")), memo.end());
    char* despues = getcwd(nullptr, 0);
    EXPECT_STREQ(despues, actual);
    free(despues);
    free(actual);
    LiberarPar();
}

} // namespace
} // namespace quimbel
