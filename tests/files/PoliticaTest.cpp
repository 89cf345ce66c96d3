// SPDX-License-Identifier: GPL-3.0-or-later
// The file access policy on hostile and unlucky folders: links, FIFOs, hard links,
// pseudo files and names that climb out of the chosen folder.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/Carpeta.h"
#include "files/Salidas.h"
#include "files/Temporales.h"
#include "support/Carpeta.h"
#include "support/Desenlace.h"

namespace quimbel {
namespace {

using prueba::CarpetaTemporal;
using prueba::EscribirFichero;
using prueba::Existe;
using prueba::LeerFichero;

ino_t Nodo(const std::string& ruta) {
    struct stat st {};
    return lstat(ruta.c_str(), &st) == 0 ? st.st_ino : 0;
}

class Politica : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(mkdir((c / "dentro").c_str(), 0755), 0);
        ASSERT_EQ(mkdir((c / "fuera").c_str(), 0755), 0);
        EscribirFichero(c / "fuera/victima", "no tocar");
        ASSERT_EQ(AbrirCarpeta(dentro, c / "dentro"), Hecho);
    }
    CarpetaTemporal c;
    Carpeta dentro;
};

TEST_F(Politica, UnaSalidaNoSeAbreAtravesDeEnlacesNiSobreFifosNiCarpetas) {
    ASSERT_EQ(symlink((c / "fuera/victima").c_str(), (c / "dentro/enlace").c_str()), 0);
    ASSERT_EQ(symlink((c / "fuera/nueva").c_str(), (c / "dentro/colgante").c_str()), 0);
    ASSERT_EQ(mkfifo((c / "dentro/tubo").c_str(), 0644), 0);
    ASSERT_EQ(mkdir((c / "dentro/sub").c_str(), 0755), 0);
    SalidaTemporal s;
    ASSERT_EQ(s.Crear(dentro), Hecho);
    EXPECT_EQ(MirarOcupante(dentro, "enlace", {}).estado, Resultado::NoEsFichero);
    EXPECT_EQ(s.Publicar("enlace"), Resultado::NoEsFichero);
    EXPECT_EQ(s.Publicar("colgante"), Resultado::NoEsFichero);
    EXPECT_EQ(s.Publicar("tubo"), Resultado::NoEsFichero) << "refused at once, never opened";
    EXPECT_EQ(s.Publicar("sub"), ErrorSistema(EISDIR));
    Fichero f;
    EXPECT_EQ(CrearNuevo(f, dentro, "enlace"), ErrorSistema(EEXIST));
    for (const char* nombre : {"", ".", "..", "sub/x"})
        EXPECT_EQ(s.Publicar(nombre), ErrorSistema(EINVAL)) << nombre;
    EXPECT_FALSE(f.Abierto());
    EXPECT_EQ(LeerFichero(c / "fuera/victima"), "no tocar");
    EXPECT_FALSE(Existe(c / "fuera/nueva"));
    // A folder that could not be opened turns every create into its error.
    Carpeta falta;
    EXPECT_EQ(AbrirCarpeta(falta, c / "no-existe"), ErrorSistema(ENOENT));
    SalidaTemporal otra;
    EXPECT_EQ(otra.Crear(falta), ErrorSistema(ENOENT));
}

TEST_F(Politica, UnaSalidaConOtrosNombresRecibeUnFicheroNuevo) {
    EscribirFichero(c / "dentro/a.001", "primero");
    ASSERT_EQ(link((c / "dentro/a.001").c_str(), (c / "dentro/a.002").c_str()), 0);
    ASSERT_EQ(link((c / "fuera/victima").c_str(), (c / "dentro/b").c_str()), 0);
    for (const char* nombre : {"a.002", "b", "a.001"}) {
        const Ocupante o = MirarOcupante(dentro, nombre, {});
        SalidaTemporal s;
        ASSERT_EQ(s.Crear(dentro), Hecho) << nombre;
        ASSERT_EQ(s.Datos().Escribir("nuevo", 5), Hecho);
        ASSERT_EQ(s.Publicar(nombre, {}, o.id), Hecho) << nombre;
        EXPECT_EQ(LeerFichero(c / (std::string("dentro/") + nombre)), "nuevo");
        EXPECT_NE(Nodo(c / (std::string("dentro/") + nombre)), o.id.nodo) << nombre;
        if (std::string(nombre) == "a.002") {
            EXPECT_EQ(LeerFichero(c / "dentro/a.001"), "primero");
        }
    }
    EXPECT_EQ(LeerFichero(c / "fuera/victima"), "no tocar");
}

TEST_F(Politica, UnaSalidaNuncaEsUnFicheroQueLaCorridaLee) {
    EscribirFichero(c / "dentro/fuente.avi", "fuente");
    ASSERT_EQ(link((c / "dentro/fuente.avi").c_str(), (c / "dentro/fuente.001").c_str()), 0);
    ASSERT_EQ(link((c / "fuera/victima").c_str(), (c / "dentro/otro").c_str()), 0);
    Fichero fuente;
    ASSERT_EQ(AbrirFichero(fuente, c / "dentro/fuente.avi"), Hecho);
    Protegidos porDescriptor, porRuta, porId;
    porDescriptor.Anadir(fuente);
    porRuta.Anadir(c / "fuera/victima");
    porId.Anadir(fuente.Id());
    SalidaTemporal s;
    ASSERT_EQ(s.Crear(dentro), Hecho);
    const IdFichero idFuente = fuente.Id();
    const IdFichero idOtro = MirarOcupante(dentro, "otro", {}).id;
    EXPECT_EQ(s.Publicar("fuente.001", porDescriptor, idFuente), Resultado::Intocable);
    EXPECT_EQ(s.Publicar("fuente.001", porId, idFuente), Resultado::Intocable);
    EXPECT_EQ(s.Publicar("otro", porRuta, idOtro), Resultado::Intocable);
    EXPECT_TRUE(MirarOcupante(dentro, "fuente.001", porDescriptor).intocable);
    EXPECT_EQ(LeerFichero(c / "dentro/fuente.avi"), "fuente");
    EXPECT_EQ(LeerFichero(c / "dentro/fuente.001"), "fuente");
    EXPECT_EQ(LeerFichero(c / "fuera/victima"), "no tocar");
    EXPECT_EQ(s.Publicar("fuente.002", porDescriptor), Hecho) << "other names are free";
}

TEST(Entradas, NadaQueBloqueeNiSeaInfinito) {
    CarpetaTemporal c;
    ASSERT_EQ(mkfifo((c / "tubo").c_str(), 0644), 0);
    Fichero f;
    EXPECT_EQ(AbrirFichero(f, c / "tubo"), Resultado::NoEsFichero);
    EXPECT_EQ(AbrirFichero(f, c.Ruta()), ErrorSistema(EISDIR));
    // Pseudo files report a size that says nothing: reading them could never end or wait for
    // ever. They open (reading is no write) but yield no byte.
    for (const char* pseudo :
         {"/proc/self/status", "/proc/self/pagemap", "/proc/kmsg", "/sys/kernel/notes"}) {
        if (!AbrirFichero(f, pseudo).Bien()) continue; // not here, or not ours to open
        char byte = 0;
        EXPECT_EQ(f.Leer(&byte, 1), -1) << pseudo;
        EXPECT_FALSE(f.LeerEn(&byte, 1, 0)) << pseudo;
        f.Cerrar();
    }
    EXPECT_FALSE(f.Abierto());
}

// The kernel resolves names beneath the folder; where openat2 is unavailable the manual walk
// refuses every link, so both ways keep a name inside.
class Resolver : public Politica, public ::testing::WithParamInterface<bool> {
  protected:
    void SetUp() override {
        Politica::SetUp();
        ForzarRecorridoSinOpenat2(GetParam());
    }
    void TearDown() override { ForzarRecorridoSinOpenat2(false); }
};

TEST_P(Resolver, NingunNombreSaleDeLaCarpeta) {
    ASSERT_EQ(mkdir((c / "dentro/sub").c_str(), 0755), 0);
    EscribirFichero(c / "dentro/sub/malo", "x");
    ASSERT_EQ(symlink((c / "fuera").c_str(), (c / "dentro/lnk").c_str()), 0);
    ASSERT_EQ(symlink("../fuera", (c / "dentro/rel").c_str()), 0);
    const std::string absoluta = c / "fuera/victima";
    for (const std::string& fuera :
         {std::string("lnk/victima"), std::string("rel/victima"), std::string("../fuera/victima"),
          std::string("sub/../../fuera/victima"), absoluta}) {
        EXPECT_NE(RenombrarBajo(dentro, fuera, "victima.mal1"), Hecho) << fuera;
    }
    EXPECT_EQ(LeerFichero(c / "fuera/victima"), "no tocar");
    EXPECT_FALSE(Existe(c / "fuera/victima.mal1"));

    EXPECT_EQ(RenombrarBajo(dentro, "sub/malo", "malo.mal1"), Hecho);
    EXPECT_EQ(LeerFichero(c / "dentro/sub/malo.mal1"), "x");
    EscribirFichero(c / "dentro/sub/malo", "y");
    EXPECT_EQ(RenombrarBajo(dentro, "./sub//malo", "malo.mal1"), ErrorSistema(EEXIST)) << "never replaces";
    EXPECT_EQ(LeerFichero(c / "dentro/sub/malo.mal1"), "x");

    // Reading a name from a set: no link anywhere, the file itself included.
    Fichero f;
    EXPECT_EQ(AbrirFicheroBajo(f, dentro, "sub/malo"), Hecho);
    ASSERT_EQ(symlink("malo", (c / "dentro/sub/alias").c_str()), 0);
    EXPECT_EQ(AbrirFicheroBajo(f, dentro, "sub/alias"), Resultado::NoEsFichero);
    EXPECT_NE(AbrirFicheroBajo(f, dentro, "lnk/victima"), Hecho);
    EXPECT_NE(AbrirFicheroBajo(f, dentro, "../fuera/victima"), Hecho);

    // A link that stays inside: the kernel follows it, the manual walk refuses it.
    ASSERT_EQ(symlink("sub", (c / "dentro/atajo").c_str()), 0);
    Carpeta padre;
    std::string hoja;
    EXPECT_EQ(ResolverBajo(dentro, "atajo/malo", padre, hoja).Bien(), !GetParam());
    EXPECT_NE(ResolverBajo(dentro, "atajo/malo", padre, hoja, true), Hecho) << "sin enlaces";
}

INSTANTIATE_TEST_SUITE_P(Ambos, Resolver, ::testing::Bool(), [](const ::testing::TestParamInfo<bool>& p) {
    return p.param ? "Recorrido" : "Openat2";
});

} // namespace
} // namespace quimbel
