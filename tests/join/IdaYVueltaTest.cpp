// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "AyudaUnir.h"
#include "files/Rutas.h"
#include "files/Trozos.h"
#include "join/AnalisisUnir.h"
#include "join/PropuestaDestino.h"
#include "join/Union.h"
#include "split/Corte.h"
#include "support/Carpeta.h"
#include "support/Grabadora.h"
#include "support/PlanEnVigor.h"

namespace quimbel {
namespace {

using namespace prueba;

EntradaCorte Corte(const std::string& fuente, const std::string& destino, int64_t p, TipoCorte tipo,
                   std::optional<std::vector<bool>> marcas = std::nullopt) {
    EntradaCorte e;
    e.fuente = fuente;
    e.destino = destino;
    e.tamano = std::to_string(p);
    e.tipo = tipo;
    if (marcas) PonerPlanEnVigor(e, std::move(*marcas));
    return e;
}

// The piece a user picks to join a set: the ".fin", the .0 or the first numbered one.
std::string TrozoElegido(const std::string& fuente, const std::string& carpeta, int64_t n, TipoCorte tipo) {
    return NombreTrozo(fuente, carpeta, tipo == TipoCorte::CortaArchivos ? n : 1, n, tipo);
}

// Analyses the chosen piece and joins it to the name the window would put in the destination box.
std::string AnalizarYUnir(const std::string& elegido) {
    Grabadora v;
    const AnalisisUnir a = AnalizarFicheroUnir(v, elegido);
    EXPECT_TRUE(a.correcto) << (v.errores.empty() ? "" : v.errores[0]);
    EXPECT_TRUE(v.errores.empty() && v.informaciones.empty());
    const std::string destino = a.destino ? *a.destino : PropuestaDestino(elegido, "", a.plan).value_or("");
    EXPECT_TRUE(Unir(v, {elegido, destino, a.plan}));
    return destino;
}

TEST(IdaYVuelta, CadaEsquemaRecomponeLaFuenteDesdeElTrozoQueSeElige) {
    CarpetaTemporal origen;
    const std::string fuente = origen / "pelicula.avi";
    const std::vector<std::pair<int64_t, int64_t>> tamanos{
        {1, 10},  {9, 10},  {10, 10}, {11, 10}, {13, 100},          {14, 100},         {30, 10},
        {31, 10}, {5, 100}, {13, 5},  {25, 1},  {2500001, 1000000}, {2000000, 1000000}};
    for (const TipoCorte tipo : {TipoCorte::Normal, TipoCorte::CortaArchivos, TipoCorte::Hacha}) {
        for (const auto& [s, p] : tamanos) {
            SCOPED_TRACE(testing::Message()
                         << "esquema " << static_cast<int>(tipo) << " S " << s << " P " << p);
            CarpetaTemporal trozos;
            const std::string datos = Datos(static_cast<size_t>(s), static_cast<unsigned>(s + p));
            EscribirFichero(fuente, datos);
            Grabadora v;
            ASSERT_TRUE(Cortar(v, Corte(fuente, trozos.Ruta(), p, tipo)).finalizado);
            const std::string elegido = TrozoElegido(fuente, trozos.Ruta(), NumeroTrozos(s, p), tipo);
            const std::string destino = QuitarComillas(AnalizarYUnir(elegido));
            const std::string unido = destino.find('/') == std::string::npos ? trozos / destino : destino;
            EXPECT_EQ(unido, trozos / "pelicula.avi");
            EXPECT_TRUE(LeerFichero(unido) == datos);
        }
    }
}

// Writes a mark into a file at a position.
void Marcar(const std::string& ruta, int64_t posicion, std::string_view marca) {
    const int fd = open(ruta.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(pwrite(fd, marca.data(), marca.size(), static_cast<off_t>(posicion)),
              static_cast<ssize_t>(marca.size()));
    close(fd);
}

std::string LeerEn(const std::string& ruta, int64_t posicion, size_t n) {
    std::string bytes(n, '\0');
    const int fd = open(ruta.c_str(), O_RDONLY);
    const ssize_t leidos = fd < 0 ? -1 : pread(fd, bytes.data(), n, static_cast<off_t>(posicion));
    if (fd >= 0) close(fd);
    bytes.resize(leidos < 0 ? 0 : static_cast<size_t>(leidos));
    return bytes;
}

std::string MarcaDeTrozo(int64_t k) {
    return "<trozo " + std::to_string(k) + ">";
}

// A source just over 2 GiB, all holes but a mark near the start of every piece, one across 2 GiB
// and one at its end. The split writes the pieces around 2 GiB, the first (with its header) and
// the last; every other piece is made by hand as what the split writes for it, a hole of P bytes
// with its mark. The join writes the whole file, in memory where it can, which is then checked
// at every piece's mark, in the middle of every piece and across 2 GiB.
TEST(IdaYVuelta, UnaFuenteDeMasDe2GiBSobreviveALaIdaYVuelta) {
    const int64_t p = int64_t{64} << 20;
    const int64_t s = (int64_t{2} << 30) + p + 7;
    const std::string base = CarpetaEnMemoria(s + (int64_t{1} << 30));
    CarpetaTemporal origen(base);
    CarpetaTemporal trozos(base);
    if (!HayEspacio(trozos.Ruta(), s + (int64_t{1} << 30)))
        GTEST_SKIP() << "less than 3 GiB free for the joined file";
    const std::string fuente = origen / "disco.img";
    const int64_t n = NumeroTrozos(s, p);
    const int64_t dosGiB = int64_t{1} << 31;
    ASSERT_EQ(n, 34);
    FicheroDisperso(fuente, s);
    for (int64_t k = 1; k < n; ++k)
        Marcar(fuente, (k - 1) * p + 100, MarcaDeTrozo(k));
    Marcar(fuente, dosGiB - 5, "cruza-2GiB");
    Marcar(fuente, s - 7, "el-fin!");

    std::vector<bool> marcas(static_cast<size_t>(n), false);
    for (const int64_t k : {int64_t{1}, dosGiB / p, dosGiB / p + 1, n})
        marcas[static_cast<size_t>(k - 1)] = true;
    Grabadora v;
    ASSERT_TRUE(Cortar(v, Corte(fuente, trozos.Ruta(), p, TipoCorte::Hacha, marcas)).finalizado);
    for (int64_t k = 1; k <= n; ++k) {
        if (marcas[static_cast<size_t>(k - 1)]) continue;
        const std::string trozo = NombreTrozo(fuente, trozos.Ruta(), k, n, TipoCorte::Hacha);
        FicheroDisperso(trozo, p);
        Marcar(trozo, 100, MarcaDeTrozo(k));
    }

    const AnalisisUnir a = AnalizarFicheroUnir(v, trozos / "disco.0");
    ASSERT_TRUE(a.correcto);
    EXPECT_EQ(a.tamUnido, s);
    EXPECT_EQ(a.tamTrozo, p);
    EXPECT_EQ(a.trozos, n);
    EXPECT_EQ(a.destino, "disco.img");
    ASSERT_TRUE(Unir(v, {trozos / "disco.0", *a.destino, a.plan}));
    const std::string unido = trozos / "disco.img";
    struct stat st {};
    ASSERT_EQ(stat(unido.c_str(), &st), 0);
    EXPECT_EQ(st.st_size, s);
    const std::string ceros(4096, '\0');
    for (int64_t k = 1; k < n; ++k) {
        EXPECT_EQ(LeerEn(unido, (k - 1) * p + 100, MarcaDeTrozo(k).size()), MarcaDeTrozo(k));
        EXPECT_EQ(LeerEn(unido, (k - 1) * p + p / 2, ceros.size()), ceros);
    }
    EXPECT_EQ(LeerEn(unido, dosGiB - 5, 10), "cruza-2GiB");
    EXPECT_EQ(LeerEn(unido, s - 7, 100), "el-fin!");
}

} // namespace
} // namespace quimbel
