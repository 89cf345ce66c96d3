// SPDX-License-Identifier: GPL-3.0-or-later
// The naming of the pieces written, on its own thread: in order, each flushed and named as the
// split would; the first failure stops it, says why once, and removes what waited after it;
// the source and a file the user did not agree to replace are never replaced.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "files/Carpeta.h"
#include "files/Ficheros.h"
#include "split/Corte.h"
#include "split/Publicacion.h"
#include "support/Carpeta.h"

namespace quimbel {
namespace {

using namespace prueba;

class PublicacionTrozos : public ::testing::Test {
  protected:
    void SetUp() override {
        EscribirFichero(c / "f.avi", "fuente");
        ASSERT_TRUE(AbrirFichero(fuente, c / "f.avi").Bien());
        ASSERT_TRUE(AbrirCarpeta(carpeta, c.Ruta()).Bien());
    }
    // A piece written in full under a temporary name, to be named `nombre`.
    Publicacion::Trozo Trozo(const std::string& nombre, const std::string& datos,
                             std::optional<IdFichero> reemplazable = std::nullopt) {
        Publicacion::Trozo t{c / nombre, nombre, reemplazable, {}};
        EXPECT_TRUE(t.salida.Crear(carpeta).Bien());
        EXPECT_TRUE(t.salida.Datos().Escribir(datos.data(), datos.size()).Bien());
        return t;
    }
    IdFichero Id(const std::string& nombre) {
        Fichero f;
        EXPECT_TRUE(AbrirFichero(f, c / nombre).Bien());
        return f.Id();
    }

    CarpetaTemporal c;
    Fichero fuente;
    Carpeta carpeta;
};

TEST_F(PublicacionTrozos, EnOrdenYReemplazandoSoloLoAceptado) {
    EscribirFichero(c / "f.002", "viejo");
    Publicacion p(fuente.Id());
    p.Anadir(Trozo("f.001", "uno"));
    p.Anadir(Trozo("f.002", "dos", Id("f.002")));
    EXPECT_EQ(p.Esperar(), std::nullopt);
    EXPECT_EQ(Contenido(c.Ruta()),
              (std::map<std::string, std::string>{{"f.001", "uno"}, {"f.002", "dos"}, {"f.avi", "fuente"}}));
}

// A name taken meanwhile by a file the user did not agree to replace, or the source's own: the
// failure is said once, the pieces before it keep their names, the ones after it are removed.
TEST_F(PublicacionTrozos, ElPrimerFalloParaYQuitaLoQueEsperaba) {
    struct Caso {
        const char* nombre;
        std::string ocupado;        // the name taken
        std::optional<bool> fuente; // taken by a link to the source, agreed to replace
        std::string mensaje;
    };
    for (const Caso& caso :
         {Caso{"otro fichero", "f.002", std::nullopt, "¡ Error al crear fichero " + (c / "f.002") + " !"},
          Caso{"la fuente", "f.002", true, ErrorMismoNombre}}) {
        SCOPED_TRACE(caso.nombre);
        for (const std::string& n : Nombres(c.Ruta()))
            if (n != "f.avi") std::filesystem::remove(c / n);
        std::optional<IdFichero> aceptado;
        if (caso.fuente) {
            std::filesystem::create_hard_link(c / "f.avi", c / caso.ocupado);
            aceptado = Id(caso.ocupado);
        } else {
            EscribirFichero(c / caso.ocupado, "ajeno");
        }
        const auto antes = LeerFichero(c / caso.ocupado);
        Publicacion p(fuente.Id());
        p.Anadir(Trozo("f.001", "uno"));
        p.Anadir(Trozo("f.002", "dos", aceptado));
        p.Anadir(Trozo("f.003", "tres"));
        EXPECT_EQ(p.Esperar(), caso.mensaje);
        EXPECT_EQ(p.Fallo(), caso.mensaje);
        // A piece handed over after the failure is removed at once.
        p.Anadir(Trozo("f.004", "cuatro"));
        EXPECT_EQ(LeerFichero(c / "f.001"), "uno");
        EXPECT_EQ(LeerFichero(c / caso.ocupado), antes);
        EXPECT_EQ(Nombres(c.Ruta()), (std::vector<std::string>{"f.001", "f.002", "f.avi"}));
    }
}

// Stopped, or gone before the end: what was not yet named is removed, nothing is left half way.
TEST_F(PublicacionTrozos, CancelarQuitaLoQueNoTieneNombre) {
    {
        Publicacion p(fuente.Id());
        for (int k = 1; k <= 20; ++k)
            p.Anadir(Trozo("f.0" + std::to_string(10 + k), std::string(1000, static_cast<char>('a' + k))));
        p.Cancelar();
    }
    const std::vector<std::string> nombres = Nombres(c.Ruta());
    ASSERT_FALSE(nombres.empty());
    EXPECT_EQ(nombres.back(), "f.avi");
    // Whatever was named is whole, and named in order from the first.
    for (size_t i = 0; i + 1 < nombres.size(); ++i) {
        EXPECT_EQ(nombres[i], "f.0" + std::to_string(11 + i));
        EXPECT_EQ(LeerFichero(c / nombres[i]), std::string(1000, static_cast<char>('a' + 1 + i)));
    }
}

} // namespace
} // namespace quimbel
