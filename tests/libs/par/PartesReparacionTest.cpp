// SPDX-License-Identifier: GPL-3.0-or-later
// The parts of a repair that par2 alone does not show: the GF(2^16) solver, the packet
// reader on damaged bytes, and the checks on crafted sets.
#include "Galois.h"
#include "JuegoLeido.h"
#include "LectorPaquetes.h"
#include "Solucion.h"
#include "SumaCrc.h"
#include "support/Carpeta.h"

#include <gtest/gtest.h>

#include <random>

namespace quimbel::par {
namespace {

// Loses `faltan` of n random slices, solves with the recovery slices of `exponentes` on
// `hilos` threads and rebuilds them by the solution's factors; each must come back.
void ComprobarSolucion(const std::vector<size_t>& faltan, const std::vector<uint32_t>& exponentes,
                       const std::vector<uint32_t>& esperados, size_t n = 12, unsigned hilos = 1) {
    const TablasGalois& t = TablasGalois::Unicas();
    std::mt19937 gen(7);
    constexpr size_t Palabras = 4; // per slice
    std::vector<std::vector<uint16_t>> rebanadas(n, std::vector<uint16_t>(Palabras));
    for (auto& r : rebanadas)
        for (uint16_t& w : r)
            w = static_cast<uint16_t>(gen());
    const std::vector<uint32_t> logaritmos = LogaritmosDeEntrada(static_cast<uint32_t>(n));
    std::vector<uint32_t> suyos;
    std::vector<bool> falta(n, false);
    for (size_t f : faltan) {
        suyos.push_back(logaritmos[f]);
        falta[f] = true;
    }
    Solucion s;
    size_t rango = 0;
    Avisos avisos(nullptr);
    ASSERT_EQ(Resolver(suyos, exponentes, s, rango, uint64_t{1} << 30, hilos, avisos), Resuelto::Si);
    EXPECT_EQ(rango, faltan.size());
    EXPECT_EQ(s.exponentes, esperados);
    // Syndromes: each recovery slice used, less the intact slices' share, straight from the
    // definition: the missing slices' own share.
    const size_t m = faltan.size();
    std::vector<std::vector<uint16_t>> sindromes;
    for (uint32_t e : s.exponentes) {
        std::vector<uint16_t> sin(Palabras, 0);
        for (size_t f : faltan)
            for (size_t w = 0; w < Palabras; ++w)
                sin[w] ^= t.Multiplicar(t.Coeficiente(logaritmos[f], e), rebanadas[f][w]);
        sindromes.push_back(sin);
    }
    for (size_t k = 0; k < m; ++k) {
        std::vector<uint16_t> rehecha(Palabras, 0);
        for (size_t j = 0; j < m; ++j)
            for (size_t w = 0; w < Palabras; ++w)
                rehecha[w] ^= t.Multiplicar(s.factores[k * m + j], sindromes[j][w]);
        ASSERT_EQ(rehecha, rebanadas[faltan[k]]) << "rebanada " << faltan[k];
    }
}

TEST(SolucionPar, RehaceLasRebanadasQueFaltan) {
    ComprobarSolucion({3}, {0, 1, 2}, {0});
    ComprobarSolucion({0, 5, 11}, {0, 1, 2, 3}, {0, 1, 2});
    ComprobarSolucion({1, 2, 4, 6, 7, 9, 10}, {4, 9, 20, 33, 61, 64, 100, 200}, {4, 9, 20, 33, 61, 64, 100});
}

// Many unknowns on several threads: a run of consecutive exponents (the Vandermonde inverse,
// from the first run long enough) and exponents with gaps (the elimination) both solve.
TEST(SolucionPar, MuchasIncognitasConYSinRacha) {
    std::vector<size_t> faltan;
    for (size_t i = 0; i < 600; i += 2)
        faltan.push_back(i + (i % 7 == 0 ? 1 : 0));
    std::vector<uint32_t> racha, huecos;
    for (uint32_t e = 0; e < 20; ++e)
        racha.push_back(e * 3);
    for (uint32_t e = 100; e < 100 + 300; ++e)
        racha.push_back(e);
    ComprobarSolucion(faltan, racha, std::vector<uint32_t>(racha.begin() + 20, racha.end()), 700, 3);
    for (uint32_t e = 5; huecos.size() < 310; ++e)
        if (e % 41 != 0) huecos.push_back(e);
    ComprobarSolucion(faltan, huecos, std::vector<uint32_t>(huecos.begin(), huecos.begin() + 300), 700, 3);
}

// Exponents that differ by the field's order give the same equation: the second is passed
// over for the next recovery slice.
TEST(SolucionPar, UnaEleccionSingularTomaOtraRebanada) {
    ComprobarSolucion({2, 8}, {1, 1 + OrdenGalois, 5}, {1, 5});
    ComprobarSolucion({2, 8, 9}, {7, 7 + OrdenGalois, 7 + 2 * OrdenGalois, 0, 3}, {7, 0, 3});
    ComprobarSolucion({2, 8, 9}, {7, 7 + OrdenGalois, 0, 3}, {7, 3, 0}, 12, 2);
}

TEST(SolucionPar, SinBastantesEcuacionesDiceCuantasHay) {
    const std::vector<uint32_t> logaritmos = LogaritmosDeEntrada(4);
    Solucion s;
    size_t rango = 9;
    Avisos avisos(nullptr);
    const uint64_t memoria = uint64_t{1} << 20;
    EXPECT_EQ(Resolver(logaritmos, std::vector<uint32_t>{0, 1}, s, rango, memoria, 1, avisos),
              Resuelto::SinRango);
    EXPECT_EQ(rango, 2u);
    EXPECT_EQ(Resolver(logaritmos, std::vector<uint32_t>{4, 4 + OrdenGalois, 4 + 2 * OrdenGalois}, s, rango,
                       memoria, 2, avisos),
              Resuelto::SinRango);
    EXPECT_EQ(rango, 1u);
    // A dependent row with no exponent left still lets the later rows count.
    EXPECT_EQ(
        Resolver(logaritmos, std::vector<uint32_t>{4, 4 + OrdenGalois, 9, 11}, s, rango, memoria, 1, avisos),
        Resuelto::SinRango);
    EXPECT_EQ(rango, 3u);
    EXPECT_TRUE(s.exponentes.empty() && s.factores.empty());
    EXPECT_EQ(Resolver({}, std::vector<uint32_t>{}, s, rango, 0, 1, avisos), Resuelto::Si);
    // The memory bound is the one given, whatever the machine has.
    const std::vector<uint32_t> racha{0, 1, 2, 3};
    EXPECT_EQ(Resolver(logaritmos, racha, s, rango, MemoriaResolver(4, racha) - 1, 1, avisos),
              Resuelto::SinMemoria);
    EXPECT_EQ(Resolver(logaritmos, racha, s, rango, MemoriaResolver(4, racha), 1, avisos), Resuelto::Si);
}

// The rolling CRC-32 of every window equals the direct sum, for windows of one byte, of a few
// and of more than the data's table reach; zero padding in O(log n) equals the zeros summed.
TEST(CrcPar, LaVentanaDeslizanteDaLaSumaDeCadaPosicion) {
    const std::string datos = prueba::Datos(3000, 5);
    const auto* d = reinterpret_cast<const uint8_t*>(datos.data());
    for (const size_t ventana : {size_t{1}, size_t{4}, size_t{257}, size_t{2048}}) {
        const CrcDeslizante deslizante(ventana);
        uint32_t r = CrcDeslizante::Registro(SumarCrc(0, d, ventana));
        for (size_t p = 0;; ++p) {
            ASSERT_EQ(CrcDeslizante::Crc(r), SumarCrc(0, d + p, ventana)) << ventana << " en " << p;
            if (p + ventana == datos.size()) break;
            r = deslizante.Mover(r, d[p], d[p + ventana]);
        }
    }
    const std::vector<uint8_t> ceros(100000, 0);
    for (const size_t n : {size_t{0}, size_t{1}, size_t{63}, size_t{4096}, size_t{99999}})
        EXPECT_EQ(SumarCerosCrc(SumarCrc(0, d, 10), n), SumarCrc(SumarCrc(0, d, 10), ceros.data(), n)) << n;
}

Bytes Unir(std::initializer_list<Bytes> partes) {
    Bytes todo;
    for (const Bytes& p : partes)
        todo.insert(todo.end(), p.begin(), p.end());
    return todo;
}

// The one packet of the bytes.
PaqueteLeido Uno(const Bytes& paquete);

std::vector<PaqueteLeido> Leer(const Bytes& datos) {
    std::vector<PaqueteLeido> leidos;
    EXPECT_TRUE(LeerPaquetes(FuenteMemoria(datos.data(), datos.size()),
                             [&](PaqueteLeido&& p) { leidos.push_back(std::move(p)); }));
    return leidos;
}

PaqueteLeido Uno(const Bytes& paquete) {
    auto leidos = Leer(paquete);
    EXPECT_EQ(leidos.size(), 1u);
    return std::move(leidos.at(0));
}

TEST(LectorPaquetes, PasaLoDanadoYEncuentraLoQueSigue) {
    const Huella conjunto = Md5De("x", 1);
    const Bytes a = Paquete(conjunto, TipoCreador, CuerpoCreador("uno"));
    const Bytes b = Paquete(conjunto, TipoCreador, CuerpoCreador("dos"));
    Bytes roto = Paquete(conjunto, TipoCreador, CuerpoCreador("tres"));
    roto[65] ^= 1;
    // Headers whose length takes in the next packet, or runs past the end: the packets they
    // claim to hold are still found.
    Bytes miente = Paquete(conjunto, TipoCreador, CuerpoCreador("cuatro"));
    miente[8] = static_cast<uint8_t>(miente.size() + b.size());
    Bytes otraMiente = Paquete(conjunto, TipoCreador, CuerpoCreador("cinco"));
    otraMiente[14] = 0x7F;
    const Bytes basura(37, 0x50);
    const Bytes datos =
        Unir({basura, a, roto, otraMiente, miente, b, basura, Bytes(a.begin(), a.begin() + 40)});
    const auto leidos = Leer(datos);
    ASSERT_EQ(leidos.size(), 2u);
    EXPECT_EQ(leidos[0].posicion, basura.size());
    EXPECT_EQ(leidos[0].cuerpo, CuerpoCreador("uno"));
    EXPECT_EQ(leidos[1].cuerpo, CuerpoCreador("dos"));
    EXPECT_EQ(leidos[1].posicion, basura.size() + a.size() + roto.size() + otraMiente.size() + miente.size());
}

TEST(LectorPaquetes, UnaRebanadaDeRecuperacionSeComprueba) {
    const Huella conjunto = Md5De("y", 1);
    Bytes cuerpo{9, 0, 0, 0};
    const std::string datos = prueba::Datos(3000, 4);
    cuerpo.insert(cuerpo.end(), datos.begin(), datos.end());
    const Bytes paquete = Paquete(conjunto, TipoRecuperacion, cuerpo);
    const auto leidos = Leer(paquete);
    ASSERT_EQ(leidos.size(), 1u);
    EXPECT_EQ(leidos[0].exponente, 9u);
    EXPECT_TRUE(leidos[0].cuerpo.empty()); // the data stay on disk
    Bytes danado = paquete;
    danado[2000] ^= 0x80;
    EXPECT_TRUE(Leer(danado).empty());
}

// How a set was put together: valid, without a main packet, or refused; the failure's line in error.
enum class EstadoJuego { Valido, SinPrincipal, Invalido };
EstadoJuego Armar(Recogida& r, JuegoLeido& juego, std::string& error) {
    const Fallo fallo = ArmarJuego(r, "i.par2", juego);
    error = fallo ? fallo->linea : "";
    if (!fallo) return EstadoJuego::Valido;
    EXPECT_TRUE(fallo->codigo == CodigoFallo::SinJuego || fallo->codigo == CodigoFallo::JuegoNoValido);
    return fallo->codigo == CodigoFallo::SinJuego ? EstadoJuego::SinPrincipal : EstadoJuego::Invalido;
}

// A set of one file "a.bin" described in full, with its parts open to tampering.
struct JuegoHecho {
    uint64_t rebanada = 8;
    std::string nombre = "a.bin";
    uint64_t tamano = 20;
    std::vector<Huella> ids;
    bool describir = true;
    uint32_t huellas = 3;

    EstadoJuego Armar(std::string& error, JuegoLeido& juego) const {
        const Huella inicio = Md5De("i", 1);
        const Huella id = IdDeFichero(inicio, tamano, nombre);
        const std::vector<Huella> lista = ids.empty() ? std::vector<Huella>{id} : ids;
        const Bytes principal = CuerpoPrincipal(rebanada, lista);
        const Huella conjunto = Md5De(principal.data(), principal.size());
        Recogida r;
        r.Anadir(0, Uno(Paquete(conjunto, TipoPrincipal, principal)));
        if (describir)
            r.Anadir(0, Uno(Paquete(conjunto, TipoDescripcion,
                                    CuerpoDescripcion(id, inicio, inicio, tamano, nombre))));
        r.Anadir(0, Uno(Paquete(conjunto, TipoVerificacion,
                                CuerpoVerificacion(id, std::vector<HuellaRebanada>(huellas)))));
        return par::Armar(r, juego, error);
    }
};

TEST(JuegoPar, UnJuegoBienHecho) {
    JuegoLeido juego;
    std::string error;
    ASSERT_EQ(JuegoHecho{}.Armar(error, juego), EstadoJuego::Valido) << error;
    ASSERT_EQ(juego.ficheros.size(), 1u);
    EXPECT_EQ(juego.ficheros[0].nombre, "a.bin");
    EXPECT_EQ(juego.ficheros[0].rebanadas, 3u);
    EXPECT_EQ(juego.ficheros[0].huellas.size(), 3u);
    EXPECT_EQ(juego.rebanadas, 3u);
    // A checksum packet that does not give one entry per slice is left out.
    JuegoHecho otro;
    otro.huellas = 2;
    ASSERT_EQ(otro.Armar(error, juego), EstadoJuego::Valido);
    EXPECT_TRUE(juego.ficheros[0].huellas.empty());
}

TEST(JuegoPar, JuegosFabricadosSeRechazanConSuMensaje) {
    const auto rechazo = [](JuegoHecho j) {
        JuegoLeido juego;
        std::string error;
        EXPECT_EQ(j.Armar(error, juego), EstadoJuego::Invalido);
        return error;
    };
    JuegoHecho j;
    j.rebanada = 0;
    EXPECT_EQ(rechazo(j), "¡ Error, tamaño de bloque no válido en el juego PAR2 i.par2 !");
    j.rebanada = 6;
    EXPECT_EQ(rechazo(j), "¡ Error, tamaño de bloque no válido en el juego PAR2 i.par2 !");
    j.rebanada = uint64_t{1} << 40;
    EXPECT_EQ(rechazo(j), "¡ Error, tamaño de bloque no válido en el juego PAR2 i.par2 !");
    j = {};
    j.tamano = uint64_t{1} << 40;
    EXPECT_EQ(rechazo(j), "¡ Error, demasiados bloques en el juego PAR2 i.par2 !");
    for (const char* nombre :
         {"../fuera", "/etc/passwd", "sub/../../x", "a//b", "./a", "a/", "linea\nfalsa"}) {
        j = {};
        j.nombre = nombre;
        EXPECT_EQ(rechazo(j).rfind("¡ Error, nombre de fichero no válido en el juego PAR2: ", 0), 0u)
            << nombre;
    }
    j = {};
    j.nombre = "sub/dentro.bin";
    JuegoLeido juego;
    std::string error;
    EXPECT_EQ(j.Armar(error, juego), EstadoJuego::Valido) << error;
    j = {};
    j.ids = {Md5De("1", 1), Md5De("1", 1)};
    EXPECT_EQ(rechazo(j), "¡ Error, lista de ficheros no válida en el juego PAR2 i.par2 !");
}

// A file without description loses only its own slices: their count from its checksums
// keeps the numbering; without them the slices after it have no number.
TEST(JuegoPar, UnFicheroSinDescripcionQuedaSinNombre) {
    for (const uint32_t huellas : {3u, 0u}) {
        JuegoHecho j;
        j.describir = false;
        j.huellas = huellas;
        JuegoLeido juego;
        std::string error;
        ASSERT_EQ(j.Armar(error, juego), EstadoJuego::Valido) << error;
        ASSERT_EQ(juego.ficheros.size(), 1u);
        EXPECT_FALSE(juego.ficheros[0].descrito);
        EXPECT_EQ(juego.ficheros[0].rebanadas, huellas);
        EXPECT_EQ(juego.rebanadas, huellas);
        EXPECT_TRUE(juego.numerado);
    }
    JuegoLeido juego;
    std::string error;
    // Its checksum packet gone too.
    const std::vector<Huella> ids{IdDeFichero(Md5De("i", 1), 20, "a.bin")};
    const Bytes principal = CuerpoPrincipal(8, ids);
    Recogida r;
    r.Anadir(0, Uno(Paquete(Md5De(principal.data(), principal.size()), TipoPrincipal, principal)));
    ASSERT_EQ(Armar(r, juego, error), EstadoJuego::Valido) << error;
    EXPECT_FALSE(juego.numerado);
}

TEST(JuegoPar, SinPaquetePrincipalValidoNoHayJuego) {
    Recogida r;
    const Bytes principal = CuerpoPrincipal(8, {});
    // Its set ID must be the MD5 of its body.
    r.Anadir(0, Uno(Paquete(Md5De("otro", 4), TipoPrincipal, principal)));
    // A file count beyond the IDs it holds.
    const std::vector<Huella> una{Md5De("f", 1)};
    Bytes enorme = CuerpoPrincipal(8, una);
    enorme[8] = 0xFF;
    enorme[11] = 0x7F;
    r.Anadir(0, Uno(Paquete(Md5De(enorme.data(), enorme.size()), TipoPrincipal, enorme)));
    JuegoLeido juego;
    std::string error;
    EXPECT_EQ(Armar(r, juego, error), EstadoJuego::SinPrincipal);
    EXPECT_EQ(error, "¡ i.par2 no es un juego PAR2 válido !");
}

} // namespace
} // namespace quimbel::par
