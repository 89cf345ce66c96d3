// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The list that came with a set: the PAR2 set or the SFV file a split writes beside its pieces
// (the pieces' stem and ".par2" or ".sfv", any letter case), read once before a join. Where
// both are there the PAR2 set is taken: it can also rebuild a piece.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "PlanUnir.h"

namespace quimbel {

// What a piece's bytes must give, by its set's list.
struct EsperadoTrozo {
    std::optional<uint32_t> crc; // the SFV file's: the CRC-32 of the whole file
    // The PAR2 set's: the file's length, and the CRC-32 of each slice of tamanoRebanada bytes,
    // the last padded with zeros.
    std::optional<int64_t> tamano;
    uint64_t tamanoRebanada = 0;
    std::vector<uint32_t> crcsRebanadas;
};

struct ListaDelJuego {
    std::string ruta;  // the SFV file's path, or the path of the PAR2 set's file found
    bool par2 = false; // a PAR2 set
    std::map<std::string, EsperadoTrozo> trozos; // by each listed file's name in the folder
};

// The list beside `base` (a piece's path) named like the set, among the suffixes its folder
// holds under the stem (join/Vecinos.h): the PAR2 set the parity library reads (when loaded)
// when it lists the chosen piece, else the SFV file, read whole (bounded as every text reader
// is); none when there is none that lists a file beside it. Entries with a folder part, an
// invalid CRC or no slice checksums are left out: they name no piece that can be checked.
std::optional<ListaDelJuego> BuscarListaDelJuego(const std::string& base,
                                                 const std::vector<std::string>& sufijos);

// The message for the first thing the list says that the pieces on disk break: a piece it names
// past the plan's last one (a lost last piece: "¡ Falta el trozo ..."), or a piece of the plan
// whose size is not the listed length (TamanoQueFalla's text); none when there is none.
std::optional<std::string> FallaSegunLista(const std::string& base, const PlanUnir& plan,
                                           const ListaDelJuego& lista);

} // namespace quimbel
