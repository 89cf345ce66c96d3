// SPDX-License-Identifier: GPL-3.0-or-later
// Each operation stopped at every point where it asks whether to stop (a close request or a
// signal): afterwards every file is as it was before the run or as the whole run leaves it,
// nothing partial stands under a final name, no temporary is left, the memo ends with
// "¡ Proceso interrumpido !" and no box was shown; a second run then ends as a whole run does.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

#include "files/Interrupcion.h"
#include "join/AnalisisUnir.h"
#include "join/Union.h"
#include "split/Corte.h"
#include "support/Carpeta.h"
#include "support/Grabadora.h"
#include "verify/Crc.h"
#include "verify/Verificacion.h"

namespace quimbel {
namespace {

using namespace prueba;

using Foto = std::map<std::string, std::string>;

// Every file of a folder and its bytes; of an SFV file, its data lines (its comments hold the
// minute it was written).
Foto Fotografiar(const std::string& carpeta) {
    Foto foto;
    for (const std::string& nombre : Nombres(carpeta)) {
        std::string bytes = LeerFichero(carpeta + nombre);
        if (nombre.ends_with(".sfv")) {
            std::string datos;
            for (size_t i = 0, fin; i < bytes.size(); i = fin + 1) {
                fin = std::min(bytes.find('\n', i), bytes.size());
                if (bytes[i] != ';') datos += bytes.substr(i, fin + 1 - i);
            }
            bytes = datos;
        }
        foto[nombre] = bytes;
    }
    return foto;
}

struct Operacion {
    const char* nombre;
    Memo memo;
    // Fills the folder as it stands before the run.
    std::function<void(const CarpetaTemporal&)> preparar;
    // Runs the operation there; true when it ended with "¡ Proceso finalizado !".
    std::function<bool(Grabadora&, const CarpetaTemporal&)> correr;
};

const std::string Fuente = Datos(4000000, 3);

EntradaCorte Corte(const CarpetaTemporal& c) {
    EntradaCorte e;
    e.fuente = c / "pelicula.avi";
    e.tamano = "1500000";
    e.sfv = true;
    return e;
}

const std::vector<Operacion> Operaciones{
    {"corte con sfv sobre un juego anterior", Memo::Cortar,
     [](const CarpetaTemporal& c) {
         EscribirFichero(c / "pelicula.avi", Datos(3000000, 4));
         Grabadora g;
         EXPECT_TRUE(Cortar(g, Corte(c)).finalizado);
         EscribirFichero(c / "pelicula.avi", Fuente);
     },
     [](Grabadora& g, const CarpetaTemporal& c) { return Cortar(g, Corte(c)).finalizado; }},
    {"union sobre un destino anterior", Memo::Unir,
     [](const CarpetaTemporal& c) {
         for (size_t k = 1; k <= 3; ++k)
             EscribirFichero(c / ("pelicula.00" + std::to_string(k)),
                             Fuente.substr(static_cast<size_t>(k - 1) * 1500000u, 1500000));
         EscribirFichero(c / "unido", "antes");
     },
     [](Grabadora& g, const CarpetaTemporal& c) {
         Grabadora analisis;
         const AnalisisUnir a = AnalizarFicheroUnir(analisis, c / "pelicula.002");
         return a.correcto && Unir(g, {c / "pelicula.002", c / "unido", a.plan});
     }},
    {"verificacion que renombra", Memo::Verificar,
     [](const CarpetaTemporal& c) {
         EscribirFichero(c / "a", Datos(2500000, 5));
         EscribirFichero(c / "b", Datos(10, 6));
         EscribirFichero(c / "c", Datos(2500000, 7));
         EscribirFichero(c / "l.sfv", "a 00000000\r\nb 00000000\r\nc 00000000\r\n");
     },
     [](Grabadora& g, const CarpetaTemporal& c) {
         return Verificar(g, {c / "l.sfv", "", true},
                          [] {
                              OpcionesVerificacion o;
                              o.renombrar = true;
                              o.extension = "mal";
                              return o;
                          })
             .finalizado;
     }},
};

class Interrupcion : public ::testing::TestWithParam<Operacion> {
  protected:
    void SetUp() override { CargarCrc(CARPETA_CRC32); }
    void TearDown() override { LiberarCrc(); }
};

TEST_P(Interrupcion, CadaParadaDejaCadaFicheroComoEstabaOEntero) {
    const Operacion& op = GetParam();
    // What a whole run leaves, and how many times it asks whether to stop.
    CarpetaTemporal entera;
    op.preparar(entera);
    Grabadora completa;
    completa.respuestasReemplazar = {true};
    ASSERT_TRUE(op.correr(completa, entera));
    const Foto final = Fotografiar(entera.Ruta());
    const int paradas = completa.preguntasInterrupcion;
    ASSERT_GE(paradas, 4) << "the run asks between its blocks and its steps";

    for (int n = 1; n <= paradas; ++n) {
        SCOPED_TRACE("parada " + std::to_string(n));
        CarpetaTemporal c;
        op.preparar(c);
        const Foto antes = Fotografiar(c.Ruta());
        Grabadora g;
        g.respuestasReemplazar = {true};
        g.interrumpirEn = n;
        EXPECT_FALSE(op.correr(g, c));
        ASSERT_FALSE(g.Memo(op.memo).empty());
        EXPECT_EQ(g.Memo(op.memo).back(), ProcesoInterrumpido);
        EXPECT_TRUE(g.errores.empty() && g.informaciones.empty()) << "no box on a stop";
        EXPECT_FALSE(g.ocupado);
        const Foto despues = Fotografiar(c.Ruta());
        for (const auto& [nombre, bytes] : despues) {
            const bool comoAntes = antes.contains(nombre) && antes.at(nombre) == bytes;
            const bool comoAlFinal = final.contains(nombre) && final.at(nombre) == bytes;
            EXPECT_TRUE(comoAntes || comoAlFinal) << nombre << " is neither as it was nor whole";
        }
        for (const auto& [nombre, bytes] : antes)
            EXPECT_TRUE(despues.contains(nombre) || !final.contains(nombre)) << nombre << " was lost";
        // Run again, whole: it ends as the first whole run did.
        Grabadora otra;
        otra.respuestasReemplazar = {true};
        EXPECT_TRUE(op.correr(otra, c));
        EXPECT_EQ(Fotografiar(c.Ruta()), final);
    }
}

INSTANTIATE_TEST_SUITE_P(Operaciones, Interrupcion, ::testing::ValuesIn(Operaciones),
                         [](const ::testing::TestParamInfo<Operacion>& i) {
                             return std::to_string(i.index);
                         });

} // namespace
} // namespace quimbel
