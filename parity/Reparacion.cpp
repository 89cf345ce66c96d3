#include "Reparacion.h"

#include <charconv>
#include <string_view>
#include <vector>

#include "parity/Par.h"

namespace quimbel {

namespace {

// Failures shown during the call in progress.
int fallosEnCurso = 0;

// "%hecho/total": the two numbers, or none.
bool LeerAvance(std::string_view texto, uint64_t& hecho, uint64_t& total) {
    const size_t barra = texto.find('/');
    if (barra == std::string_view::npos) return false;
    const char* fin = texto.data() + texto.size();
    const auto a = std::from_chars(texto.data(), texto.data() + barra, hecho);
    const auto b = std::from_chars(texto.data() + barra + 1, fin, total);
    return a.ec == std::errc() && a.ptr == texto.data() + barra && b.ec == std::errc() && b.ptr == fin;
}

// The library's texts: progress, failures and lines.
int32_t ProgresoReparar(const char* texto) {
    Ventana* v = VentanaEnCurso();
    if (v == nullptr || texto == nullptr) return 0;
    const std::string_view t(texto);
    const std::string_view avance(LLAMADA_PAR_AVANCE);
    uint64_t hecho = 0, total = 0;
    if (t.starts_with(avance)) {
        Avance* a = AvanceEnCurso();
        if (a != nullptr && LeerAvance(t.substr(avance.size()), hecho, total)) {
            a->Medir(static_cast<int64_t>(total));
            a->Poner(static_cast<int64_t>(hecho));
        }
        // Unlike the other runs, a repair lets the window handle its messages as it goes.
        v->ProcesarMensajes();
    } else if (t.starts_with("¡ ")) {
        ++fallosEnCurso;
        v->Error(t);
    } else {
        v->AnadirLinea(Memo::Reparar, t);
    }
    return 0;
}

} // namespace

ResultadoReparacion Reparar(Ventana& v, const EntradaReparacion& e) {
    ResultadoReparacion r;
    v.LimpiarMemo(Memo::Reparar);
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
    fallosEnCurso = 0;
    const int32_t resultado = LlamarPar(v, argumentos, &ProgresoReparar, &avanceReparacion);
    r.llamada = true;
    r.estado = resultado >= 0 && resultado <= 2 ? resultado : 1;
    if (fallosEnCurso == 0) v.Informacion("¡ Proceso finalizado !");
    return r;
}

} // namespace quimbel
