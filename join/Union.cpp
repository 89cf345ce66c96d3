#include "Union.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <optional>
#include <set>
#include <vector>

#include "files/CopiarBloque.h"
#include "files/Ficheros.h"
#include "files/Rutas.h"
#include "files/Salidas.h"

namespace quimbel {

namespace {

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

bool Contiene(const std::vector<IdFichero>& ids, const IdFichero& id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

// Whether a file name in the pieces' folder belongs to the set of that stem: stem + ".fin"
// (any case) or stem + "." + digits.
bool EsDelJuego(std::string_view nombre, std::string_view raiz) {
    if (!nombre.starts_with(raiz) || nombre.size() < raiz.size() + 2 || nombre[raiz.size()] != '.')
        return false;
    const std::string_view resto = nombre.substr(raiz.size());
    return EsExtensionFin(resto) || resto.find_first_not_of("0123456789", 1) == std::string_view::npos;
}

// Every file the join reads or could take for one of its pieces: the chosen piece, the pieces
// of the plan, the ".fin" sibling, and whatever the pieces' folder holds under the set's names
// (one listing), so that no destination name ever empties a piece, in the plan or not.
std::set<std::string> PiezasDelJuego(const std::string& base, const PlanUnir& plan) {
    std::set<std::string> rutas{base, CambiarExtension(base, ".fin")};
    for (int64_t n = plan.PrimerTrozo; n <= plan.UltimoTrozo; ++n)
        rutas.insert(NombreTrozoUnir(base, plan, n));
    const std::string carpeta = CarpetaDeRuta(base);
    const std::string raiz = NombreDeRuta(CambiarExtension(base, ""));
    if (DIR* d = opendir(carpeta.empty() ? "." : carpeta.c_str())) {
        while (const dirent* entrada = readdir(d))
            if (EsDelJuego(entrada->d_name, raiz)) rutas.insert(carpeta + entrada->d_name);
        closedir(d);
    }
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

// Appends the data of every piece to the open destination; the message of the stop, if any.
std::optional<std::string> UnirTrozos(Ventana& v, const std::string& base, const PlanUnir& plan,
                                      Fichero& unido, const std::string& destino) {
    Avance avance(v, BytesDelPlan(base, plan));
    for (int64_t n = plan.PrimerTrozo; n <= plan.UltimoTrozo; ++n) {
        const std::string nombre = NombreTrozoUnir(base, plan, n);
        Fichero trozo;
        const int64_t z = AbrirFichero(trozo, nombre).Bien() ? trozo.Tamano() : -1;
        if (z < 0) return "¡ Error al abrir fichero " + nombre + " !";
        const int64_t inicio = InicioDatosTrozo(plan, n);
        v.AnadirLinea(Memo::Unir, "Uniendo trozo " + std::to_string(n) + " : " + nombre);
        // A piece that yields fewer bytes than it had when opened lost them meanwhile.
        const int64_t cuenta = std::max<int64_t>(z - inicio, 0);
        int64_t copiados = 0;
        if (CopiarBloque(trozo, unido, inicio, cuenta, &copiados, &avance) != 0 || copiados != cuenta)
            return "¡ Error al escribir en fichero " + destino + " !";
        trozo.Cerrar();
        v.ProcesarMensajes();
    }
    // A full disk may show only when the file is closed.
    if (!unido.Cerrar().Bien()) return "¡ Error al escribir en fichero " + destino + " !";
    return std::nullopt;
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
    Protegidos protegidos;
    for (const std::string& ruta : PiezasDelJuego(base, plan))
        protegidos.Anadir(ruta);
    for (const IdFichero& id : UnidosEnCurso())
        protegidos.Anadir(id);
    Fichero unido;
    const Desenlace creado = CrearFichero(unido, destino, protegidos);
    if (!creado.Bien()) {
        // The joined file of a run in progress is no piece: its name cannot be created now.
        const bool intocable = creado.resultado == Resultado::Intocable;
        Fichero existente;
        const bool enCurso =
            intocable && AbrirFichero(existente, destino).Bien() && Contiene(UnidosEnCurso(), existente.Id());
        v.Error(intocable && !enCurso ? ErrorMismoNombre : "¡ Error al crear fichero " + destino + " !");
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
