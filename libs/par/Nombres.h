#pragma once
// The names of a set's files: the index, the recovery volumes, the ".old" names,
// and how piece names compare.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quimbel::par {

// The PAR path with its ".par" extension (any case) replaced by ".par2"; ".par2" is
// appended to any other name.
std::string NombreIndice(std::string_view rutaPar);

// The index path without its ".par2": volumes are "<base>.vol<first>+<count>.par2".
std::string BaseVolumenes(std::string_view indice);

// The volume names of a set of `volumenes` volumes with `porVolumen` recovery slices
// each, first numbers zero-padded to the digits of the last exponent + 1 and counts to
// those of porVolumen.
std::vector<std::string> NombresVolumenes(std::string_view base, uint32_t volumenes, uint32_t porVolumen);

// True when a file name (no folder) is "<base name>.vol" ... ".par2".
bool EsVolumenDe(std::string_view nombre, std::string_view nombreBase);

// The file-name part of a path (after the last "/") and its folder ("." when none).
std::string_view NombreSinCarpeta(std::string_view ruta);
std::string CarpetaDe(std::string_view ruta);

// A piece name that reaches no other folder: not empty, no "/", not "." or "..".
bool NombreSimple(std::string_view nombre);

// The form under which two names compare: the name itself, or with ASCII capitals
// lowered when letter case does not count.
std::string ClaveDeNombre(std::string_view nombre, bool mayusculasIguales);

} // namespace quimbel::par
