#include "AnalisisUnir.h"

#include <array>
#include <cstdint>
#include <limits>
#include <vector>

#include "files/Cabeceras.h"
#include "files/Entero.h"
#include "files/Ficheros.h"
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
              .ExtFicUnido = datos->extension};
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
              .ExtFicUnido = ".0"};
    r.tamTrozo = *p;
    r.trozos = n;
    r.tamUnido = *s;
    r.correcto = true;
    return r;
}

// Any other piece: its extension is its number; the following numbers are probed until one
// has no file.
AnalisisUnir AnalizarNumerado(Ventana& v, const std::string& nombre, int64_t s0) {
    AnalisisUnir r;
    const std::string ext = Extension(nombre);
    const std::string digitos = ext.empty() ? std::string() : ext.substr(1);
    const bool soloDigitos = !digitos.empty() && digitos.find_first_not_of("0123456789") == std::string::npos;
    const std::optional<int64_t> numero = soloDigitos ? LeerDecimal64(digitos) : std::nullopt;
    if (!numero || *numero > std::numeric_limits<int32_t>::max()) {
        v.Error("¡ Error obteniendo la numeración del fichero inicial " + nombre + " !");
        return r;
    }
    PlanUnir& plan = r.plan;
    plan.PrimerTrozo = *numero;
    plan.ExtTrozos = ext;
    plan.CerosTrozos = std::to_string(*numero).size() != digitos.size();
    plan.ExtFicUnido = ".avi";

    const int64_t p1 = s0;
    int64_t f = *numero;
    int64_t suma = s0;
    int64_t ultimo = s0;
    bool distinto = false;
    std::string anterior = nombre;
    v.CursorOcupado();
    for (;;) {
        const std::string siguiente = NombreTrozoUnir(nombre, plan, f + 1);
        if (!ExisteFichero(siguiente)) break;
        if (distinto) {
            // Told only once a further piece shows that the odd one was not the last.
            v.CursorNormal();
            v.Informacion("¡ Atención ! El trozo " + std::to_string(f) + " en el fichero " + anterior +
                          " tiene tamaño distinto al primero.");
            v.CursorOcupado();
            distinto = false;
        }
        const int64_t tam = Tamano(siguiente);
        if (tam < 0) {
            v.CursorNormal();
            v.Error("¡ Error al leer trozo " + std::to_string(f + 1) + " en fichero " + siguiente + " !");
            return r;
        }
        ++f;
        distinto = tam != p1;
        suma += tam;
        ultimo = tam;
        anterior = siguiente;
    }
    v.CursorNormal();
    plan.UltimoTrozo = f;
    plan.TrozoFin = f;
    // A set chosen at piece 0 counts that piece too.
    const int64_t desde = plan.PrimerTrozo == 0 ? 0 : 1;
    r.tamTrozo = p1;
    r.trozos = f - desde + 1;
    r.tamUnido = suma;
    r.tamTeorico = ProductoMasSuma(f - desde, p1, ultimo);
    r.mostrarTeorico = suma != r.tamTeorico;
    r.correcto = true;
    return r;
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
    if (EsExtensionFin(ext)) return AnalizarCortaArchivos(v, nombre, f, s0);
    if (ext == ".0") {
        if (auto hacha = AnalizarHacha(v, nombre, f)) return *hacha;
    }
    f.Cerrar();
    return AnalizarNumerado(v, nombre, s0);
}

} // namespace quimbel
