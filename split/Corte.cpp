#include "Corte.h"

#include <algorithm>

#include "files/CopiarBloque.h"
#include "files/Entero.h"
#include "files/Ficheros.h"
#include "files/Rutas.h"
#include "verify/PasoSfv.h"

namespace quimbel {

namespace {

constexpr std::string_view ControlFuente = "FilenameEditFicheroCortar";
constexpr std::string_view ControlTamano = "ComboBoxSizes";

bool Marcado(const EntradaCorte& e, int64_t k) {
    if (!e.marcas) return true;
    const auto i = static_cast<size_t>(k - 1);
    return i < e.marcas->size() && (*e.marcas)[i];
}

// Writes piece k; false when it stopped the run (the message has been shown).
bool EscribirTrozo(Ventana& v, const EntradaCorte& e, Fichero& fuente, const std::string& rutaFuente,
                   const std::string& destino, int64_t s, int64_t p, int64_t k, int64_t n) {
    const std::string ruta = NombreTrozo(rutaFuente, destino, k, n, e.tipo);
    const IdFichero idFuente = fuente.Id();
    if (ruta == rutaFuente) {
        fuente.Cerrar();
        v.Error("¡ Error, un trozo no puede llamarse igual que el fichero a trocear !");
        return false;
    }
    Fichero trozo;
    const int creado = CrearFichero(trozo, ruta, {&idFuente, 1});
    if (creado != 0) {
        fuente.Cerrar();
        v.Error(creado == ErrorFicheroIntocable ? "¡ Error, un trozo no puede llamarse igual que el fichero a trocear !"
                                                : "¡ Error al crear fichero " + ruta + " !");
        return false;
    }
    const auto fallo = [&] {
        fuente.Cerrar();
        trozo.Cerrar();
        v.Error("¡ Error al escribir en fichero " + ruta + " !");
        return false;
    };
    if (LlevaCabecera(e.tipo, k, n)) {
        const auto cabecera = e.tipo == TipoCorte::CortaArchivos
                                  ? CabeceraCA(static_cast<int32_t>(n), Extension(NombreDeRuta(rutaFuente)))
                                  : CabeceraHacha(NombreDeRuta(rutaFuente), s, p);
        if (trozo.Escribir(cabecera.data(), cabecera.size()) != 0) return fallo();
    }
    v.AnadirLinea(Memo::Cortar, "Creando trozo " + std::to_string(k) + " : " + ruta);
    if (CopiarBloque(fuente, trozo, (k - 1) * p, p) != 0) return fallo();
    // A full disk may show only when the piece is closed.
    if (trozo.Cerrar() != 0) return fallo();
    return true;
}

EntradaSfv EntradaSfvDe(const EntradaCorte& e, const std::string& rutaFuente, const std::string& destino,
                       int64_t n) {
    EntradaSfv sfv{rutaFuente, destino, n, e.tipo, {}};
    for (int64_t k = 1; k <= n; ++k)
        if (Marcado(e, k)) sfv.trozos.push_back(k);
    return sfv;
}

} // namespace

ResultadoCorte Cortar(Ventana& v, const EntradaCorte& e) {
    if (e.marcas && std::none_of(e.marcas->begin(), e.marcas->end(), [](bool m) { return m; })) {
        v.Error("¡ Debes seleccionar los trozos del fichero a extraer !");
        v.ActivarPagina(Pagina::Extraer);
        return {};
    }
    v.LimpiarMemo(Memo::Cortar);

    const std::string rutaFuente = QuitarComillas(e.fuente);
    if (rutaFuente.empty()) {
        v.Error("¡ Debes indicar el fichero a cortar !");
        v.Enfocar(ControlFuente);
        return {};
    }
    const std::string destino = e.destino.empty() ? CarpetaDeRuta(rutaFuente) : ConBarraFinal(e.destino);

    if (e.tamano.empty()) {
        v.Error("¡ Debes indicar el tamaño de los trozos !");
        v.Enfocar(ControlTamano);
        return {};
    }
    const std::optional<int32_t> tamano = LeerEntero(e.tamano);
    if (!tamano) {
        v.Error("¡ Debes introducir un número válido !");
        v.Enfocar(ControlTamano);
        return {};
    }
    if (*tamano <= 0) {
        v.Error("¡ Debes indicar un tamaño de trozo mayor que 0 !");
        v.Enfocar(ControlTamano);
        return {};
    }
    const int64_t p = *tamano;

    Fichero fuente;
    const int64_t s = AbrirFichero(fuente, rutaFuente) == 0 ? fuente.Tamano() : -1;
    if (s < 0) {
        fuente.Cerrar();
        v.Error("¡ Error al abrir fichero " + rutaFuente + " !");
        return {};
    }
    if (s == 0) {
        fuente.Cerrar();
        v.Error("¡ Tamaño 0 !");
        return {};
    }
    const int64_t n = NumeroTrozos(s, p);
    if (n > MaxTrozos) {
        fuente.Cerrar();
        v.Error("¡ Demasiados trozos: el máximo es 100000 !");
        return {};
    }

    CursorOcupadoMientras cursor(v);
    v.AnadirLinea(Memo::Cortar, "Creando trozos...");
    for (int64_t k = 1; k <= n; ++k) {
        if (!Marcado(e, k)) continue;
        if (!EscribirTrozo(v, e, fuente, rutaFuente, destino, s, p, k, n)) return {};
        v.ProcesarMensajes();
    }
    fuente.Cerrar();
    v.AnadirLinea(Memo::Cortar, "");
    if (e.sfv && !PasoSfv(v, EntradaSfvDe(e, rutaFuente, destino, n))) return {};
    v.AnadirLinea(Memo::Cortar, "");
    v.Informacion("¡ Proceso finalizado !");
    return {true, true};
}

} // namespace quimbel
