// SPDX-License-Identifier: GPL-3.0-or-later
#include "Verificacion.h"

#include <sys/stat.h>

#include <optional>

#include "files/Ficheros.h"
#include "files/Interrupcion.h"
#include "files/Rutas.h"
#include "files/Texto.h"
#include "verify/Crc.h"
#include "verify/LineaSfv.h"
#include "verify/Renombrar.h"

namespace quimbel {

namespace {

// The bytes of the files an SFV file lists, as they stand now: what checking them all reads.
int64_t BytesListados(const std::string& rutaSfv, const std::string& carpeta) {
    TextoEntrada sfv;
    if (!AbrirTexto(sfv, rutaSfv).Bien()) return 0;
    int64_t bytes = 0;
    std::string texto;
    while (sfv.LeerLinea(texto)) {
        struct stat st {};
        if (const auto linea = LeerLineaSfv(texto);
            linea && stat((carpeta + linea->nombre).c_str(), &st) == 0 && S_ISREG(st.st_mode))
            bytes += st.st_size;
    }
    return bytes;
}

// Handles one entry of the SFV file.
void Comprobar(Ventana& v, const EntradaVerificacion& e, const OpcionesVerificacion& o,
               const std::string& carpeta, const Carpeta& abierta, const LineaSfv& linea, Avance& avance,
               ResultadoVerificacion& r) {
    ++r.entradas;
    const std::string ruta = carpeta + linea.nombre;
    // Only a regular file counts: opening a FIFO or a device could hang the run.
    if (!ExisteFichero(ruta)) {
        ++r.inexistentes;
        if (o.mostrarInexistentes) v.AnadirLinea(Memo::Verificar, " No existe: " + ruta);
        return;
    }
    if (!o.mostrarErrorCrc && !o.mostrarCorrectos && !e.comprobarOcultos) {
        ++r.sinComprobar;
        return;
    }
    const std::optional<uint32_t> esperado = LeerCrcSfv(linea.textoCrc);
    if (!esperado) {
        ++r.crcInvalidos;
        v.Error("¡ Error, el CRC del fichero " + ruta + " es incorrecto !");
        return;
    }
    const std::optional<uint32_t> crc = CrcFichero(ruta, &avance);
    // A file whose check was cut short has no outcome.
    if (v.Interrumpido()) return;
    if (!crc) {
        ++r.ilegibles;
        v.Error("¡ Error al calcular CRC del fichero " + ruta + " !");
    } else if (*crc == *esperado) {
        ++r.correctos;
        if (o.mostrarCorrectos) v.AnadirLinea(Memo::Verificar, "  Correcto: " + ruta);
    } else {
        ++r.erroneos;
        if (o.mostrarErrorCrc) {
            v.AnadirLinea(Memo::Verificar, " Error CRC: " + ruta);
            // A downloaded list must not move files that lie outside the chosen folder: the name
            // is resolved beneath it by the kernel.
            if (o.renombrar && RenombrarErroneo(v, abierta, linea.nombre, ruta, o.extension, o.letra))
                ++r.renombrados;
        }
    }
    v.ProcesarMensajes();
}

} // namespace

std::string CarpetaVerificacion(const std::string& rutaSfv, const std::string& textoCarpeta) {
    return textoCarpeta.empty() ? CarpetaDeRuta(rutaSfv) : ConBarraFinal(textoCarpeta);
}

ResultadoVerificacion Verificar(Ventana& v, const EntradaVerificacion& e,
                                const LeerOpcionesVerificacion& opciones) {
    ResultadoVerificacion r;
    v.LimpiarMemo(Memo::Verificar);
    const std::string& rutaSfv = e.sfv;
    if (rutaSfv.empty()) {
        v.Error("¡ Debes indicar el fichero a verificar !");
        v.Enfocar(Campo::FicheroVerificar);
        return r;
    }
    const std::string carpeta = CarpetaVerificacion(rutaSfv, e.carpeta);
    TextoEntrada sfv;
    if (!AbrirTexto(sfv, rutaSfv).Bien()) {
        v.Error("¡ Error al abrir fichero " + rutaSfv + " !");
        return r;
    }
    r.abierto = true;
    // Taken once: a folder renamed or relinked during the run does not move the renames.
    Carpeta abierta;
    AbrirCarpeta(abierta, carpeta);

    CursorOcupadoMientras cursor(v);
    Avance avance(v, BytesListados(rutaSfv, carpeta));
    v.AnadirLinea(Memo::Verificar, "Verificando SFV: " + rutaSfv);
    std::string texto;
    while (sfv.LeerLinea(texto)) {
        if (const std::optional<LineaSfv> linea = LeerLineaSfv(texto))
            Comprobar(v, e, opciones ? opciones() : OpcionesVerificacion{}, carpeta, abierta, *linea, avance,
                      r);
        if (Interrumpida(v, Memo::Verificar)) return r;
    }
    if (!sfv.Error().Bien()) {
        sfv.Cerrar();
        r.lecturaCortada = true;
        v.Error("¡ Error al leer fichero " + rutaSfv + " !");
        return r;
    }
    sfv.Cerrar();
    v.Informacion("¡ Proceso finalizado !");
    r.finalizado = true;
    return r;
}

} // namespace quimbel
