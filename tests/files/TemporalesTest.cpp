// SPDX-License-Identifier: GPL-3.0-or-later
// Outputs under a temporary name: a final name is taken only when free or when the file there
// is the very one the user agreed to replace; nothing partial is ever left under a final name;
// leftovers of dead runs go, those of live runs stay.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>

#include "files/Temporales.h"
#include "support/Carpeta.h"
#include "support/Desenlace.h"

namespace quimbel {
namespace {

using namespace prueba;

class Temporales : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(AbrirCarpeta(carpeta, c.Ruta()).Bien()); }

    // A temporary holding `datos`, not yet published.
    SalidaTemporal Escrita(std::string_view datos) {
        SalidaTemporal s;
        EXPECT_TRUE(s.Crear(carpeta).Bien());
        EXPECT_TRUE(s.Datos().Escribir(datos.data(), datos.size()).Bien());
        return s;
    }
    IdFichero Id(const std::string& nombre) {
        struct stat st {};
        EXPECT_EQ(lstat((c / nombre).c_str(), &st), 0);
        return IdDeStat(st);
    }

    CarpetaTemporal c;
    Carpeta carpeta;
};

TEST_F(Temporales, UnNombreLibreSeTomaYElTemporalDesaparece) {
    SalidaTemporal s = Escrita("datos");
    EXPECT_TRUE(EsTemporal(s.Nombre()));
    EXPECT_EQ(Nombres(c.Ruta()), std::vector<std::string>{s.Nombre()});
    EXPECT_EQ(s.Publicar("final"), Hecho);
    EXPECT_EQ(Nombres(c.Ruta()), std::vector<std::string>{"final"});
    EXPECT_EQ(LeerFichero(c / "final"), "datos");
    // One that is never published leaves nothing behind.
    { const SalidaTemporal perdida = Escrita("a medias"); }
    EXPECT_EQ(Nombres(c.Ruta()), std::vector<std::string>{"final"});
}

TEST_F(Temporales, SoloSeReemplazaElFicheroAceptado) {
    EscribirFichero(c / "final", "antes");
    EscribirFichero(c / "otro", "otro");
    const IdFichero aceptado = Id("final");
    SalidaTemporal s = Escrita("nuevo");
    // Not agreed to, or agreed to another file: the name keeps its file, the temporary stays.
    EXPECT_EQ(s.Publicar("final"), ErrorSistema(EEXIST));
    EXPECT_EQ(s.Publicar("final", {}, Id("otro")), ErrorSistema(EEXIST));
    EXPECT_EQ(LeerFichero(c / "final"), "antes");
    // The file agreed to was swapped for another meanwhile: that one stays too.
    ASSERT_EQ(rename((c / "otro").c_str(), (c / "final").c_str()), 0);
    EXPECT_EQ(s.Publicar("final", {}, aceptado), ErrorSistema(EEXIST));
    EXPECT_EQ(LeerFichero(c / "final"), "otro");
    // A protected file is never replaced, agreed to or not.
    Protegidos protegidos;
    protegidos.Anadir(c / "final");
    EXPECT_EQ(s.Publicar("final", protegidos, Id("final")), Desenlace(Resultado::Intocable));
    EXPECT_EQ(s.Publicar("final", {}, Id("final")), Hecho);
    EXPECT_EQ(LeerFichero(c / "final"), "nuevo");
    EXPECT_EQ(Nombres(c.Ruta()), std::vector<std::string>{"final"});
}

TEST_F(Temporales, LoQueNoEsUnFicheroNuncaSeReemplaza) {
    ASSERT_EQ(symlink((c / "nada").c_str(), (c / "enlace").c_str()), 0);
    ASSERT_EQ(mkdir((c / "carpeta").c_str(), 0755), 0);
    ASSERT_EQ(mkfifo((c / "tubo").c_str(), 0644), 0);
    SalidaTemporal s = Escrita("x");
    EXPECT_EQ(s.Publicar("enlace", {}, Id("enlace")), Desenlace(Resultado::NoEsFichero));
    EXPECT_EQ(s.Publicar("tubo", {}, Id("tubo")), Desenlace(Resultado::NoEsFichero));
    EXPECT_EQ(s.Publicar("carpeta"), ErrorSistema(EISDIR));
    EXPECT_EQ(s.Publicar("sub/x"), ErrorSistema(EINVAL));
    EXPECT_EQ(s.Publicar(".quimbel-tmp-otro"), ErrorSistema(EINVAL));
    EXPECT_FALSE(Existe(c / "nada"));
}

TEST_F(Temporales, SoloSeLimpianLosTemporalesDeRunsMuertas) {
    const auto crear = [&](const std::string& nombre, time_t edad) {
        EscribirFichero(c / nombre, "resto");
        const timespec tiempos[2] = {{time(nullptr) - edad, 0}, {time(nullptr) - edad, 0}};
        EXPECT_EQ(utimensat(AT_FDCWD, (c / nombre).c_str(), tiempos, 0), 0);
    };
    crear(".quimbel-tmp-muerto", 0);
    crear(".quimbel-tmp-nuevo-reciente", 0);
    crear(".quimbel-tmp-nuevo-viejo", 120);
    crear(".quimbel-tmp-vivo", 120);
    crear("pelicula.001", 120);
    const int vivo = open((c / ".quimbel-tmp-vivo").c_str(), O_RDONLY);
    ASSERT_EQ(flock(vivo, LOCK_EX), 0);
    ASSERT_EQ(mkdir((c / ".quimbel-tmp-carpeta").c_str(), 0755), 0);
    ASSERT_EQ(symlink((c / "pelicula.001").c_str(), (c / ".quimbel-tmp-enlace").c_str()), 0);
    LimpiarTemporales(carpeta);
    EXPECT_EQ(Nombres(c.Ruta()),
              (std::vector<std::string>{".quimbel-tmp-carpeta", ".quimbel-tmp-enlace",
                                        ".quimbel-tmp-nuevo-reciente", ".quimbel-tmp-vivo", "pelicula.001"}));
    close(vivo);
    // A run's own temporary is held for as long as it lives.
    SalidaTemporal propia = Escrita("propia");
    LimpiarTemporales(carpeta);
    EXPECT_TRUE(Existe(c / propia.Nombre()));
    EXPECT_FALSE(Existe(c / ".quimbel-tmp-vivo"));
}

} // namespace
} // namespace quimbel
