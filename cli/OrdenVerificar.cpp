// SPDX-License-Identifier: GPL-3.0-or-later
#include "Consola.h"
#include "Ordenes.h"

#include "verify/Renombrar.h"
#include "verify/Verificacion.h"

namespace quimbel {

namespace {

// Reads the comma-separated list of --mostrar into the three filters; false on an
// unknown or missing word.
bool LeerMostrar(const std::string& lista, OpcionesVerificacion& o) {
    o.mostrarErrorCrc = o.mostrarInexistentes = o.mostrarCorrectos = false;
    size_t inicio = 0;
    for (;;) {
        const size_t coma = lista.find(',', inicio);
        const std::string palabra = lista.substr(inicio, coma == std::string::npos ? coma : coma - inicio);
        if (palabra == "errores")
            o.mostrarErrorCrc = true;
        else if (palabra == "inexistentes")
            o.mostrarInexistentes = true;
        else if (palabra == "correctos")
            o.mostrarCorrectos = true;
        else
            return false;
        if (coma == std::string::npos) return true;
        inicio = coma + 1;
    }
}

} // namespace

int OrdenVerificar(std::span<const std::string> args) {
    EntradaVerificacion entrada;
    OpcionesVerificacion opciones;
    std::vector<std::string> posicionales;
    bool letra = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hayValor = i + 1 < args.size();
        if (a == "--carpeta") {
            if (!hayValor || args[i + 1].empty()) return ErrorDeUso("--carpeta necesita una carpeta");
            entrada.carpeta = args[++i];
        } else if (a == "--mostrar") {
            if (!hayValor || !LeerMostrar(args[++i], opciones))
                return ErrorDeUso("--mostrar necesita una lista de errores, inexistentes y correctos");
        } else if (a == "--renombrar") {
            if (!hayValor) return ErrorDeUso("--renombrar necesita una EXTENSION (puede ser \"\")");
            opciones.renombrar = true;
            opciones.extension = args[++i];
            if (!ExtensionValida(opciones.extension)) return ErrorDeUso("¡ Extensión no válida !");
        } else if (a == "--letra") {
            letra = true;
        } else if (a.starts_with("--")) {
            return ErrorDeUso("opción desconocida: " + a);
        } else {
            posicionales.push_back(a);
        }
    }
    if (posicionales.size() != 1 || posicionales[0].empty())
        return ErrorDeUso("verificar necesita un fichero SFV");
    if (letra && !opciones.renombrar) return ErrorDeUso("--letra solo tiene sentido con --renombrar");
    opciones.letra = letra;
    entrada.sfv = posicionales[0];
    // Files whose outcome is not shown are still read: the exit status covers every entry.
    entrada.comprobarOcultos = true;

    Consola consola;
    const ResultadoVerificacion r = Verificar(consola, entrada, [&opciones] { return opciones; });
    if (!r.abierto) return SalidaUso;
    const bool todoCorrecto = r.finalizado && r.entradas > 0 && r.correctos == r.entradas;
    return todoCorrecto ? SalidaBien : SalidaFallo;
}

} // namespace quimbel
