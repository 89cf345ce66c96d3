#include "Union.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "files/CopiarBloque.h"
#include "files/Ficheros.h"
#include "files/Rutas.h"

namespace quimbel {

namespace {

constexpr std::string_view ControlBase = "FilenameEditFicheroUnir";
constexpr std::string_view ControlDestino = "FilenameEditFicheroUnido";
const std::string ErrorMismoNombre = "¡ Error, un trozo no puede llamarse igual que el fichero destino !";

// Joined files that runs in progress are still writing. A run started while another one lets the
// window breathe must not empty them.
std::vector<IdFichero>& UnidosEnCurso() {
    static std::vector<IdFichero> ids;
    return ids;
}

// Counts a joined file among those being written for as long as it lives.
class UnidoEnCurso {
  public:
    explicit UnidoEnCurso(IdFichero id) : id_(id) { UnidosEnCurso().push_back(id); }
    ~UnidoEnCurso() {
        auto& ids = UnidosEnCurso();
        ids.erase(std::find(ids.begin(), ids.end(), id_));
    }
    UnidoEnCurso(const UnidoEnCurso&) = delete;
    UnidoEnCurso& operator=(const UnidoEnCurso&) = delete;

  private:
    IdFichero id_;
};

bool Contiene(const std::vector<IdFichero>& ids, const std::optional<IdFichero>& id) {
    return id && std::find(ids.begin(), ids.end(), *id) != ids.end();
}

// The identities of the pieces that exist now, which the destination must not be: those of the
// plan, and those of the set below a piece chosen in its middle, down to the first missing one.
std::vector<IdFichero> IdsDeTrozos(const std::string& base, const PlanUnir& plan) {
    std::vector<IdFichero> ids;
    for (int64_t n = plan.PrimerTrozo; n <= plan.UltimoTrozo; ++n)
        if (auto id = IdDeRuta(NombreTrozoUnir(base, plan, n))) ids.push_back(*id);
    for (int64_t n = plan.PrimerTrozo - 1; n >= 0; --n) {
        const auto id = IdDeRuta(NombreTrozoUnir(base, plan, n));
        if (!id) break;
        ids.push_back(*id);
    }
    return ids;
}

// Appends the data of every piece to the open destination; the message of the stop, if any.
std::optional<std::string> UnirTrozos(Ventana& v, const std::string& base, const PlanUnir& plan,
                                      Fichero& unido, const std::string& destino) {
    for (int64_t n = plan.PrimerTrozo; n <= plan.UltimoTrozo; ++n) {
        const std::string nombre = NombreTrozoUnir(base, plan, n);
        Fichero trozo;
        const int64_t z = AbrirFichero(trozo, nombre) == 0 ? trozo.Tamano() : -1;
        if (z < 0) return "¡ Error al abrir fichero " + nombre + " !";
        const int64_t inicio = InicioDatosTrozo(plan, n);
        v.AnadirLinea(Memo::Unir, "Uniendo trozo " + std::to_string(n) + " : " + nombre);
        if (CopiarBloque(trozo, unido, inicio, z - inicio) != 0)
            return "¡ Error al escribir en fichero " + destino + " !";
        trozo.Cerrar();
        v.ProcesarMensajes();
    }
    // A full disk may show only when the file is closed.
    if (unido.Cerrar() != 0) return "¡ Error al escribir en fichero " + destino + " !";
    return std::nullopt;
}

} // namespace

bool Unir(Ventana& v, EntradaUnir e) {
    v.LimpiarMemo(Memo::Unir);
    const std::string base = QuitarComillas(e.base);
    if (base.empty()) {
        v.Error("¡ Debes indicar el fichero base para unir !");
        v.Enfocar(ControlBase);
        return false;
    }
    std::string destino = QuitarComillas(e.destino);
    if (destino.empty()) {
        v.Error("¡ Debes indicar el fichero destino !");
        v.Enfocar(ControlDestino);
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
    const std::vector<IdFichero> trozos = IdsDeTrozos(base, plan);
    std::vector<IdFichero> intocables = trozos;
    intocables.insert(intocables.end(), UnidosEnCurso().begin(), UnidosEnCurso().end());
    Fichero unido;
    const int creado = CrearFichero(unido, destino, intocables);
    if (creado != 0) {
        const bool esTrozo = creado == ErrorFicheroIntocable && Contiene(trozos, IdDeRuta(destino));
        v.Error(esTrozo ? ErrorMismoNombre : "¡ Error al crear fichero " + destino + " !");
        return false;
    }
    const UnidoEnCurso enCurso(unido.Id());

    v.CursorOcupado();
    v.AnadirLinea(Memo::Unir, "Uniendo trozos...");
    if (const auto fallo = UnirTrozos(v, base, plan, unido, destino)) {
        unido.Cerrar();
        v.CursorNormal();
        v.Error(*fallo);
        return false;
    }
    v.AnadirLinea(Memo::Unir, "");
    v.Informacion("¡ Proceso finalizado !");
    v.CursorNormal();
    return true;
}

} // namespace quimbel
