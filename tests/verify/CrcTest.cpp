// SPDX-License-Identifier: GPL-3.0-or-later
#include <dlfcn.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>

#include "CrcZlib.h"
#include "parity/Bibliotecas.h"
#include "support/Carpeta.h"
#include "verify/Crc.h"

namespace quimbel {
namespace {

using prueba::CarpetaTemporal;
using prueba::CrcZlib;
using prueba::Datos;
using prueba::EscribirFichero;

class CrcFicheroTest : public ::testing::Test {
  protected:
    void SetUp() override { CargarCrc(CARPETA_CRC32); }
    void TearDown() override { LiberarCrc(); }

    // CrcFichero of a fresh file holding datos.
    std::optional<uint32_t> CrcDe(const std::string& datos) {
        const std::string ruta = carpeta / "f.bin";
        EscribirFichero(ruta, datos);
        return CrcFichero(ruta);
    }

    CarpetaTemporal carpeta;
};

TEST_F(CrcFicheroTest, ValoresConocidos) {
    ASSERT_TRUE(CrcCargada());
    EXPECT_EQ(CrcDe(""), 0x00000000u);
    EXPECT_EQ(CrcDe("123456789"), 0xcbf43926u);
    EXPECT_EQ(CrcDe("The quick brown fox jumps over the lazy dog"), 0x414fa339u);
}

// Around the 1,000,000-byte block: a full last block is followed by a read of nothing.
TEST_F(CrcFicheroTest, BordesDeBloqueIgualQueZlib) {
    for (size_t n :
         {size_t{1}, size_t{999999}, size_t{1000000}, size_t{1000001}, size_t{2000000}, size_t{2000001}}) {
        const std::string datos = Datos(n, static_cast<unsigned>(n));
        EXPECT_EQ(CrcDe(datos), CrcZlib(datos)) << n << " bytes";
    }
}

TEST_F(CrcFicheroTest, TamanosAlAzarIgualQueZlib) {
    std::mt19937 azar(20240611);
    std::uniform_int_distribution<size_t> tamano(0, 3100000);
    for (int i = 0; i < 8; ++i) {
        const size_t n = tamano(azar);
        const std::string datos = Datos(n, static_cast<unsigned>(i + 7));
        EXPECT_EQ(CrcDe(datos), CrcZlib(datos)) << n << " bytes";
    }
}

TEST_F(CrcFicheroTest, RutaQueNoExisteFallaSinMasEfecto) {
    const std::string ruta = carpeta / "no-existe.bin";
    EXPECT_EQ(CrcDe("123456789"), 0xcbf43926u);
    EXPECT_EQ(CrcFichero(ruta), std::nullopt);
    EXPECT_FALSE(prueba::Existe(ruta));
    // A folder is not a file either.
    EXPECT_EQ(CrcFichero(carpeta.Ruta()), std::nullopt);
    // Each call stands alone: the next one computes again.
    EXPECT_EQ(CrcDe(""), 0u);
}

TEST_F(CrcFicheroTest, FalloDeLecturaTrasAbrir) {
    // Opens as a regular file; reading its first page is an I/O error.
    EXPECT_EQ(CrcFichero("/proc/self/mem"), std::nullopt);
}

// The provider itself, called directly: the running-value contract, pieces cut anywhere.
TEST(BibliotecaCrc32, ContratoDelValorEnCurso) {
    const ManejadorBiblioteca h = CargarBiblioteca(NombreBibliotecaCrc, CARPETA_CRC32);
    ASSERT_NE(h, nullptr);
    const auto f = BuscarFuncion<Crc32Funcion>(h, "crc32");
    ASSERT_NE(f, nullptr);
    // Looked up in the library, not in the process's zlib.
    EXPECT_NE(reinterpret_cast<void*>(f), reinterpret_cast<void*>(&::crc32));

    EXPECT_EQ(f(0, nullptr, 0), 0u);
    const std::string datos = Datos(300000, 3);
    const auto* p = reinterpret_cast<const unsigned char*>(datos.data());
    for (uint32_t v : {0u, 1u, 0xcbf43926u, 0xffffffffu})
        EXPECT_EQ(f(v, p, 0), v);

    std::mt19937 azar(7);
    for (int vuelta = 0; vuelta < 50; ++vuelta) {
        std::uniform_int_distribution<size_t> corte(0, datos.size());
        size_t a = corte(azar), b = corte(azar);
        if (a > b) std::swap(a, b);
        uint32_t v = f(0, nullptr, 0);
        v = f(v, p, static_cast<uint32_t>(a));
        v = f(v, p + a, static_cast<uint32_t>(b - a));
        v = f(v, p + b, 0);
        v = f(v, p + b, static_cast<uint32_t>(datos.size() - b));
        ASSERT_EQ(v, CrcZlib(datos)) << "cortes " << a << " y " << b;
    }
    LiberarBiblioteca(h);
}

// The exact calls made for a file, seen by a provider that records them.
class CrcLlamadasTest : public ::testing::Test {
  protected:
    void SetUp() override {
        CargarCrc(CARPETA_CRC32_GRABADORA);
        grabadora_ = dlopen(CARPETA_CRC32_GRABADORA "libcrc32.so", RTLD_NOW | RTLD_NOLOAD);
        ASSERT_NE(grabadora_, nullptr);
    }
    void TearDown() override {
        if (grabadora_ != nullptr) dlclose(grabadora_);
        LiberarCrc();
    }

    std::string LlamadasPara(size_t n) {
        using Borrar = void (*)();
        using Llamadas = const char* (*)();
        BuscarFuncion<Borrar>(grabadora_, "crc32_prueba_borrar")();
        const std::string ruta = carpeta_ / "f.bin";
        EscribirFichero(ruta, std::string(n, 'x'));
        const std::optional<uint32_t> valor = CrcFichero(ruta);
        EXPECT_EQ(valor, n); // the recorder adds the lengths up
        return BuscarFuncion<Llamadas>(grabadora_, "crc32_prueba_llamadas")();
    }

    void* grabadora_ = nullptr;
    CarpetaTemporal carpeta_;
};

TEST_F(CrcLlamadasTest, UnaLecturaMasTrasUnBloqueLleno) {
    EXPECT_EQ(LlamadasPara(0), "null:0");
    EXPECT_EQ(LlamadasPara(5), "null:0 5");
    EXPECT_EQ(LlamadasPara(1000000), "null:0 1000000 0");
    EXPECT_EQ(LlamadasPara(1000001), "null:0 1000000 1");
    EXPECT_EQ(LlamadasPara(2000000), "null:0 1000000 1000000 0");
}

// Without a usable provider every computation fails, and nothing is called. The
// library without the export loads (CrcCargada), but zlib's crc32, which this process
// also has, must not be taken for the missing export.
TEST(CrcSinProveedor, AusenteOSinExportacion) {
    CarpetaTemporal vacia, carpeta;
    EscribirFichero(carpeta / "f.bin", "123456789");
    for (const auto& [origen, cargada] :
         {std::pair{vacia.Ruta(), false}, std::pair{std::string(CARPETA_CRC32_SIN_EXPORTACION), true}}) {
        CargarCrc(origen);
        EXPECT_EQ(CrcCargada(), cargada) << origen;
        EXPECT_EQ(CrcFichero(carpeta / "f.bin"), std::nullopt) << origen;
        LiberarCrc();
        EXPECT_FALSE(CrcCargada());
        EXPECT_EQ(CrcFichero(carpeta / "f.bin"), std::nullopt);
    }
}

} // namespace
} // namespace quimbel
