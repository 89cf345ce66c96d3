#include "Union.h"

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
    Fichero unido;
    const int creado = CrearFichero(unido, destino, trozos);
    if (creado != 0) {
        v.Error(creado == ErrorFicheroIntocable ? ErrorMismoNombre
                                                : "¡ Error al crear fichero " + destino + " !");
        return false;
    }

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
