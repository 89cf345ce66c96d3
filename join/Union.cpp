#include "Union.h"

#include <sys/stat.h>

#include <algorithm>
#include <optional>
#include <set>
#include <vector>

#include "Integridad.h"
#include "ListaDelJuego.h"
#include "Vecinos.h"
#include "files/Carpeta.h"
#include "files/CopiarBloque.h"
#include "files/Ficheros.h"
#include "files/Interrupcion.h"
#include "files/Numeracion.h"
#include "files/Rutas.h"
#include "files/Salidas.h"
#include "files/Temporales.h"
#include "verify/Crc.h"

namespace quimbel {

namespace {

const std::string ErrorMismoNombre = "¡ Error, un trozo no puede llamarse igual que el fichero destino !";

// Every file the join reads or could take for one of its pieces: the chosen piece, the pieces
// of the plan, the ".fin" sibling, and whatever the pieces' folder holds under the set's names
// (stem + ".fin" in any case, or stem + "." + digits), so that no destination ever replaces a
// piece, in the plan or not.
std::set<std::string> PiezasDelJuego(const std::string& base, const PlanUnir& plan) {
    std::set<std::string> rutas{base, CambiarExtension(base, ".fin")};
    for (int64_t n = plan.PrimerTrozo; n <= plan.UltimoTrozo; ++n)
        rutas.insert(NombreTrozoUnir(base, plan, n));
    for (const std::string& sufijo : ListarVecinos(base).sufijos)
        if (EsExtensionFin("." + sufijo) || NumeroDeSufijo(sufijo))
            rutas.insert(CambiarExtension(base, "." + sufijo));
    return rutas;
}

// The bytes the join will copy, as the pieces stand now.
int64_t BytesDelPlan(const std::string& base, const PlanUnir& plan) {
    int64_t bytes = 0;
    for (int64_t n = plan.PrimerTrozo; n <= plan.UltimoTrozo; ++n) {
        struct stat st {};
        if (stat(NombreTrozoUnir(base, plan, n).c_str(), &st) == 0)
            bytes += std::max<int64_t>(st.st_size - InicioDatosTrozo(plan, n), 0);
    }
    return bytes;
}

// Whether the bytes of a piece give the CRC-32 its set's list records. The header bytes, which
// the join skips, are read here; the data are seen as they are copied.
class Comprobacion {
  public:
    Comprobacion(const ListaDelJuego* lista, const std::string& nombre) {
        if (lista == nullptr || !crc_.Disponible()) return;
        const auto entrada = lista->crcs.find(NombreDeRuta(nombre));
        if (entrada != lista->crcs.end()) esperado_ = entrada->second;
    }
    Comprobacion(const Comprobacion&) = delete;
    Comprobacion& operator=(const Comprobacion&) = delete;
    // Whether the piece is listed (and can be checked).
    bool Activa() const { return esperado_.has_value(); }
    bool Cabecera(const Fichero& trozo, int64_t inicio) {
        std::vector<unsigned char> bytes(static_cast<size_t>(std::max<int64_t>(inicio, 0)));
        if (!bytes.empty() && !trozo.LeerEn(bytes.data(), bytes.size(), 0)) return false;
        crc_.Sumar(bytes.data(), bytes.size());
        return true;
    }
    const VerBloque* Ver() const { return Activa() ? &ver_ : nullptr; }
    bool Correcta() const { return crc_.Valor() == esperado_; }

  private:
    CrcEnCurso crc_;
    std::optional<uint32_t> esperado_;
    VerBloque ver_ = [this](const unsigned char* datos, size_t n) { crc_.Sumar(datos, n); };
};

// Appends the data of every piece to the open output, checking those its list names; the
// message of the stop, if any (for a run asked to stop, ProcesoInterrumpido, which goes to the
// memo instead of a box).
std::optional<std::string> UnirTrozos(Ventana& v, const std::string& base, const PlanUnir& plan,
                                      const ListaDelJuego* lista, Fichero& unido,
                                      const std::string& destino) {
    Avance avance(v, BytesDelPlan(base, plan));
    for (int64_t n = plan.PrimerTrozo; n <= plan.UltimoTrozo; ++n) {
        const std::string nombre = NombreTrozoUnir(base, plan, n);
        Fichero trozo;
        const int64_t z = AbrirFichero(trozo, nombre).Bien() ? trozo.Tamano() : -1;
        if (z < 0) return "¡ Error al abrir fichero " + nombre + " !";
        const int64_t inicio = InicioDatosTrozo(plan, n);
        v.AnadirLinea(Memo::Unir, "Uniendo trozo " + std::to_string(n) + " : " + nombre);
        Comprobacion comprobacion(lista, nombre);
        if (comprobacion.Activa() && !comprobacion.Cabecera(trozo, inicio))
            return "¡ Error al leer fichero " + nombre + " !";
        // A piece that yields fewer bytes than it had when opened lost them meanwhile.
        const int64_t cuenta = std::max<int64_t>(z - inicio, 0);
        int64_t copiados = 0;
        if (CopiarBloque(trozo, unido, inicio, cuenta, &copiados, &avance, comprobacion.Ver()) != 0 ||
            copiados != cuenta) {
            if (v.Interrumpido()) return std::string(ProcesoInterrumpido);
            return "¡ Error al escribir en fichero " + destino + " !";
        }
        if (comprobacion.Activa()) {
            const bool bien = comprobacion.Correcta();
            v.AnadirLinea(Memo::Unir, (bien ? "  Correcto: " : " Error CRC: ") + nombre);
            if (!bien) return "¡ Error CRC en el trozo " + std::to_string(n) + " : " + nombre + " !";
        }
        trozo.Cerrar();
        v.ProcesarMensajes();
        if (v.Interrumpido()) return std::string(ProcesoInterrumpido);
    }
    return std::nullopt;
}

// What may stand at the destination: nothing, or a file the user agrees to replace (its
// identity); none when the run stops (the message has been shown, or the user said No).
std::optional<std::optional<IdFichero>>
Reemplazable(Ventana& v, const Carpeta& carpeta, const std::string& destino, const Protegidos& protegidos) {
    const Ocupante o = MirarOcupante(carpeta, NombreDeRuta(destino), protegidos);
    if (o.Libre()) return std::optional<IdFichero>();
    if (!o.estado.Bien()) {
        v.Error("¡ Error al crear fichero " + destino + " !");
        return std::nullopt;
    }
    if (o.intocable) {
        v.Error(ErrorMismoNombre);
        return std::nullopt;
    }
    if (!v.Reemplazar(destino)) return std::nullopt;
    return std::optional<IdFichero>(o.id);
}

} // namespace

bool Unir(Ventana& v, EntradaUnir e) {
    v.LimpiarMemo(Memo::Unir);
    const std::string& base = e.base;
    if (base.empty()) {
        v.Error("¡ Debes indicar el fichero base para unir !");
        v.Enfocar(Campo::FicheroUnir);
        return false;
    }
    std::string destino = e.destino;
    if (destino.empty()) {
        v.Error("¡ Debes indicar el fichero destino !");
        v.Enfocar(Campo::FicheroUnido);
        return false;
    }
    // A bare name is created beside the chosen piece, where its set lives.
    if (CarpetaDeRuta(destino).empty()) destino = CarpetaDeRuta(base) + destino;

    const PlanUnir& plan = e.plan;
    for (int64_t n = plan.PrimerTrozo; n <= plan.UltimoTrozo; ++n) {
        if (NombreTrozoUnir(base, plan, n) == destino) {
            v.Error(ErrorMismoNombre);
            return false;
        }
    }
    // The set is checked whole before anything is written: a short file is never called whole.
    // A list that came with the pieces names the set's end too.
    const std::optional<ListaDelJuego> lista = BuscarListaDelJuego(base);
    std::optional<std::string> incompleto = TrozoQueFalta(base, plan);
    if (!incompleto && lista) incompleto = FaltaSegunLista(base, plan, *lista);
    if (!incompleto) incompleto = TamanoQueFalla(base, plan);
    if (incompleto) {
        v.Error(*incompleto);
        return false;
    }
    Carpeta carpeta;
    if (!AbrirCarpeta(carpeta, CarpetaDeRuta(destino)).Bien()) {
        v.Error("¡ Error al crear fichero " + destino + " !");
        return false;
    }
    LimpiarTemporales(carpeta);
    Protegidos protegidos;
    for (const std::string& ruta : PiezasDelJuego(base, plan))
        protegidos.Anadir(ruta);
    const auto reemplazable = Reemplazable(v, carpeta, destino, protegidos);
    if (!reemplazable) return false;
    SalidaTemporal unido;
    if (!unido.Crear(carpeta).Bien()) {
        v.Error("¡ Error al crear fichero " + destino + " !");
        return false;
    }

    v.CursorOcupado();
    v.AnadirLinea(Memo::Unir, "Uniendo trozos...");
    std::optional<std::string> fallo =
        UnirTrozos(v, base, plan, lista ? &*lista : nullptr, unido.Datos(), destino);
    // A full disk may show only when the data are flushed.
    if (!fallo && !unido.Volcar().Bien()) fallo = "¡ Error al escribir en fichero " + destino + " !";
    if (!fallo) {
        const Desenlace publicado = unido.Publicar(NombreDeRuta(destino), protegidos, *reemplazable);
        if (publicado.resultado == Resultado::Intocable)
            fallo = ErrorMismoNombre;
        else if (!publicado.Bien())
            fallo = "¡ Error al crear fichero " + destino + " !";
    }
    if (fallo) {
        unido.Descartar();
        v.CursorNormal();
        if (*fallo == ProcesoInterrumpido)
            v.AnadirLinea(Memo::Unir, *fallo);
        else
            v.Error(*fallo);
        return false;
    }
    SincronizarCarpeta(carpeta);
    v.AnadirLinea(Memo::Unir, "");
    v.Informacion("¡ Proceso finalizado !");
    v.CursorNormal();
    return true;
}

} // namespace quimbel
