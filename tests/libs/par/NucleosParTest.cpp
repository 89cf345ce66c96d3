// SPDX-License-Identifier: GPL-3.0-or-later
// Every kernel against the portable one (GF-Complete, OpenSSL), which is the reference:
// every even length to 4 KiB and a few large ones, at every alignment, for one source and
// for many; MD5 lanes of unequal lengths. A kernel the processor lacks is skipped by name.
#include "Galois.h"
#include "Md5Varios.h"
#include "Nucleos.h"
#include "support/Carpeta.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>

namespace quimbel::par {

// Failures name the kernel.
void PrintTo(NucleoGalois n, std::ostream* os) {
    *os << Nombre(n);
}
void PrintTo(NucleoMd5 n, std::ostream* os) {
    *os << Nombre(n);
}

namespace {

template <typename N> std::string NombreDe(const ::testing::TestParamInfo<N>& n) {
    return std::string(Nombre(n.param));
}

// Bytes at a chosen distance past a 64-byte boundary, with guard bytes on both sides.
class Zona {
  public:
    static constexpr size_t Guarda = 64;
    Zona(size_t n, size_t desplazamiento, std::mt19937& azar) : n_(n), memoria_(n + 2 * Guarda + 64 + 63) {
        for (uint8_t& b : memoria_)
            b = static_cast<uint8_t>(azar());
        const auto base = reinterpret_cast<uintptr_t>(memoria_.data());
        inicio_ = static_cast<size_t>((64 - base % 64) % 64) + Guarda + desplazamiento;
        copia_ = memoria_;
    }
    uint8_t* Datos() { return memoria_.data() + inicio_; }
    std::vector<uint8_t> Contenido() const {
        return {memoria_.begin() + static_cast<ptrdiff_t>(inicio_),
                memoria_.begin() + static_cast<ptrdiff_t>(inicio_ + n_)};
    }
    // Whether every byte outside the zone is as it was.
    bool GuardasIntactas() const {
        return std::equal(memoria_.begin(), memoria_.begin() + static_cast<ptrdiff_t>(inicio_),
                          copia_.begin()) &&
               std::equal(memoria_.begin() + static_cast<ptrdiff_t>(inicio_ + n_), memoria_.end(),
                          copia_.begin() + static_cast<ptrdiff_t>(inicio_ + n_));
    }

  private:
    size_t n_, inicio_ = 0;
    std::vector<uint8_t> memoria_, copia_;
};

class NucleoGaloisPar : public ::testing::TestWithParam<NucleoGalois> {
  protected:
    void SetUp() override {
        if (!Disponible(GetParam())) GTEST_SKIP() << "el procesador no tiene " << Nombre(GetParam());
    }

    // The kernel's result for sources and destination at the given offsets, and the
    // reference's on aligned copies; the kernel writes nothing outside the destination.
    void Comparar(size_t n, size_t fuentes, size_t desplazamiento, bool sumar, std::mt19937& azar) {
        std::vector<Zona> origenes, alineados;
        std::vector<uint16_t> factores;
        for (size_t i = 0; i < fuentes; ++i) {
            origenes.emplace_back(n, (desplazamiento + 13 * i) % 64, azar);
            alineados.emplace_back(n, 0, azar);
            std::copy_n(origenes.back().Datos(), n, alineados.back().Datos());
            const auto r = static_cast<uint32_t>(azar());
            factores.push_back(static_cast<uint16_t>(r % 5 == 0 ? 0 : r % 5 == 1 ? 1 : r >> 16));
        }
        Zona destino(n, (desplazamiento * 5 + 3) % 64, azar), esperado(n, 0, azar);
        std::copy_n(destino.Datos(), n, esperado.Datos());
        std::vector<const uint8_t*> p, q;
        for (size_t i = 0; i < fuentes; ++i) {
            p.push_back(origenes[i].Datos());
            q.push_back(alineados[i].Datos());
        }
        nucleo_.Combinar(p, factores, destino.Datos(), n, sumar);
        referencia_.Combinar(q, factores, esperado.Datos(), n, sumar);
        ASSERT_EQ(destino.Contenido(), esperado.Contenido())
            << n << " bytes, " << fuentes << " fuentes, desplazamiento " << desplazamiento << ", sumar "
            << sumar;
        ASSERT_TRUE(destino.GuardasIntactas()) << n << " bytes";
    }

    RegionGalois nucleo_{GetParam()};
    RegionGalois referencia_{NucleoGalois::Portable};
};

TEST_P(NucleoGaloisPar, UnaFuenteEnCadaLargoParYCadaAlineacion) {
    ASSERT_EQ(nucleo_.Nucleo(), GetParam());
    std::mt19937 azar(static_cast<unsigned>(GetParam()));
    std::vector<size_t> largos;
    for (size_t n = 0; n <= 4096; n += 2)
        largos.push_back(n);
    for (size_t n : {size_t{65536 + 30}, size_t{1} << 20, (size_t{1} << 22) + 2})
        largos.push_back(n);
    for (size_t i = 0; i < largos.size(); ++i)
        Comparar(largos[i], 1, i % 64, i % 3 != 0, azar);
}

TEST_P(NucleoGaloisPar, VariasFuentesEnUnaPasada) {
    std::mt19937 azar(7 + static_cast<unsigned>(GetParam()));
    for (size_t fuentes = 0; fuentes <= 17; ++fuentes)
        for (size_t n : {size_t{30}, size_t{32}, size_t{96}, size_t{288}, size_t{1000}, size_t{16384 + 34}})
            Comparar(n, fuentes, fuentes + n, (fuentes + n) % 2 == 0, azar);
}

// Several destinations from the same sources in one call, over regions longer than the
// parts the sources are read in: each as if made alone by the reference.
TEST_P(NucleoGaloisPar, VariosDestinosDeLasMismasFuentes) {
    std::mt19937 azar(21 + static_cast<unsigned>(GetParam()));
    for (const auto& [fuentes, destinos, n] : {std::tuple<size_t, size_t, size_t>{13, 10, 61632 + 62},
                                               {1, 3, 40000},
                                               {40, 2, 1024 + 32},
                                               {5, 0, 64}}) {
        std::vector<Zona> origenes, salidas, esperadas;
        std::vector<const uint8_t*> p;
        for (size_t i = 0; i < fuentes; ++i) {
            origenes.emplace_back(n, 0, azar);
            p.push_back(origenes.back().Datos());
        }
        std::vector<uint16_t> factores;
        std::vector<uint8_t*> q;
        for (size_t d = 0; d < destinos; ++d) {
            salidas.emplace_back(n, d % 3, azar);
            esperadas.emplace_back(n, 0, azar);
            std::copy_n(salidas.back().Datos(), n, esperadas.back().Datos());
            q.push_back(salidas.back().Datos());
            for (size_t i = 0; i < fuentes; ++i)
                factores.push_back(static_cast<uint16_t>(azar()));
        }
        nucleo_.CombinarVarios(p, factores, q, n, true);
        for (size_t d = 0; d < destinos; ++d) {
            referencia_.Combinar(p, std::span(factores).subspan(d * fuentes, fuentes), esperadas[d].Datos(),
                                 n, true);
            ASSERT_EQ(salidas[d].Contenido(), esperadas[d].Contenido())
                << fuentes << " fuentes, destino " << d;
            ASSERT_TRUE(salidas[d].GuardasIntactas());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Nucleos, NucleoGaloisPar, ::testing::ValuesIn(TodosGalois()),
                         NombreDe<NucleoGalois>);

// The conversion of a last part of fewer than 16 words.
TEST(GaloisPar, UnRestoDeMenosDe16PalabrasVaAltosPrimero) {
    uint8_t datos[32 + 6] = {};
    for (uint8_t i = 0; i < sizeof datos; ++i)
        datos[i] = i;
    AFormaAlterna(datos, sizeof datos);
    EXPECT_EQ(std::vector<uint8_t>(datos + 32, datos + 38), (std::vector<uint8_t>{33, 35, 37, 32, 34, 36}));
    AFormaPar(datos, sizeof datos);
    for (uint8_t i = 0; i < sizeof datos; ++i)
        EXPECT_EQ(datos[i], i);
}

class NucleoMd5Par : public ::testing::TestWithParam<NucleoMd5> {
  protected:
    void SetUp() override {
        if (!Disponible(GetParam())) GTEST_SKIP() << "el procesador no tiene " << Nombre(GetParam());
    }
};

// Streams of unequal lengths, some of zeros, more than one kernel pass of lanes, each
// read after every call (at 16 KiB among others) and going on afterwards.
TEST_P(NucleoMd5Par, CadaCarrilIgualQueOpenSsl) {
    constexpr size_t flujos = 37;
    Md5Varios varios(flujos, GetParam());
    ASSERT_EQ(varios.Nucleo(), GetParam());
    std::vector<Md5> referencia(flujos);
    const std::string datos = prueba::Datos(1 << 20, 3);
    std::mt19937 azar(11);
    const size_t largos[] = {0, 1, 55, 56, 63, 64, 65, 119, 120, 127, 128, 1000, 16384, 70000, 200000};
    for (int ronda = 0; ronda < 16; ++ronda) {
        std::vector<Md5Varios::Porcion> porciones;
        for (size_t f = 0; f < flujos; ++f) {
            if (azar() % 4 == 0) continue;
            const size_t n = largos[(f + static_cast<size_t>(ronda) + azar() % 3) % std::size(largos)];
            const size_t desde = azar() % (datos.size() - n);
            const bool ceros = azar() % 5 == 0;
            porciones.push_back({f, ceros ? nullptr : datos.data() + desde, n});
            if (ceros)
                referencia[f].AnadirCeros(n);
            else
                referencia[f].Anadir(datos.data() + desde, n);
        }
        std::shuffle(porciones.begin(), porciones.end(), azar);
        varios.Anadir(porciones);
        for (size_t f = 0; f < flujos; ++f)
            ASSERT_EQ(varios.Valor(f), referencia[f].Valor()) << "ronda " << ronda << ", flujo " << f;
    }
}

// The 16 KiB hash of a piece and its whole digest from one stream.
TEST_P(NucleoMd5Par, LaHuellaDe16KiBYLaDelTodo) {
    const std::string datos = prueba::Datos(50000, 4);
    Md5Varios varios(2, GetParam());
    using P = Md5Varios::Porcion;
    varios.Anadir(std::vector<P>{{0, datos.data(), 16384}, {1, datos.data(), 100}});
    EXPECT_EQ(varios.Valor(0), Md5De(datos.data(), 16384));
    varios.Anadir(
        std::vector<P>{{0, datos.data() + 16384, datos.size() - 16384}, {1, datos.data() + 100, 5}});
    EXPECT_EQ(varios.Valor(0), Md5De(datos.data(), datos.size()));
    EXPECT_EQ(varios.Valor(1), Md5De(datos.data(), 105));
    const Md5Varios vacio(1, GetParam());
    EXPECT_EQ(vacio.Valor(0), Md5De(nullptr, 0));
}

// One stream alone, call after call (the way a single portion goes), data and zeros of
// lengths that end inside a block, on a block's edge and past it.
TEST_P(NucleoMd5Par, UnFlujoSoloLlamadaTrasLlamada) {
    const std::string datos = prueba::Datos(400000, 6);
    Md5Varios varios(3, GetParam());
    Md5 referencia;
    size_t desde = 0;
    for (const size_t n : {size_t{1}, size_t{63}, size_t{64}, size_t{65}, size_t{0}, size_t{127},
                           size_t{1000}, size_t{65536 + 5}, size_t{70000}, size_t{50000}}) {
        varios.Anadir(1, datos.data() + desde, n);
        referencia.Anadir(datos.data() + desde, n);
        desde += n;
        if (n % 2 == 1) {
            varios.Anadir(1, nullptr, 100000 + n);
            referencia.AnadirCeros(100000 + n);
        }
        ASSERT_EQ(varios.Valor(1), referencia.Valor()) << "tras " << n << " bytes";
    }
    EXPECT_EQ(varios.Valor(0), Md5De(nullptr, 0));
}

INSTANTIATE_TEST_SUITE_P(Nucleos, NucleoMd5Par, ::testing::ValuesIn(TodosMd5()), NombreDe<NucleoMd5>);

// A job takes the best kernel there is; one forced but missing gives way to it too.
TEST(NucleosPar, SeEligeElMejorDisponible) {
    const NucleoGalois galois = Elegir(NucleoGalois::Automatico);
    EXPECT_TRUE(Disponible(galois));
    EXPECT_NE(galois, NucleoGalois::Automatico);
    for (NucleoGalois n : TodosGalois())
        EXPECT_EQ(Elegir(n), Disponible(n) ? n : galois) << Nombre(n);
    if (Disponible(NucleoGalois::Avx2)) {
        EXPECT_NE(galois, NucleoGalois::Portable);
    }
    const NucleoMd5 md5 = Elegir(NucleoMd5::Automatico);
    for (NucleoMd5 n : TodosMd5())
        EXPECT_EQ(Elegir(n), Disponible(n) ? n : md5) << Nombre(n);
    if (Disponible(NucleoMd5::Avx512)) {
        EXPECT_EQ(md5, NucleoMd5::Avx512);
    }
}

} // namespace
} // namespace quimbel::par
