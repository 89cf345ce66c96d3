// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The SFV step of a split: one SFV file listing the pieces the split wrote, each with
// its size, time and CRC-32, in the pieces' folder.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/Avance.h"
#include "files/Carpeta.h"
#include "files/Trozos.h"
#include "files/Ventana.h"

namespace quimbel {

// What the split hands to the SFV step.
struct EntradaSfv {
    std::string fuente;  // the source path, quotes removed
    std::string destino; // the pieces' folder, ending in "/", or empty
    int64_t n = 0;       // the piece count of the whole set
    TipoCorte tipo = TipoCorte::Normal;
    std::vector<int64_t> trozos;      // the pieces the split wrote (k), in increasing order
    const Carpeta* carpeta = nullptr; // destino, opened by the split; none: the step opens it
    Avance* avance = nullptr;         // the split's progress, moved by the bytes checked
    // The CRC-32 of each piece, computed as it was written: no piece is read again. None: the
    // step reads each piece.
    const std::map<int64_t, uint32_t>* crcs = nullptr;
};

// The first line of every SFV file the program writes, before its date and time.
inline constexpr std::string_view CabeceraSfv = "; Creado con Quimbel v" QUIMBEL_VERSION " el ";

// The SFV path: destino followed by the source's file name with its extension
// replaced by ".sfv".
std::string RutaSfv(std::string_view fuente, std::string_view destino);

// The refusal of a source whose file name no SFV line can hold (a CR, LF or Ctrl-Z byte
// would end the line or the file): "¡ Error, nombre no válido para SFV: " + name + " !".
std::optional<std::string> RechazoNombreSfv(std::string_view fuente);

// The name as a data line writes it: "./" in front of a name that begins with ";", "#" or a
// blank, which readers would take for a comment or lose.
std::string NombreEnLineaSfv(std::string_view nombre);

// Writes the SFV file: the header line with the local date and time, ";", one comment
// line per listed piece ("; " size, hh:mm dd-mm-yyyy of its last change, name), then
// one data line per piece (name, a blank, "%8.8x"), each line ending in CR LF. Adds
// "Creando SFV: " and one "Calculando crc: " line per piece to the "Cortar" memo and
// lets the window breathe after each data line. False when it stopped: the message
// has been shown and the file is closed; what was written stays. The SFV file is an output
// of the folder (files/Salidas.h) and is never the source or a piece: the same file by
// identity gets the refusal of a name equal to the source.
bool PasoSfv(Ventana& ventana, const EntradaSfv& entrada);

} // namespace quimbel
