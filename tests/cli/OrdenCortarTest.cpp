// SPDX-License-Identifier: GPL-3.0-or-later
// quimbel-cli cortar run as a user runs it: arguments in, files, output and exit status out.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>

#include "tests/split/AyudaCorte.h"

namespace quimbel {
namespace {

using namespace prueba;

struct Salida {
    int estado = -1;
    std::string salida;
    std::string errores;
};

// Runs quimbel-cli in the folder with these arguments (none holds a quote).
Salida Ejecutar(const CarpetaTemporal& c, const std::string& argumentos) {
    const std::string orden = "cd '" + c.Ruta() + "' && '" QUIMBEL_CLI "' " + argumentos + " >'" +
                              (c / ".salida") + "' 2>'" + (c / ".errores") + "' </dev/null";
    const int estado = std::system(orden.c_str());
    Salida s;
    s.estado = WIFEXITED(estado) ? WEXITSTATUS(estado) : -1;
    s.salida = LeerFichero(c / ".salida");
    s.errores = LeerFichero(c / ".errores");
    return s;
}

class OrdenCortar : public ::testing::Test {
  protected:
    CarpetaTemporal c;
    const std::string datos = Datos(65);
    void SetUp() override { EscribirFichero(c / "f.avi", datos); }
    std::vector<std::string> Escritos() {
        std::vector<std::string> nombres;
        for (int k = 1; k <= 7; ++k)
            if (Existe(c / ("f.00" + std::to_string(k)))) nombres.push_back("f.00" + std::to_string(k));
        return nombres;
    }
};

TEST_F(OrdenCortar, TrozosEscribeSoloLosDeLaLista) {
    const Salida s = Ejecutar(c, "cortar f.avi 10 --trozos 2,5-6");
    EXPECT_EQ(s.estado, 0) << s.errores;
    EXPECT_EQ(Escritos(), (std::vector<std::string>{"f.002", "f.005", "f.006"}));
    EXPECT_EQ(LeerFichero(c / "f.005"), datos.substr(40, 10));
    EXPECT_EQ(s.salida, "Creando trozos...\nCreando trozo 2 : " + (c / "f.002") + "\nCreando trozo 5 : " +
                            (c / "f.005") + "\nCreando trozo 6 : " + (c / "f.006") + "\n\n\n");
    EXPECT_EQ(s.errores, "¡ Proceso finalizado !\n");

    // The rest of the set in a second run, CortaArchivos names: the .fin piece only now.
    EXPECT_EQ(Ejecutar(c, "cortar f.avi 10 --esquema cortaarchivos --trozos 7").estado, 0);
    EXPECT_TRUE(Existe(c / "f.fin"));
    EXPECT_FALSE(Existe(c / "f.1"));
}

TEST_F(OrdenCortar, SinListaEscribeTodos) {
    EXPECT_EQ(Ejecutar(c, "cortar f.avi 10").estado, 0);
    EXPECT_EQ(Escritos().size(), 7u);
}

TEST_F(OrdenCortar, ListaFueraDeRangoOMalFormadaEsErrorDeUso) {
    const Salida fuera = Ejecutar(c, "cortar f.avi 10 --trozos 2,6-8");
    EXPECT_EQ(fuera.estado, 2);
    EXPECT_NE(fuera.errores.find("el trozo 8 no existe: el juego tiene 7 trozos"), std::string::npos)
        << fuera.errores;
    EXPECT_TRUE(Escritos().empty());

    for (const char* lista : {"2,,5", "0", "3-1", "x", "''"}) {
        const Salida s = Ejecutar(c, std::string("cortar f.avi 10 --trozos ") + lista);
        EXPECT_EQ(s.estado, 2) << lista;
        EXPECT_NE(s.errores.find("lista de trozos no válida"), std::string::npos) << s.errores;
    }
    EXPECT_EQ(Ejecutar(c, "cortar f.avi 10 --trozos").estado, 2);
    EXPECT_TRUE(Escritos().empty());
}

TEST_F(OrdenCortar, LosMensajesDelPlanSalenUnaVez) {
    const Salida falta = Ejecutar(c, "cortar falta.avi 10 --trozos 1");
    EXPECT_EQ(falta.estado, 1);
    EXPECT_EQ(falta.errores, "¡ Error al abrir fichero " + (c / "falta.avi") + " !\n");
    const Salida cero = Ejecutar(c, "cortar f.avi 0x0");
    EXPECT_EQ(cero.estado, 1);
    EXPECT_EQ(cero.errores, "¡ Debes indicar un tamaño de trozo mayor que 0 !\n");
    EXPECT_TRUE(Escritos().empty());
}

TEST_F(OrdenCortar, TamanosConUnidadYMasAllaDeTreintaYDosBits) {
    const std::string g = Datos(2100);
    EscribirFichero(c / "g.bin", g);
    EXPECT_EQ(Ejecutar(c, "cortar g.bin 1k").estado, 0);
    EXPECT_EQ(LeerFichero(c / "g.002"), g.substr(1024, 1024));
    EXPECT_EQ(LeerFichero(c / "g.003"), g.substr(2048));
    // A piece larger than 2^32 bytes holds the whole source.
    const Salida grande = Ejecutar(c, "cortar g.bin 9223372036854775807 --esquema hacha");
    EXPECT_EQ(grande.estado, 0) << grande.errores;
    EXPECT_EQ(LeerFichero(c / "g.0"), g);
    for (const char* malo : {"9223372036854775808", "8388608T", "1.5K", "1KiB"}) {
        const Salida s = Ejecutar(c, std::string("cortar g.bin ") + malo + " --destino d");
        EXPECT_EQ(s.estado, 1) << malo;
        EXPECT_EQ(s.errores, "¡ Debes introducir un número válido !\n") << malo;
    }
}

} // namespace
} // namespace quimbel
