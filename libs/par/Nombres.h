#pragma once
// The names of a set's files: the index, the recovery volumes, the ".old" names of an earlier
// run's outputs, and how piece names compare. One home for the program's PAR step and the
// parity library, which both link it (target quimbel_nombres_par).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

} // namespace quimbel::par
