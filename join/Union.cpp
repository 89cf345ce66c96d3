// SPDX-License-Identifier: GPL-3.0-or-later
#include "Union.h"

#include <sys/stat.h>

#include <algorithm>
#include <optional>
#include <set>
#include <vector>

#include "AnalisisUnir.h"
#include "ComprobacionTrozo.h"
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
#include "parity/Reparacion.h"

namespace quimbel {

namespace {

const std::string ErrorMismoNombre = "¡ Error, un trozo no puede llamarse igual que el fichero destino !";

// Every file the join reads or could take for one of its pieces: the chosen piece, the pieces
// of the plan, the ".fin" sibling, and whatever the pieces' folder holds under the set's names
// (stem + ".fin" in any case, or stem + "." + digits), so that no destination ever replaces a
// piece, in the plan or not.
std::set<std::string> PiezasDelJuego(const std::string& base, const PlanUnir& plan,
                                     const std::vector<std::string>& sufijos) {
    std::set<std::string> rutas{base, CambiarExtension(base, ".fin")};
    for (int64_t n = plan.PrimerTrozo; n <= plan.UltimoTrozo; ++n)
        rutas.insert(NombreTrozoUnir(base, plan, n));
    for (const std::string& sufijo : sufijos)
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

// Why a join stopped: its message, and whether a piece failed its list's check or the run was
// asked to stop (its message then goes to the memo instead of a box).
struct Parada {
    std::string mensaje;
    bool danado = false;
    bool interrumpida = false;
};

Parada Detenida() {
    return {std::string(ProcesoInterrumpido), false, true};
}

// Appends the data of every piece to the open output, checking those its list names; why it
// stopped, if it did.
std::optional<Parada> UnirTrozos(Ventana& v, const std::string& base, const PlanUnir& plan,
                                 const ListaDelJuego* lista, Fichero& unido, const std::string& destino) {
    Avance avance(v, BytesDelPlan(base, plan));
    for (int64_t n = plan.PrimerTrozo; n <= plan.UltimoTrozo; ++n) {
        const std::string nombre = NombreTrozoUnir(base, plan, n);
        Fichero trozo;
        const int64_t z = AbrirFichero(trozo, nombre).Bien() ? trozo.Tamano() : -1;
        if (z < 0) return Parada{"¡ Error al abrir fichero " + nombre + " !"};
        const int64_t inicio = InicioDatosTrozo(plan, n);
        v.AnadirLinea(Memo::Unir, "Uniendo trozo " + std::to_string(n) + " : " + nombre);
        ComprobacionTrozo comprobacion(lista, nombre);
        if (comprobacion.Activa() && !comprobacion.Cabecera(trozo, inicio))
            return Parada{"¡ Error al leer fichero " + nombre + " !"};
        // A piece that yields fewer bytes than it had when opened lost them meanwhile.
        const int64_t cuenta = std::max<int64_t>(z - inicio, 0);
        int64_t copiados = 0;
        if (CopiarBloque(trozo, unido, inicio, cuenta, &copiados, &avance, comprobacion.Ver()) != 0 ||
            copiados != cuenta) {
            if (v.Interrumpido()) return Detenida();
            return Parada{"¡ Error al escribir en fichero " + destino + " !"};
        }
        if (comprobacion.Activa()) {
            const bool bien = comprobacion.Correcta();
            v.AnadirLinea(Memo::Unir, (bien ? "  Correcto: " : " Error CRC: ") + nombre);
            if (!bien)
                return Parada{"¡ Error CRC en el trozo " + std::to_string(n) + " : " + nombre + " !", true};
        }
        trozo.Cerrar();
        v.ProcesarMensajes();
        if (v.Interrumpido()) return Detenida();
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

bool Juntar(Ventana& v, EntradaUnir e, bool puedeReparar);

// A piece missing or wrong in a set that came with a PAR2 set: asked once, the set is rebuilt
// (its lines going to the "Unir" memo) and, when every file of it is whole, analysed again and
// joined, checked the same way; otherwise the run stops with `motivo`. True as Unir.
bool RepararYJuntar(Ventana& v, EntradaUnir e, const ListaDelJuego& lista, const std::string& motivo) {
    if (!v.RepararYUnir(motivo)) {
        v.Error(motivo);
        return false;
    }
    v.AnadirLinea(Memo::Unir, "Reparando con " + lista.ruta);
    const ResultadoReparacion r = RepararComoPaso(v, {lista.ruta, "", false, {}}, Memo::Unir);
    if (r.interrumpida) return false;
    if (r.estado != 0) {
        if (!r.fallosMostrados) v.Error(motivo);
        return false;
    }
    const AnalisisUnir a = AnalizarFicheroUnir(v, e.base);
    if (!a.correcto) return false;
    if (a.falta) {
        v.Error(*a.falta);
        return false;
    }
    e.plan = a.plan;
    return Juntar(v, std::move(e), false);
}

// The join once the boxes are filled; puedeReparar: a set with a PAR2 set may be rebuilt first.
bool Juntar(Ventana& v, EntradaUnir e, bool puedeReparar) {
    const std::string& base = e.base;
    const std::string& destino = e.destino;
    const PlanUnir& plan = e.plan;
    for (int64_t n = plan.PrimerTrozo; n <= plan.UltimoTrozo; ++n) {
        if (NombreTrozoUnir(base, plan, n) == destino) {
            v.Error(ErrorMismoNombre);
            return false;
        }
    }
    // The set is checked whole before anything is written: a short file is never called whole.
    // A list that came with the pieces names the set's end and sizes too.
    const std::vector<std::string> sufijos = ListarVecinos(base).sufijos;
    const std::optional<ListaDelJuego> lista = BuscarListaDelJuego(base, sufijos);
    const bool reparable = puedeReparar && lista && lista->par2;
    std::optional<std::string> incompleto = TrozoQueFalta(base, plan);
    if (!incompleto && lista) incompleto = FallaSegunLista(base, plan, *lista);
    if (!incompleto) incompleto = TamanoQueFalla(base, plan);
    if (incompleto) {
        if (reparable) return RepararYJuntar(v, std::move(e), *lista, *incompleto);
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
    for (const std::string& ruta : PiezasDelJuego(base, plan, sufijos))
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
    std::optional<Parada> fallo =
        UnirTrozos(v, base, plan, lista ? &*lista : nullptr, unido.Datos(), destino);
    // A full disk may show only when the data are flushed.
    if (!fallo && !unido.Volcar().Bien()) fallo = Parada{"¡ Error al escribir en fichero " + destino + " !"};
    if (!fallo) {
        const Desenlace publicado = unido.Publicar(NombreDeRuta(destino), protegidos, *reemplazable);
        if (publicado.resultado == Resultado::Intocable)
            fallo = Parada{ErrorMismoNombre};
        else if (!publicado.Bien())
            fallo = Parada{"¡ Error al crear fichero " + destino + " !"};
    }
    if (fallo) {
        unido.Descartar();
        v.CursorNormal();
        if (fallo->interrumpida)
            v.AnadirLinea(Memo::Unir, fallo->mensaje);
        else if (fallo->danado && reparable)
            return RepararYJuntar(v, std::move(e), *lista, fallo->mensaje);
        else
            v.Error(fallo->mensaje);
        return false;
    }
    SincronizarCarpeta(carpeta);
    v.AnadirLinea(Memo::Unir, "");
    v.Informacion("¡ Proceso finalizado !");
    v.CursorNormal();
    return true;
}

} // namespace

bool Unir(Ventana& v, EntradaUnir e) {
    v.LimpiarMemo(Memo::Unir);
    if (e.base.empty()) {
        v.Error("¡ Debes indicar el fichero base para unir !");
        v.Enfocar(Campo::FicheroUnir);
        return false;
    }
    if (e.destino.empty()) {
        v.Error("¡ Debes indicar el fichero destino !");
        v.Enfocar(Campo::FicheroUnido);
        return false;
    }
    // A bare name is created beside the chosen piece, where its set lives.
    if (CarpetaDeRuta(e.destino).empty()) e.destino = CarpetaDeRuta(e.base) + e.destino;
    return Juntar(v, std::move(e), true);
}

} // namespace quimbel
