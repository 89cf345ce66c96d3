// SPDX-License-Identifier: GPL-3.0-or-later
// Check and repair jobs of the parity library on sets made by Debian's par2 and by the
// library itself, with small bounds so that a job runs on several threads and many stripes.
#include "Creacion.h"
#include "LectorPaquetes.h"
#include "LlamadaPar.h"
#include "TrabajoReparacion.h"
#include "support/Carpeta.h"
#include "tests/libs/par/ApoyoPar.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace quimbel::par {
namespace {

// Jobs in the current folder, as call_par runs them.
const CarpetaDelTrabajo EnCarpetaActual(LLAMADA_PAR_CARPETA_ACTUAL);

using namespace prueba;

std::vector<std::string> lineas;
std::vector<std::string> avances;

int32_t Recoger(const char* texto) {
    (texto[0] == '%' ? avances : lineas).emplace_back(texto);
    return 0;
}

Limites Pequenos() {
    Limites l;
    l.memoria = 1 << 20;
    l.franjaMaxima = 4096;
    l.hilos = 3;
    return l;
}

class ReparacionPar : public ::testing::Test {
  protected:
    // Five files of 8, 8, 4, 13 and 1 slices of 4000 bytes, and 20 recovery slices from par2.
    void SetUp() override {
        for (const auto& [nombre, n] : std::vector<std::pair<std::string, size_t>>{
                 {"a.bin", 30000}, {"b.bin", 30001}, {"c.bin", 12345}, {"d.bin", 50000}, {"e.bin", 7}})
            EscribirFichero(c / nombre, Datos(n, static_cast<unsigned>(n)));
        ASSERT_EQ(Par2("create -q -s4000 -c20 x.par2 a.bin b.bin c.bin d.bin e.bin"), 0);
        original = Contenido(c.Ruta());
    }

    int Ejecutar(const std::string& orden, const std::string& indice = "x.par2",
                 const Limites& l = Pequenos()) {
        lineas.clear();
        avances.clear();
        Avisos avisos(Recoger);
        const std::vector<std::string> v{"par.exe", orden, "-d", c.Ruta(), "--", c / indice};
        return EjecutarReparacion(v, EnCarpetaActual, avisos, l);
    }

    std::string Linea(const std::string& prefijo) const {
        for (const std::string& l : lineas)
            if (l.starts_with(prefijo)) return l;
        return "(ninguna)";
    }

    void Voltear(const std::string& nombre, size_t posicion) const {
        std::string d = LeerFichero(c / nombre);
        d[posicion] = static_cast<char>(d[posicion] ^ 0x5A);
        EscribirFichero(c / nombre, d);
    }

    CarpetaTemporal c;
    EnCarpeta dentro{c.Ruta()};
    std::map<std::string, std::string> original;
};

TEST_F(ReparacionPar, RehaceBorradosDanadosTruncadosYAlargados) {
    std::filesystem::remove(c / "b.bin");                       // 8 slices
    Voltear("a.bin", 12345);                                    // 1
    std::filesystem::resize_file(c / "d.bin", 20000);           // 8
    EscribirFichero(c / "e.bin", original.at("e.bin") + "mas"); // 0: only its length
    const auto antes = Contenido(c.Ruta());
    ASSERT_EQ(Ejecutar("verify"), 1);
    EXPECT_EQ(Contenido(c.Ruta()), antes); // a check writes nothing
    EXPECT_EQ(lineas, (std::vector<std::string>{"    Dañado: " + c / "a.bin" + " (1 bloque)",
                                                " No existe: " + c / "b.bin", "  Correcto: " + c / "c.bin",
                                                "    Dañado: " + c / "d.bin" + " (8 bloques)",
                                                "    Dañado: " + c / "e.bin" + " (0 bloques)",
                                                "Bloques de recuperación: 20 disponibles, 17 necesarios"}));
    EXPECT_EQ(Par2("verify -q x.par2"), 1); // par2 agrees: damaged, repairable

    EscribirFichero(c / "a.bin.1", "ocupado"); // a name taken is never replaced
    ASSERT_EQ(Ejecutar("repair"), 0) << lineas.back();
    EXPECT_EQ(Linea("  Reparado: "), "  Reparado: " + c / "a.bin");
    EXPECT_EQ(LeerFichero(c / "a.bin.1"), "ocupado");
    EXPECT_EQ(LeerFichero(c / "a.bin.2").size(), original.at("a.bin").size());
    EXPECT_EQ(
        std::count_if(lineas.begin(), lineas.end(), [](auto& l) { return l.starts_with("  Reparado: "); }),
        4);
    for (const char* f : {"a.bin", "b.bin", "c.bin", "d.bin", "e.bin"})
        EXPECT_EQ(LeerFichero(c / f), original.at(f)) << f;
    // The damaged files stay beside them; nothing else is left.
    EXPECT_EQ(LeerFichero(c / "e.bin.1"), original.at("e.bin") + "mas");
    EXPECT_EQ(LeerFichero(c / "d.bin.1").size(), 20000u);
    EXPECT_FALSE(Existe(c / "b.bin.1"));
    EXPECT_EQ(Contenido(c.Ruta()).size(), original.size() + 4);
    EXPECT_EQ(Par2("verify -q x.par2"), 0);
    // The progress of the last step ends at its total.
    ASSERT_FALSE(avances.empty());
    const std::string& ultimo = avances.back();
    const size_t barra = ultimo.find('/');
    EXPECT_EQ(ultimo.substr(1, barra - 1), ultimo.substr(barra + 1));
}

// A file of more slices than the MD5 kernel has lanes, each slice longer than the part read at a
// time: damage at both edges of groups of 8, 16 and 32 slices and within parts is found exactly.
TEST(ReparacionParGrande, DanosEnLosBordesDeGruposYPartes) {
    CarpetaTemporal c;
    EnCarpeta dentro{c.Ruta()};
    constexpr size_t Rebanada = 102400;
    const std::string datos = Datos(40 * Rebanada - 1000, 9);
    EscribirFichero(c / "g.bin", datos);
    ASSERT_EQ(Par2("create -q -s102400 -c8 g.par2 g.bin"), 0);
    std::string danado = datos;
    for (const size_t posicion : {size_t{0}, 8 * Rebanada - 1, 16 * Rebanada, 16 * Rebanada + 40000,
                                  31 * Rebanada + 70000, 32 * Rebanada + 32768, datos.size() - 1})
        danado[posicion] = static_cast<char>(danado[posicion] ^ 1);
    EscribirFichero(c / "g.bin", danado);
    lineas.clear();
    Avisos avisos(Recoger);
    const std::vector<std::string> comprobar{"par.exe", "verify", "-d", c.Ruta(), "--", c / "g.par2"};
    ASSERT_EQ(EjecutarReparacion(comprobar, EnCarpetaActual, avisos, Limites{}), 1);
    EXPECT_EQ(lineas.front(), "    Dañado: " + c / "g.bin" + " (6 bloques)");
    const std::vector<std::string> reparar{"par.exe", "repair", "-d", c.Ruta(), "--", c / "g.par2"};
    ASSERT_EQ(EjecutarReparacion(reparar, EnCarpetaActual, avisos, Limites{}), 0);
    EXPECT_EQ(LeerFichero(c / "g.bin"), datos);
}

TEST_F(ReparacionPar, UnBloqueDeMasNoEscribeNiRenombraNada) {
    std::filesystem::remove(c / "a.bin");
    std::filesystem::remove(c / "d.bin");
    Voltear("c.bin", 0);
    const auto antes = Contenido(c.Ruta());
    EXPECT_EQ(Ejecutar("repair"), 1);
    EXPECT_EQ(Linea("Bloques"), "Bloques de recuperación: 20 disponibles, 22 necesarios");
    EXPECT_EQ(lineas.back(), "¡ Faltan 2 bloques de recuperación !");
    EXPECT_EQ(Contenido(c.Ruta()), antes);
    EXPECT_EQ(Par2("verify -q x.par2"), 2);
}

// A recovery packet damaged in the middle is passed over; the rest of its volume serves.
TEST_F(ReparacionPar, UnVolumenDanadoDaSusPaquetesIntactos) {
    const std::string volumen = "x.vol07+8.par2";
    const std::string& d = original.at(volumen);
    uint64_t datos = 0;
    LeerPaquetes(FuenteMemoria(reinterpret_cast<const uint8_t*>(d.data()), d.size()), [&](PaqueteLeido&& p) {
        if (p.tipo == TipoRecuperacion) datos = p.posicion + CabeceraRecuperacion;
    });
    ASSERT_NE(datos, 0u);
    Voltear(volumen, static_cast<size_t>(datos) + 100);
    std::filesystem::remove(c / "b.bin");
    ASSERT_EQ(Ejecutar("repair"), 0) << lineas.back();
    EXPECT_EQ(Linea("Bloques"), "Bloques de recuperación: 19 disponibles, 8 necesarios");
    EXPECT_EQ(LeerFichero(c / "b.bin"), original.at("b.bin"));
}

// The index may be lost: any volume brings the set's description.
TEST_F(ReparacionPar, DesdeUnVolumenSinElIndice) {
    std::filesystem::remove(c / "x.par2");
    std::filesystem::remove(c / "e.bin");
    std::string volumen;
    for (const auto& [nombre, contenido] : original)
        if (nombre.find(".vol") != std::string::npos) volumen = nombre;
    ASSERT_EQ(Ejecutar("repair", volumen), 0) << lineas.back();
    EXPECT_EQ(LeerFichero(c / "e.bin"), original.at("e.bin"));
}

// The slice checksums of c.bin's first slice are wrong: the slice comes back from the recovery
// slices, the rebuilt file does not match its checksums and is removed.
TEST_F(ReparacionPar, UnFicheroRehechoQueNoCoincideSeBorra) {
    for (const auto& [nombre, contenido] : original) {
        if (!nombre.ends_with(".par2")) continue;
        std::string d = contenido;
        LeerPaquetes(
            FuenteMemoria(reinterpret_cast<const uint8_t*>(contenido.data()), contenido.size()),
            [&](PaqueteLeido&& p) {
                // c.bin's checksum packet: 4 slices.
                if (p.tipo != TipoVerificacion || p.largo != CabeceraPaquete + 16 + 4 * 20) return;
                const size_t md5 = static_cast<size_t>(p.posicion) + CabeceraPaquete + 16;
                d[md5] = static_cast<char>(d[md5] ^ 1);
                const Huella h = Md5De(d.data() + p.posicion + PosicionConjunto, p.largo - PosicionConjunto);
                std::copy(h.begin(), h.end(), d.begin() + static_cast<long>(p.posicion + PosicionHash));
            });
        EscribirFichero(c / nombre, d);
    }
    Voltear("c.bin", 5);
    const auto antes = Contenido(c.Ruta());
    EXPECT_EQ(Ejecutar("repair"), 1);
    EXPECT_EQ(lineas.back(),
              "¡ Error, el fichero reparado " + c / "c.bin" + " no coincide con el juego PAR2 !");
    EXPECT_EQ(Contenido(c.Ruta()), antes);
}

// A file rebuilt is checked from the bytes as they are written, never read back: a repair of
// one damaged slice reads the files twice (the check, then the intact slices for the rebuild)
// and the set's files, not the rebuilt file a third time.
TEST_F(ReparacionPar, LoReescritoNoSeVuelveALeer) {
    const auto leidos = [] {
        std::ifstream io("/proc/self/io");
        std::string nombre;
        uint64_t valor = 0;
        while (io >> nombre >> valor)
            if (nombre == "rchar:") return valor;
        return uint64_t{0};
    };
    uint64_t datos = 0, recuperacion = 0;
    for (const auto& [nombre, contenido] : original)
        (nombre.ends_with(".par2") ? recuperacion : datos) += contenido.size();
    Voltear("d.bin", 40000);
    const uint64_t antes = leidos();
    ASSERT_EQ(Ejecutar("repair"), 0) << lineas.back();
    const uint64_t durante = leidos() - antes;
    EXPECT_EQ(LeerFichero(c / "d.bin"), original.at("d.bin"));
    // The rebuild reads every intact slice of the set for the syndromes; d.bin again (50,000
    // bytes) would pass the margin left for the packets and slices read a second time.
    EXPECT_LE(durante, 2 * datos + recuperacion + 25000);
}

// A link at a listed name is read like any input: to an intact file it is whole and stays; to a
// damaged one it is set aside (never written through) and a file takes its place.
TEST_F(ReparacionPar, UnEnlaceEnElNombreSeLeeYNuncaSeEscribe) {
    for (const bool danado : {false, true}) {
        CarpetaTemporal fuera;
        std::string datos = original.at("c.bin");
        if (danado) datos[100] = static_cast<char>(datos[100] ^ 1);
        EscribirFichero(fuera / "c.bin", datos);
        std::filesystem::remove(c / "c.bin");
        std::filesystem::create_symlink(fuera / "c.bin", c / "c.bin");
        ASSERT_EQ(Ejecutar("repair"), 0) << lineas.back();
        EXPECT_EQ(LeerFichero(fuera / "c.bin"), datos);
        EXPECT_EQ(LeerFichero(c / "c.bin"), original.at("c.bin"));
        if (!danado) {
            EXPECT_EQ(Linea("  Correcto: " + c / "c.bin"), "  Correcto: " + c / "c.bin");
            EXPECT_TRUE(std::filesystem::is_symlink(c / "c.bin"));
            EXPECT_EQ(Contenido(c.Ruta()), original);
            continue;
        }
        EXPECT_EQ(Linea("    Dañado: "), "    Dañado: " + c / "c.bin" + " (1 bloque)");
        EXPECT_TRUE(std::filesystem::is_symlink(c / "c.bin.1"));
        EXPECT_FALSE(std::filesystem::is_symlink(c / "c.bin"));
    }
}

// A file that cannot be read (here through a sub-folder link that leads out) is reported with
// its reason, never damaged nor rebuilt; the others are repaired, and the check says 2.
TEST(ReparacionParIlegible, SeDiceElMotivoYNoSeRehace) {
    CarpetaTemporal c, fuera;
    EnCarpeta dentro{c.Ruta()};
    std::filesystem::create_directory(c / "sub");
    EscribirFichero(c / "sub/f.bin", Datos(20000, 3));
    EscribirFichero(c / "g.bin", Datos(20000, 4));
    ASSERT_EQ(Par2("create -q -s4000 -c10 j.par2 sub/f.bin g.bin"), 0);
    std::filesystem::rename(c / "sub", fuera / "sub");
    std::filesystem::create_directory_symlink(fuera / "sub", c / "sub");
    EscribirFichero(c / "g.bin", Datos(20000, 5));
    Avisos avisos(Recoger);
    const auto orden = [&](const char* que) {
        lineas.clear();
        return EjecutarReparacion(std::vector<std::string>{"par.exe", que, "--", "j.par2"}, EnCarpetaActual,
                                  avisos, Pequenos());
    };
    ASSERT_EQ(orden("verify"), 2);
    EXPECT_EQ(lineas[1], "  Ilegible: sub/f.bin (enlace fuera de la carpeta)");
    EXPECT_EQ(orden("repair"), 1);
    EXPECT_EQ(LeerFichero(c / "g.bin"), Datos(20000, 4));
    EXPECT_EQ(LeerFichero(fuera / "sub/f.bin"), Datos(20000, 3));
    EXPECT_FALSE(Existe(fuera / "sub/f.bin.1"));
}

// The open-file bound: many files checked with room for a handful open at once.
TEST(ReparacionParAbiertos, PocosDescriptoresNoDanNadaPorDanado) {
    CarpetaTemporal c;
    EnCarpeta dentro{c.Ruta()};
    std::string nombres;
    for (int i = 0; i < 300; ++i) {
        EscribirFichero(c / ("f" + std::to_string(i)),
                        Datos(100 + static_cast<size_t>(i), static_cast<unsigned>(i)));
        nombres += " f" + std::to_string(i);
    }
    ASSERT_EQ(Par2("create -q -s512 -c4 m.par2" + nombres), 0);
    Limites l = Pequenos();
    l.abiertos = 6;
    Avisos avisos(Recoger);
    lineas.clear();
    ASSERT_EQ(EjecutarReparacion(std::vector<std::string>{"par.exe", "verify", "--", "m.par2"},
                                 EnCarpetaActual, avisos, l),
              0);
    EXPECT_EQ(
        std::count_if(lineas.begin(), lineas.end(), [](auto& x) { return x.starts_with("  Correcto: "); }),
        300);
}

TEST_F(ReparacionPar, UnIndiceQueNoEsUnJuego) {
    EscribirFichero(c / "nada.par2", "PAR2\0PKT no es un paquete");
    EXPECT_EQ(Ejecutar("verify", "nada.par2"), 2);
    EXPECT_EQ(lineas, std::vector<std::string>{"¡ " + c / "nada.par2" + " no es un juego PAR2 válido !"});
    EXPECT_EQ(Ejecutar("repair", "falta.par2"), 2);
    EXPECT_EQ(lineas.back(), "¡ Error al abrir fichero " + c / "falta.par2" + " !");
}

// The library's own sets: one slice per piece.
TEST(ReparacionParPropia, UnJuegoDelPasoDeCorte) {
    CarpetaTemporal c;
    EnCarpeta dentro{c.Ruta()};
    const auto trozos = EscribirTrozos(c.Ruta(), "p", {70000, 70000, 70000, 70000, 1234});
    Avisos avisos(Recoger);
    std::vector<std::string> crear{"par.exe", "add", "-n2", "--", "p.par"};
    crear.insert(crear.end(), trozos.begin(), trozos.end());
    ASSERT_EQ(EjecutarPar(crear, EnCarpetaActual, avisos, Limites{}), 0);
    const auto original = Contenido(c.Ruta());
    std::filesystem::remove(c / "p.002");
    std::filesystem::resize_file(c / "p.005", 1000);
    lineas.clear();
    const std::vector<std::string> reparar{"par.exe", "repair", "--", "p.par2"};
    ASSERT_EQ(EjecutarReparacion(reparar, EnCarpetaActual, avisos, Pequenos()), 0) << lineas.back();
    for (const std::string& t : trozos)
        EXPECT_EQ(LeerFichero(c / t), original.at(t)) << t;
    EXPECT_EQ(lineas.front(), "  Correcto: p.001");
    EXPECT_EQ(Par2("verify -q p.par2"), 0);
}

} // namespace
} // namespace quimbel::par
