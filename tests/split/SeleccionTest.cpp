// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "AyudaCorte.h"
#include "files/Entero.h"
#include "files/FormatoMiles.h"
#include "split/ListaTrozos.h"

namespace quimbel {
namespace {

using namespace prueba;

constexpr TipoCorte Esquemas[] = {TipoCorte::Normal, TipoCorte::CortaArchivos, TipoCorte::Hacha};

std::vector<bool> Elegidos(int64_t n, std::initializer_list<int64_t> ks) {
    std::vector<bool> marcas(static_cast<size_t>(n), false);
    for (const int64_t k : ks)
        marcas[static_cast<size_t>(k - 1)] = true;
    return marcas;
}

class Seleccion : public ::testing::Test {
  protected:
    CarpetaTemporal c;
    Grabadora v;
};

TEST_F(Seleccion, SoloLosTrozosElegidosConLosNombresYDatosDeSuPosicion) {
    const std::string datos = Datos(65);
    EscribirFichero(c / "nombre", datos);
    for (const TipoCorte tipo : Esquemas) {
        SCOPED_TRACE(static_cast<int>(tipo));
        CarpetaTemporal d;
        EntradaCorte e = Entrada(c / "nombre", d.Ruta(), 10, tipo);
        PonerPlanEnVigor(e, Elegidos(7, {2, 5}));
        Grabadora g;
        EXPECT_TRUE(Cortar(g, e).finalizado);
        for (int64_t k = 1; k <= 7; ++k) {
            const std::string trozo = NombreTrozo(c / "nombre", d.Ruta(), k, 7, tipo);
            EXPECT_EQ(Existe(trozo), k == 2 || k == 5) << trozo;
        }
        // Neither piece carries a header, whatever the scheme.
        EXPECT_EQ(LeerFichero(NombreTrozo(c / "nombre", d.Ruta(), 2, 7, tipo)), datos.substr(10, 10));
        EXPECT_EQ(LeerFichero(NombreTrozo(c / "nombre", d.Ruta(), 5, 7, tipo)), datos.substr(40, 10));
        const auto linea = [&](int64_t k) {
            return "Creando trozo " + std::to_string(k) + " : " +
                   NombreTrozo(c / "nombre", d.Ruta(), k, 7, tipo);
        };
        EXPECT_EQ(g.Memo(Memo::Cortar),
                  (std::vector<std::string>{"Creando trozos...", linea(2), linea(5), "", ""}));
    }
    // The header comes with the piece that carries it, and only then.
    CarpetaTemporal d;
    EntradaCorte e = Entrada(c / "nombre", d.Ruta(), 10, TipoCorte::CortaArchivos);
    PonerPlanEnVigor(e, Elegidos(7, {7}));
    EXPECT_TRUE(Cortar(v, e).finalizado);
    const std::string cabeceraCA("\x07"
                                 "cortarc\x07\x00\x00\x00\x00",
                                 13);
    EXPECT_EQ(LeerFichero(d / "nombre.fin"), cabeceraCA + datos.substr(60));
    e = Entrada(c / "nombre", d.Ruta(), 10, TipoCorte::Hacha);
    PonerPlanEnVigor(e, Elegidos(7, {1}));
    v.respuestasReemplazar = {true}; // the other scheme's ".fin" goes aside
    EXPECT_TRUE(Cortar(v, e).finalizado);
    EXPECT_EQ(LeerFichero(d / "nombre.0"),
              std::string("?????\x1e\0\0\0", 9) + "?????nombre?????65?????10?????" + datos.substr(0, 10));
    EXPECT_FALSE(Existe(d / "nombre.6"));
}

TEST_F(Seleccion, VariasPasadasCompletanUnJuego) {
    const std::string datos = Datos(65, 7);
    EscribirFichero(c / "v.bin", datos);
    for (const TipoCorte tipo : Esquemas) {
        SCOPED_TRACE(static_cast<int>(tipo));
        CarpetaTemporal d;
        for (const auto& ks : {std::initializer_list<int64_t>{4, 1}, {2, 5, 7}, {3, 6}}) {
            EntradaCorte e = Entrada(c / "v.bin", d.Ruta(), 10, tipo);
            PonerPlanEnVigor(e, Elegidos(7, ks));
            Grabadora g;
            EXPECT_TRUE(Cortar(g, e).finalizado);
            EXPECT_EQ(g.Memo(Memo::Cortar).size(), ks.size() + 3);
        }
        std::string junto;
        for (int64_t k = 1; k <= 7; ++k)
            junto += DatosDeTrozo(NombreTrozo(c / "v.bin", d.Ruta(), k, 7, tipo), tipo, k, 7);
        EXPECT_EQ(junto, datos);
    }
}

TEST_F(Seleccion, NadaElegidoNoEmpiezaYMuestraLaLista) {
    EscribirFichero(c / "f", Datos(30));
    v.memos[Memo::Cortar] = {"anterior"};
    EntradaCorte e = Entrada(c / "f", "", 10, TipoCorte::Normal);
    PonerPlanEnVigor(e, Elegidos(3, {}));
    EXPECT_FALSE(Cortar(v, e).finalizado);
    EXPECT_EQ(v.errores, std::vector<std::string>{"¡ Debes seleccionar los trozos del fichero a extraer !"});
    EXPECT_EQ(v.pagina, Pagina::Extraer);
    EXPECT_EQ(v.Memo(Memo::Cortar), std::vector<std::string>{"anterior"});
    EXPECT_FALSE(Existe(c / "f.001"));
    EXPECT_TRUE(v.planes.empty());
}

TEST_F(Seleccion, PlanEnVigorParaLasMismasEntradasNoSeRehace) {
    EscribirFichero(c / "f", Datos(30));
    EntradaCorte e = Entrada(c / "f", "", 10, TipoCorte::Hacha);
    PonerPlanEnVigor(e, Elegidos(3, {3}));
    e.tamano = "0xA";
    EXPECT_TRUE(Cortar(v, e).finalizado);
    EXPECT_TRUE(v.planes.empty());
    EXPECT_TRUE(Existe(c / "f.2"));
    EXPECT_FALSE(Existe(c / "f.0"));
}

// What the split re-plans for: the plan in force describes another set than the inputs.
struct PlanViejo {
    std::string nombre;
    std::function<void(EntradaCorte&)> cambiar;
};

TEST_F(Seleccion, PlanDeOtrasEntradasSeRehaceYEscribeTodo) {
    const std::string datos = Datos(3000);
    EscribirFichero(c / "f.avi", datos);
    EscribirFichero(c / "g.avi", Datos(3000, 2));
    const std::vector<PlanViejo> casos{
        {"ningún plan", [](EntradaCorte& e) { e.plan.reset(); }},
        {"otro tamaño", [](EntradaCorte& e) { e.tamano = "1500"; }},
        {"otro esquema", [](EntradaCorte& e) { e.tipo = TipoCorte::CortaArchivos; }},
        {"otra fuente", [&](EntradaCorte& e) { e.plan->origen.fuente = c / "g.avi"; }},
        {"la fuente cambió de tamaño", [](EntradaCorte& e) { e.plan->origen.tamFichero = 2999; }},
        {"marcas de más", [](EntradaCorte& e) { e.plan->marcas.push_back(true); }},
    };
    for (const PlanViejo& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        CarpetaTemporal d;
        EntradaCorte e = Entrada(c / "f.avi", d.Ruta(), 1000, TipoCorte::Normal);
        // Nothing chosen: a plan in force for these inputs would stop the split.
        PonerPlanEnVigor(e, Elegidos(3, {}));
        caso.cambiar(e);
        e.separadorMiles = ".";
        Grabadora g;
        EXPECT_TRUE(Cortar(g, e).finalizado);
        EXPECT_TRUE(g.errores.empty());
        // The face is shown the plan of the inputs the split reads, every line to be checked.
        ASSERT_EQ(g.planes.size(), 1u);
        const PlanCorte& nuevo = g.planes[0];
        Grabadora h;
        const PlanCorte esperado = PrepararCorte(h, c / "f.avi", e.tamano, e.tipo, ".");
        EXPECT_TRUE(nuevo.cortePreparado);
        EXPECT_EQ(nuevo.lineas, esperado.lineas);
        EXPECT_TRUE(nuevo.lineas.front().ends_with(" " + FormatoMiles(*LeerEntero(e.tamano), ".")))
            << "con su separador";
        EXPECT_EQ(nuevo.origen.fuente, c / "f.avi");
        EXPECT_EQ(nuevo.origen.tipo, e.tipo);
        EXPECT_EQ(nuevo.origen.tamTrozo, *LeerEntero(e.tamano));
        // And every piece is written.
        const int64_t n = *esperado.numTrozos;
        std::string junto;
        for (int64_t k = 1; k <= n; ++k)
            junto += DatosDeTrozo(NombreTrozo(c / "f.avi", d.Ruta(), k, n, e.tipo), e.tipo, k, n);
        EXPECT_EQ(junto, datos);
        EXPECT_EQ(g.Memo(Memo::Cortar).size(), static_cast<size_t>(n) + 3);
    }
}

TEST_F(Seleccion, ElPlanPrevioInformaAntesQueElCorte) {
    // The plan reports an unopenable source, then the split's own checks follow in their order.
    EntradaCorte e = Entrada(c / "falta", "", 10, TipoCorte::Normal);
    e.tamano = "";
    EXPECT_FALSE(Cortar(v, e).finalizado);
    EXPECT_EQ(v.errores, (std::vector<std::string>{"¡ Error al abrir fichero " + (c / "falta") + " !",
                                                   "¡ Debes indicar el tamaño de los trozos !"}));
    ASSERT_EQ(v.planes.size(), 1u);
    EXPECT_FALSE(v.planes[0].cortePreparado) << "la ventana vacía la lista";
    EXPECT_FALSE(v.planes[0].tamFichero);
}

TEST(ListaTrozos, Validas) {
    const auto lista = LeerListaTrozos("2,5,7-9");
    ASSERT_TRUE(lista);
    EXPECT_EQ(lista->Mayor(), 9);
    EXPECT_EQ(lista->Marcas(10), Elegidos(10, {2, 5, 7, 8, 9}));
    EXPECT_EQ(LeerListaTrozos("3")->Marcas(3), Elegidos(3, {3}));
    EXPECT_EQ(LeerListaTrozos("4-4,1,1,2-3")->Marcas(5), Elegidos(5, {1, 2, 3, 4}));
    EXPECT_EQ(LeerListaTrozos("07")->Mayor(), 7);
    // Pieces above the set's count are left out of the marks; Mayor tells the caller.
    const auto grande = LeerListaTrozos("6-99999999999");
    ASSERT_TRUE(grande);
    EXPECT_EQ(grande->Mayor(), 99999999999);
    EXPECT_EQ(grande->Marcas(7), Elegidos(7, {6, 7}));
}

TEST(ListaTrozos, MalFormadas) {
    for (const char* texto : {"", ",", "2,", ",2", "2,,5", "0", "0-3", "3-2", "a", "2 ,5", " 2", "-3", "3-",
                              "1-2-3", "+2", "2.5", "99999999999999999999999"})
        EXPECT_FALSE(LeerListaTrozos(texto)) << "«" << texto << "»";
}

} // namespace
} // namespace quimbel
