// SPDX-License-Identifier: GPL-3.0-or-later
#include "AnalisisUnir.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <vector>

#include "Integridad.h"
#include "Vecinos.h"
#include "files/Cabeceras.h"
#include "files/Comparar.h"
#include "files/Entero.h"
#include "files/Ficheros.h"
#include "files/Numeracion.h"
#include "files/Rutas.h"
#include "files/Trozos.h"

namespace quimbel {

namespace {

const std::string ErrorLeer = "¡ Error al leer fichero !";

// Reads exactly n bytes; false when the read fails or comes short.
bool LeerJusto(Fichero& f, void* datos, size_t n) {
    return f.Leer(datos, n) == static_cast<int64_t>(n);
}

int64_t Tamano(const std::string& ruta) {
    Fichero f;
    return AbrirFichero(f, ruta).Bien() ? f.Tamano() : -1;
}

// a * b + c, held at the largest value instead of overflowing.
int64_t ProductoMasSuma(int64_t a, int64_t b, int64_t c) {
    int64_t producto = 0;
    int64_t total = 0;
    if (__builtin_mul_overflow(a, b, &producto) || __builtin_add_overflow(producto, c, &total))
        return std::numeric_limits<int64_t>::max();
    return total;
}

// The ".fin" piece: CabeceraCA gives the count and the extension of the file that was split.
AnalisisUnir AnalizarCortaArchivos(Ventana& v, const std::string& nombre, Fichero& f, int64_t s0) {
    AnalisisUnir r;
    std::array<unsigned char, MaxCabeceraCA> bytes{};
    const int64_t leidos = f.Leer(bytes.data(), bytes.size());
    f.Cerrar();
    const std::optional<DatosCabeceraCA> datos =
        leidos >= 0 ? LeerCabeceraCA({bytes.data(), static_cast<size_t>(leidos)}) : std::nullopt;
    const int32_t n = datos ? datos->n : 0;
    if (n < 1) {
        v.Error(ErrorLeer + nombre);
        return r;
    }
    if (n > MaxTrozos) {
        v.Error(ErrorDemasiadosTrozos());
        return r;
    }
    const auto cabecera = static_cast<int64_t>(datos->tamano);
    // A set of one piece is its ".fin" alone: no ".1" to measure.
    int64_t p1 = s0 - cabecera;
    if (n > 1) {
        const std::string primero = CambiarExtension(nombre, ".1");
        p1 = Tamano(primero);
        if (p1 < 0) {
            v.Error("¡ Error al abrir fichero inicial " + primero + " !");
            return r;
        }
    }
    r.plan = {.PrimerTrozo = 1,
              .UltimoTrozo = n,
              .TrozoFin = n,
              .ExtTrozos = ".fin",
              .CerosTrozos = false,
              .TamCabeceraHacha = 0,
              .ExtFicUnido = datos->extension,
              .ExtFin = Extension(nombre) == ".fin" ? std::string() : Extension(nombre)};
    r.tamTrozo = p1;
    r.trozos = n;
    r.tamUnido = ProductoMasSuma(n - 1, p1, s0 - cabecera);
    r.correcto = true;
    return r;
}

// A .0 piece: Hacha when it starts with CabeceraHacha; none when it is data from its first
// byte (no header, or too short to hold one), and the set is then numbered from 0.
std::optional<AnalisisUnir> AnalizarHacha(Ventana& v, const std::string& nombre, Fichero& f) {
    AnalisisUnir r;
    std::vector<unsigned char> cabecera(TamPruebaHacha);
    const int64_t leidos = f.Leer(cabecera.data(), cabecera.size());
    const auto prueba = std::span<const unsigned char, TamPruebaHacha>(cabecera.data(), TamPruebaHacha);
    if (leidos >= 0 && (leidos < static_cast<int64_t>(TamPruebaHacha) || !EsCabeceraHacha(prueba)))
        return std::nullopt;
    const int32_t h = leidos >= 0 ? Entero32LE(cabecera.data() + MarcaHacha.size()) : 0;
    bool leido = h >= MinHachaH && h <= MaxHachaH;
    if (leido) {
        cabecera.resize(TamAntesDeHacha + static_cast<size_t>(h));
        leido = LeerJusto(f, cabecera.data() + TamPruebaHacha, cabecera.size() - TamPruebaHacha);
    }
    f.Cerrar();
    const auto textos = leido ? TextosCabeceraHacha(cabecera) : std::nullopt;
    if (!textos) {
        v.Error(ErrorLeer + nombre);
        return r;
    }
    // The stored name is only ever a name beside the pieces.
    std::string unido = NombreSeguro((*textos)[0]);
    if (unido.empty()) unido = NombreDeRuta(CambiarExtension(nombre, ""));
    r.destino = unido;

    const std::optional<int64_t> s = LeerDecimal64((*textos)[1]);
    if (!s || *s < 0) {
        v.Error("¡ Error obteniendo el tamaño del fichero !");
        return r;
    }
    const std::optional<int64_t> p = LeerDecimal64((*textos)[2]);
    if (!p || *p <= 0) {
        v.Error("¡ Error obteniendo el tamaño del trozo !");
        return r;
    }
    const int64_t n = NumeroTrozos(*s, *p);
    if (n > MaxTrozos) {
        v.Error(ErrorDemasiadosTrozos());
        return r;
    }
    r.plan = {.PrimerTrozo = 0,
              .UltimoTrozo = n - 1,
              .TrozoFin = n,
              .ExtTrozos = ".0",
              .CerosTrozos = false,
              .TamCabeceraHacha = static_cast<int64_t>(TamAntesDeHacha) + h,
              .ExtFicUnido = ".0",
              .ExtFin = {},
              .TamFuente = *s,
              .TamTrozo = *p};
    r.tamTrozo = *p;
    r.trozos = n;
    r.tamUnido = *s;
    r.correcto = true;
    return r;
}

// The numbers of a set whose folder cannot be listed: those around the chosen one, probed by
// name down and up until one has no file.
std::vector<int64_t> Sondear(const std::string& nombre, int64_t elegido, int ancho) {
    const auto existe = [&](int64_t n) {
        return ExisteFichero(CambiarExtension(nombre, SufijoConCeros(n, ancho)));
    };
    int64_t menor = elegido;
    while (menor > 0 && existe(menor - 1))
        --menor;
    int64_t mayor = elegido;
    while (existe(mayor + 1))
        ++mayor;
    std::vector<int64_t> numeros;
    for (int64_t n = menor; n <= mayor; ++n)
        numeros.push_back(n);
    return numeros;
}

// Any other piece: its extension is its number, and its set is every piece of the same
// numbering in its folder, from 0 or 1 up to the highest number there.
AnalisisUnir AnalizarNumerado(Ventana& v, const std::string& nombre, int64_t s0, const Vecinos& vecinos) {
    AnalisisUnir r;
    const std::string ext = Extension(nombre);
    const std::string digitos = ext.empty() ? std::string() : ext.substr(1);
    const std::optional<int64_t> numero = NumeroDeSufijo(digitos);
    if (!numero || *numero > std::numeric_limits<int32_t>::max()) {
        v.Error("¡ Error obteniendo la numeración del fichero inicial " + nombre + " !");
        return r;
    }
    Numeracion numeracion = NumeracionDe(digitos, vecinos.sufijos);
    if (!std::binary_search(numeracion.numeros.begin(), numeracion.numeros.end(), *numero))
        numeracion.numeros = Sondear(nombre, *numero, numeracion.ancho);
    const std::vector<int64_t>& numeros = numeracion.numeros;
    // A set starts at 0 or 1: pieces missing below the lowest one found are a gap too.
    const int64_t primero = std::min<int64_t>(numeros.front(), 1);
    PlanUnir& plan = r.plan;
    plan.PrimerTrozo = primero;
    plan.ExtTrozos = SufijoConCeros(primero, numeracion.ancho);
    plan.CerosTrozos = plan.ExtTrozos.size() - 1 != std::to_string(primero).size();
    plan.ExtFicUnido = ".avi";

    const std::string primerNombre = NombreTrozoUnir(nombre, plan, numeros.front());
    const int64_t p1 = primerNombre == nombre ? s0 : Tamano(primerNombre);
    int64_t suma = std::max<int64_t>(p1, 0);
    int64_t ultimo = p1;
    bool distinto = false;
    bool todosIguales = true;
    int64_t anterior = numeros.front();
    v.CursorOcupado();
    for (size_t i = 1; i < numeros.size(); ++i) {
        const int64_t f = numeros[i];
        const std::string siguiente = NombreTrozoUnir(nombre, plan, f);
        if (distinto) {
            // Told only once a further piece shows that the odd one was not the last.
            v.CursorNormal();
            v.Informacion("¡ Atención ! El trozo " + std::to_string(anterior) + " en el fichero " +
                          NombreTrozoUnir(nombre, plan, anterior) + " tiene tamaño distinto al primero.");
            v.CursorOcupado();
            distinto = false;
        }
        const int64_t tam = Tamano(siguiente);
        if (tam < 0) {
            v.CursorNormal();
            v.Error("¡ Error al leer trozo " + std::to_string(f) + " en fichero " + siguiente + " !");
            return r;
        }
        distinto = tam != p1;
        todosIguales = todosIguales && !distinto;
        suma += tam;
        ultimo = tam;
        anterior = f;
    }
    v.CursorNormal();
    const int64_t f = numeros.back();
    plan.UltimoTrozo = f;
    plan.TrozoFin = f;
    // A set that starts at piece 0 counts that piece too.
    const int64_t desde = plan.PrimerTrozo == 0 ? 0 : 1;
    r.tamTrozo = p1;
    r.trozos = f - desde + 1;
    r.tamUnido = suma;
    r.tamTeorico = ProductoMasSuma(f - desde, p1, ultimo);
    r.mostrarTeorico = suma != r.tamTeorico;
    // Plain numbers from 1 are what a ".fin" set writes before its ".fin" piece; pieces all of
    // one size leave the rest of the data to that piece.
    plan.SinFin = numeracion.ancho == 1 && numeros.front() == 1 && todosIguales &&
                  numeros.size() == static_cast<size_t>(f);
    r.correcto = true;
    return r;
}

// A window that shows nothing: a neighbour is tried as the head of the chosen piece's set, and
// is no choice of the user's when it fails.
class Silencio : public Ventana {
  public:
    void AnadirLinea(Memo, std::string_view) override {}
    void Error(std::string_view) override {}
    void Informacion(std::string_view) override {}
    Respuesta Pregunta(std::string_view) override { return Respuesta::No; }
    bool Reemplazar(std::string_view) override { return false; }
};

// Whether the ".fin" piece at that path starts with a signed header.
bool ConFirmaCA(const std::string& ruta) {
    Fichero f;
    std::array<unsigned char, 1 + FirmaCA.size()> firma{};
    return AbrirFichero(f, ruta).Bien() && LeerJusto(f, firma.data(), firma.size()) &&
           firma[0] == FirmaCA.size() &&
           std::string_view(reinterpret_cast<const char*>(firma.data() + 1), FirmaCA.size()) == FirmaCA;
}

AnalisisUnir AnalizarCabeza(Ventana& v, const std::string& nombre, int64_t s0);

// The head of the set of a piece numbered without zeros in front: the ".fin" piece (any case)
// or the .0 piece beside it whose header makes a set that holds the chosen number.
std::optional<AnalisisUnir> AnalizarPorCabeza(const std::string& nombre, const Vecinos& vecinos) {
    const std::string ext = Extension(nombre);
    const std::optional<int64_t> numero = NumeroDeSufijo(ext.empty() ? ext : ext.substr(1));
    if (!numero || *numero < 1 || (ext.size() > 2 && ext[1] == '0')) return std::nullopt;
    // The ".fin" head first, whatever order the folder lists them in.
    std::vector<std::string> cabezas;
    for (const std::string& sufijo : vecinos.sufijos)
        if (EsExtensionFin("." + sufijo)) cabezas.push_back(sufijo);
    if (std::find(vecinos.sufijos.begin(), vecinos.sufijos.end(), "0") != vecinos.sufijos.end())
        cabezas.emplace_back("0");
    for (const std::string& sufijo : cabezas) {
        const bool fin = EsExtensionFin("." + sufijo);
        const std::string cabeza = CambiarExtension(nombre, "." + sufijo);
        if (fin && !ConFirmaCA(cabeza)) continue;
        Silencio silencio;
        const int64_t tamano = Tamano(cabeza);
        AnalisisUnir a = tamano < 0 ? AnalisisUnir{} : AnalizarCabeza(silencio, cabeza, tamano);
        const bool conCabecera = fin || a.plan.TamCabeceraHacha != 0;
        const int64_t ultimoNumerado = fin ? a.plan.UltimoTrozo - 1 : a.plan.UltimoTrozo;
        if (a.correcto && conCabecera && *numero <= ultimoNumerado) return a;
    }
    return std::nullopt;
}

// The analysis of a ".fin" or .0 piece, opened again.
AnalisisUnir AnalizarCabeza(Ventana& v, const std::string& nombre, int64_t s0) {
    Fichero f;
    if (!AbrirFichero(f, nombre).Bien()) {
        v.Error("¡ Error al abrir fichero " + nombre + " !");
        return {};
    }
    if (EsExtensionFin(Extension(nombre))) return AnalizarCortaArchivos(v, nombre, f, s0);
    if (auto hacha = AnalizarHacha(v, nombre, f)) return *hacha;
    return {};
}

} // namespace

AnalisisUnir AnalizarFicheroUnir(Ventana& v, const std::string& nombre) {
    if (nombre.empty()) return {};
    Fichero f;
    const int64_t s0 = AbrirFichero(f, nombre).Bien() ? f.Tamano() : -1;
    if (s0 < 0) {
        f.Cerrar();
        v.Error("¡ Error al abrir fichero " + nombre + " !");
        return {};
    }
    const std::string ext = Extension(nombre);
    std::optional<AnalisisUnir> r;
    if (EsExtensionFin(ext)) r = AnalizarCortaArchivos(v, nombre, f, s0);
    if (!r && ext == ".0") r = AnalizarHacha(v, nombre, f);
    f.Cerrar();
    if (!r) {
        const Vecinos vecinos = ListarVecinos(nombre);
        r = AnalizarPorCabeza(nombre, vecinos);
        if (!r) r = AnalizarNumerado(v, nombre, s0, vecinos);
    }
    if (r->correcto) r->falta = TrozoQueFalta(nombre, r->plan);
    return *r;
}

} // namespace quimbel
