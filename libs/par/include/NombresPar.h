// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The names of a set's files: the index, the recovery volumes, the ".old" names of an earlier
// run's outputs, how piece names compare, and the set's files found in a folder the caller
// holds open. One home for the program's PAR step and the parity library, which both link it
// (target quimbel_par_publico): the one library header the program may include besides the
// call's record.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/Salidas.h"

namespace quimbel::par {

// What an earlier run's outputs are renamed to: "<name>.old".
inline constexpr std::string_view ExtensionVieja = ".old";

// The PAR path with its ".par" extension (any case) replaced by ".par2"; ".par2" is
// appended to any other name.
std::string NombreIndice(std::string_view rutaPar);

// The index path without its ".par2": volumes are "<base>.vol<first>+<count>.par2".
std::string BaseVolumenes(std::string_view indice);

// The volume names of a set of `volumenes` volumes with `porVolumen` recovery slices
// each, first numbers zero-padded to the digits of the last exponent + 1 and counts to
// those of porVolumen.
std::vector<std::string> NombresVolumenes(std::string_view base, uint32_t volumenes, uint32_t porVolumen);

// The base of a volume name "<base>.vol<digits>+<digits>.par2" (".par2" in any case);
// none for any other name. The name has no folder.
std::optional<std::string_view> BaseDeVolumen(std::string_view nombre);

// True when a file name (no folder) is a volume of the set whose base name is nombreBase.
bool EsVolumenDe(std::string_view nombre, std::string_view nombreBase);

// True when a file name (no folder) is one a job writes or moves for the set whose index is
// named nombreIndice: the index, one of its volumes, or either with ".old" (any case) behind.
bool EsSalidaDe(std::string_view nombre, std::string_view nombreIndice);

// The file-name part of a path (after the last "/").
std::string_view NombreSinCarpeta(std::string_view ruta);

// The form under which two names compare: the name itself, or with A to Z lowered when
// letter case does not count.
std::string ClaveDeNombre(std::string_view nombre, bool mayusculasIguales);

// The base of a set from one of its file names: "x.par2" and "x.vol07+08.par2" give "x";
// a name without the extension ".par2" (any case) is its own base.
std::string BaseDelJuego(std::string_view nombre);

// Whether a file name (no folder) is one of the set whose base is `base`: "<base>.par2" or
// one of its volumes, ".par2" in any case, by the rule of the set's names.
bool EsDelJuego(std::string_view nombre, std::string_view base);

// Whether a file name (no folder) ends in ".par2" in any case: a file that may hold packets
// of a set, whatever the rest of its name.
bool EsFicheroPar2(std::string_view nombre);

// The one listing of a set's files: the names in the folder (no folder part) that the filter
// takes, sorted; names of folders (links followed) are left out. Empty when the folder cannot
// be read.
std::vector<std::string> ListarEn(const quimbel::Carpeta& carpeta,
                                  const std::function<bool(std::string_view)>& filtro);

// The outputs of the set whose index is named nombreIndice already in the folder, sorted: the
// index, its volumes and, with viejas, either with ".old" behind.
std::vector<std::string> SalidasPresentes(const quimbel::Carpeta& carpeta, std::string_view nombreIndice,
                                          bool viejas);

// The files of a set in the folder, from one of them: `nombre` first, then every other file
// of its set (EsDelJuego) in name order.
std::vector<std::string> FicherosDelJuego(const quimbel::Carpeta& carpeta, const std::string& nombre);

// Whether the file at the name in the folder, links followed, is one of protegidos (compared
// while open).
bool EsProtegidoEn(const quimbel::Carpeta& carpeta, const std::string& nombre, const Protegidos& protegidos);

// Whether a folder is at the name (links followed).
bool EsCarpetaEn(const quimbel::Carpeta& carpeta, const std::string& nombre);

// The longest file name a set may carry, sub-folders included.
inline constexpr size_t NombreJuegoMaximo = 4096;

// Whether a name may be carried by a set and used beneath its folder: not empty, at most
// NombreJuegoMaximo bytes, no control byte (below 0x20, or 0x7F), not absolute, no empty, "."
// or ".." component. The one rule of the sets read back and of the pieces a set is made of.
bool NombreJuegoValido(std::string_view nombre);

// The line of a job refused because a piece's name is one a set cannot carry (NombreJuegoValido).
std::string LineaNombreNoValido(std::string_view nombre);

// The line of a job refused because an output would be the file at ruta, a source or piece.
std::string LineaSobrescribiria(const std::string& ruta);

} // namespace quimbel::par
