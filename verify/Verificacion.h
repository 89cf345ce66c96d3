// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The verification run: every file an SFV file lists is looked up in a folder, its
// CRC-32 computed and compared, and the outcome listed in the "Verificar" memo.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "files/Ventana.h"

namespace quimbel {

// What a run reads from the "Verificar" page once, when it starts.
struct EntradaVerificacion {
    std::string sfv;     // the SFV file's path (the window strips its box's quotes)
    std::string carpeta; // text of the folder box, as typed; empty: the SFV file's folder
    // Also read files whose outcome no filter would show, so that the summary is
    // complete (the command line's exit status); the window leaves it off.
    bool comprobarOcultos = false;
};

// What the user may change while a run goes on; read again for every line handled.
struct OpcionesVerificacion {
    bool mostrarErrorCrc = true;     // "Error CRC"
    bool mostrarInexistentes = true; // "Inexistentes"
    bool mostrarCorrectos = true;    // "Correctos"
    bool renombrar = false;          // "Renombrar"
    std::string extension = "mal";   // the extension box
    bool letra = false;              // "Letra" rather than "Número"
};

using LeerOpcionesVerificacion = std::function<OpcionesVerificacion()>;

// How a run went. Every entry falls in exactly one of the outcome counts, shown or not.
struct ResultadoVerificacion {
    bool abierto = false;        // the SFV file was opened, so the run took place
    bool finalizado = false;     // it ended with "¡ Proceso finalizado !"
    bool lecturaCortada = false; // a read of the SFV file failed before its end
    int64_t entradas = 0;        // lines that name a file
    int64_t correctos = 0;
    int64_t erroneos = 0;     // CRC differs
    int64_t inexistentes = 0; // no regular file of that path
    int64_t crcInvalidos = 0; // the CRC text is not eight hexadecimal digits' worth
    int64_t ilegibles = 0;    // the file's CRC could not be computed
    int64_t sinComprobar = 0; // existing files not read, as the filters asked
    int64_t renombrados = 0;
};

// The folder in which entries are looked up: the folder box's text with one "/" at
// its end, or, when that box is empty, the folder part of the SFV path.
std::string CarpetaVerificacion(const std::string& rutaSfv, const std::string& textoCarpeta);

// Runs a verification: clears the memo, checks the inputs, then for each entry of the
// SFV file adds " No existe: ", " Error CRC: " or "  Correcto: " + path as the live
// filters ask, renames wrong files when "Renombrar" is on (only names the kernel resolves
// beneath the folder, opened once at the start), lets the window breathe after each CRC and ends with "¡
// Proceso finalizado !". An invalid CRC text or an unreadable file gets an error box and the run goes on; a
// failed read of the SFV file ends it. The busy cursor is on while it runs.
ResultadoVerificacion Verificar(Ventana& ventana, const EntradaVerificacion& entrada,
                                const LeerOpcionesVerificacion& opciones);

} // namespace quimbel
