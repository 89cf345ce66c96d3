// SPDX-License-Identifier: GPL-3.0-or-later
#include "Reparacion.h"

#include <string_view>
#include <vector>

#include "files/Carpeta.h"
#include "files/Interrupcion.h"
#include "files/Rutas.h"
#include "parity/Par.h"

namespace quimbel {

namespace {

// The library's texts: progress, failures and lines.
int32_t ProgresoReparar(void* contexto, const char* texto) {
    if (contexto == nullptr || texto == nullptr) return 0;
    ContextoPar& c = *static_cast<ContextoPar*>(contexto);
    const std::string_view t(texto);
    if (t.starts_with(LLAMADA_PAR_AVANCE)) {
        if (const auto avance = LeerAvancePar(t); avance && c.avance != nullptr) {
            c.avance->Medir(static_cast<int64_t>(avance->second));
            c.avance->Poner(static_cast<int64_t>(avance->first));
        }
        // Unlike the other runs, a repair lets the window handle its messages as it goes.
        c.ventana.ProcesarMensajes();
    } else if (t.starts_with("¡ ")) {
        ++c.fallos;
        c.ventana.Error(t);
    } else {
        c.ventana.AnadirLinea(c.memo, t);
    }
    return 0;
}

// A run whose lines go to `memo`; a step ends without the final box.
ResultadoReparacion Ejecutar(Ventana& v, const EntradaReparacion& e, Memo memo, bool paso) {
    ResultadoReparacion r;
    if (e.indice.empty()) {
        v.Error("¡ Debes indicar el fichero PAR2 !");
        v.Enfocar(Campo::FicheroReparar);
        return r;
    }
    r.estado = 1;
    if (!ParCargada()) {
        v.Error("¡ Error en la DLL Par.dll !");
        return r;
    }
    CursorOcupadoMientras cursor(v);
    Avance avanceReparacion(v, 0);
    std::vector<std::string> argumentos{"par.exe", e.soloComprobar ? "verify" : "repair"};
    if (!e.carpeta.empty()) argumentos.insert(argumentos.end(), {"-d", e.carpeta});
    argumentos.insert(argumentos.end(), {"--", e.indice});
    argumentos.insert(argumentos.end(), e.buscar.begin(), e.buscar.end());
    // The set's folder, opened once: the library reads the set there whatever happens to its path.
    Carpeta carpeta;
    AbrirCarpeta(carpeta, CarpetaDeRuta(e.indice));
    ContextoPar contexto(v);
    contexto.avance = &avanceReparacion;
    contexto.memo = memo;
    const int32_t resultado = LlamarPar(argumentos, &ProgresoReparar, contexto, carpeta.Descriptor());
    r.llamada = true;
    r.fallosMostrados = contexto.fallos > 0;
    r.estado = resultado >= 0 && resultado <= 2 ? resultado : 1;
    if (resultado == LLAMADA_PAR_INTERRUMPIDA) {
        r.interrumpida = true;
        v.AnadirLinea(memo, ProcesoInterrumpido);
        return r;
    }
    if (contexto.fallos == 0 && !paso) v.Informacion("¡ Proceso finalizado !");
    return r;
}

} // namespace

ResultadoReparacion Reparar(Ventana& v, const EntradaReparacion& e) {
    v.LimpiarMemo(Memo::Reparar);
    return Ejecutar(v, e, Memo::Reparar, false);
}

ResultadoReparacion RepararComoPaso(Ventana& v, const EntradaReparacion& e, Memo memo) {
    return Ejecutar(v, e, memo, true);
}

} // namespace quimbel
