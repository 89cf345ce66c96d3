#pragma once
// The checksums that came with a set: the SFV file a split writes beside its pieces (the
// pieces' stem and ".sfv", any letter case), read once before a join.
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "PlanUnir.h"

namespace quimbel {

struct ListaDelJuego {
    std::string ruta;                     // the SFV file's path
    std::map<std::string, uint32_t> crcs; // the CRC-32 of each listed file, by its name in the folder
};

// The SFV file beside `base` (a piece's path) named like the set, read whole (bounded as every
// text reader is); none when there is none or it cannot be read. Entries with a folder part or
// an invalid CRC are left out: they name no piece beside it.
std::optional<ListaDelJuego> BuscarListaDelJuego(const std::string& base);

// The message for the first piece the list names that lies past the plan's last one (a lost
// last piece: the set ends earlier on disk than in its list); none when there is none.
std::optional<std::string> FaltaSegunLista(const std::string& base, const PlanUnir& plan,
                                           const ListaDelJuego& lista);

} // namespace quimbel
