#include "Corte.h"

#include <algorithm>

#include "files/Cabeceras.h"
#include "files/Carpeta.h"
#include "files/CopiarBloque.h"
#include "files/Ficheros.h"
#include "files/Rutas.h"
#include "files/Salidas.h"
#include "files/Tamanos.h"
#include "parity/PasoPar.h"
#include "verify/PasoSfv.h"

namespace quimbel {

namespace {

const std::string ErrorMismoNombre = "¡ Error, un trozo no puede llamarse igual que el fichero a trocear !";

// Whether the plan still describes a split of these inputs: a list made for another source,
// size, scheme or source size would describe another set.
bool PlanDescribe(const PlanEnVigor& plan, const std::string& rutaFuente, const std::string& tamano,
                  TipoCorte tipo) {
    const OrigenPlan& o = plan.origen;
    if (o.fuente != rutaFuente || o.tipo != tipo || LeerTamano(tamano) != o.tamTrozo || o.tamTrozo < 1)
        return false;
    if (plan.marcas.size() != static_cast<size_t>(TrozosDelPlan(o.tamFichero, o.tamTrozo))) return false;
    Fichero f;
    return AbrirFichero(f, rutaFuente).Bien() && f.Tamano() == o.tamFichero;
}

// Marks of the run: the plan's, or none when every piece is written.
bool Marcado(const std::vector<bool>* marcas, int64_t k) {
    if (marcas == nullptr) return true;
    const auto i = static_cast<size_t>(k - 1);
    return i < marcas->size() && (*marcas)[i];
}

// What every piece of a run shares: the open source, the open destination folder and
// the files no piece may be.
struct Escritura {
    const EntradaCorte& e;
    Fichero& fuente;
    const std::string& rutaFuente;
    const std::string& destino;
    const Carpeta& carpeta;
    const Protegidos& protegidos;
    Avance& avance;
    int64_t s, p, n;
};

// The data bytes of piece k of a source of s bytes in pieces of p.
int64_t BytesDeTrozo(int64_t s, int64_t p, int64_t k) {
    return std::min(p, s - (k - 1) * p);
}

// Writes piece k; false when it stopped the run (the message has been shown).
bool EscribirTrozo(Ventana& v, const Escritura& w, int64_t k) {
    const std::string ruta = NombreTrozo(w.rutaFuente, w.destino, k, w.n, w.e.tipo);
    if (ruta == w.rutaFuente) {
        w.fuente.Cerrar();
        v.Error(ErrorMismoNombre);
        return false;
    }
    Fichero trozo;
    const Desenlace creado = CrearSalida(trozo, w.carpeta, NombreDeRuta(ruta), w.protegidos);
    if (!creado.Bien()) {
        w.fuente.Cerrar();
        v.Error(creado.resultado == Resultado::Intocable ? ErrorMismoNombre
                                                         : "¡ Error al crear fichero " + ruta + " !");
        return false;
    }
    const auto fallo = [&] {
        w.fuente.Cerrar();
        trozo.Cerrar();
        v.Error("¡ Error al escribir en fichero " + ruta + " !");
        return false;
    };
    if (LlevaCabecera(w.e.tipo, k, w.n)) {
        const std::string nombre = NombreDeRuta(w.rutaFuente);
        const auto cabecera = w.e.tipo == TipoCorte::CortaArchivos
                                  ? CabeceraCA(static_cast<int32_t>(w.n), Extension(nombre))
                                  : CabeceraHacha(nombre, w.s, w.p);
        if (!trozo.Escribir(cabecera.data(), cabecera.size()).Bien()) return fallo();
    }
    v.AnadirLinea(Memo::Cortar, "Creando trozo " + std::to_string(k) + " : " + ruta);
    // Exactly the piece's share: a source that shrank during the run gives a short copy.
    const int64_t cuenta = BytesDeTrozo(w.s, w.p, k);
    int64_t copiados = 0;
    if (CopiarBloque(w.fuente, trozo, (k - 1) * w.p, cuenta, &copiados, &w.avance) != 0 || copiados != cuenta)
        return fallo();
    // A full disk may show only when the piece is closed.
    if (!trozo.Cerrar().Bien()) return fallo();
    return true;
}

// The file names, without folder, of the pieces written, in set order.
std::vector<std::string> NombresDeTrozos(const std::vector<int64_t>& elegidos, const std::string& rutaFuente,
                                         int64_t n, TipoCorte tipo) {
    std::vector<std::string> nombres;
    for (const int64_t k : elegidos)
        nombres.push_back(NombreTrozo(NombreDeRuta(rutaFuente), "", k, n, tipo));
    return nombres;
}

} // namespace

ResultadoCorte Cortar(Ventana& v, const EntradaCorte& e) {
    const std::string& rutaFuente = e.fuente;
    const std::vector<bool>* marcas = nullptr;
    if (e.plan && PlanDescribe(*e.plan, rutaFuente, e.tamano, e.tipo)) {
        if (std::none_of(e.plan->marcas.begin(), e.plan->marcas.end(), [](bool m) { return m; })) {
            v.Error("¡ Debes seleccionar los trozos del fichero a extraer !");
            v.ActivarPagina(Pagina::Extraer);
            return {};
        }
        marcas = &e.plan->marcas;
    } else {
        // Whatever this plan's outcome, the checks below decide whether the run goes on.
        const PlanCorte nuevo = PrepararCorte(v, rutaFuente, e.tamano, e.tipo, e.separadorMiles);
        v.MostrarPlan(nuevo);
    }
    v.LimpiarMemo(Memo::Cortar);

    if (rutaFuente.empty()) {
        v.Error("¡ Debes indicar el fichero a cortar !");
        v.Enfocar(Campo::FicheroCortar);
        return {};
    }
    const std::string destino = e.destino.empty() ? CarpetaDeRuta(rutaFuente) : ConBarraFinal(e.destino);

    if (e.tamano.empty()) {
        v.Error("¡ Debes indicar el tamaño de los trozos !");
        v.Enfocar(Campo::Tamano);
        return {};
    }
    const std::optional<int64_t> tamano = LeerTamano(e.tamano);
    if (!tamano) {
        v.Error("¡ Debes introducir un número válido !");
        v.Enfocar(Campo::Tamano);
        return {};
    }
    if (*tamano <= 0) {
        v.Error("¡ Debes indicar un tamaño de trozo mayor que 0 !");
        v.Enfocar(Campo::Tamano);
        return {};
    }
    const int64_t p = *tamano;

    Fichero fuente;
    const int64_t s = AbrirFichero(fuente, rutaFuente).Bien() ? fuente.Tamano() : -1;
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
        v.Error(ErrorDemasiadosTrozos());
        return {};
    }

    std::vector<int64_t> elegidos;
    for (int64_t k = 1; k <= n; ++k)
        if (Marcado(marcas, k)) elegidos.push_back(k);

    if (e.sfv) {
        if (const auto rechazo = RechazoNombreSfv(rutaFuente)) {
            fuente.Cerrar();
            v.Error(*rechazo);
            return {};
        }
    }

    // The folder is taken once; a missing one shows as the first piece's create error.
    Carpeta carpeta;
    AbrirCarpeta(carpeta, destino);
    Protegidos protegidos;
    protegidos.Anadir(fuente);
    // The run reads the chosen pieces' bytes once to write them, once more for the SFV file
    // and once more for the PAR job.
    int64_t bytes = 0;
    for (const int64_t k : elegidos)
        bytes += BytesDeTrozo(s, p, k);
    CursorOcupadoMientras cursor(v);
    Avance avance(v, bytes * (1 + (e.sfv ? 1 : 0) + (e.par ? 1 : 0)));
    const Escritura escritura{e, fuente, rutaFuente, destino, carpeta, protegidos, avance, s, p, n};
    v.AnadirLinea(Memo::Cortar, "Creando trozos...");
    for (const int64_t k : elegidos) {
        if (!EscribirTrozo(v, escritura, k)) return {};
        v.ProcesarMensajes();
    }
    fuente.Cerrar();
    v.AnadirLinea(Memo::Cortar, "");
    if (e.sfv && !PasoSfv(v, {rutaFuente, destino, n, e.tipo, elegidos, &carpeta, &avance})) return {};
    v.AnadirLinea(Memo::Cortar, "");
    bool completo = true;
    if (e.par) {
        const ResultadoPar par =
            PasoPar(v, {destino, rutaFuente, e.numeroPar, NombresDeTrozos(elegidos, rutaFuente, n, e.tipo),
                        &avance, bytes});
        if (par.detenido) return {};
        completo = par.hecho;
    }
    v.Informacion("¡ Proceso finalizado !");
    return {true, completo};
}

} // namespace quimbel
