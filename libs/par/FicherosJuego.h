#pragma once
// The files of a set on disk, found from any one of them.
#include <string>
#include <string_view>
#include <vector>

namespace quimbel::par {

// The base of a set from one of its file names: "x.par2" and "x.vol07+08.par2" give "x";
// a name without the extension ".par2" (any case) is its own base.
std::string BaseDelJuego(std::string_view nombre);

// The path given first, then every other "<base>.par2" and "<base>.vol*.par2" in its folder,
// in name order.
std::vector<std::string> FicherosDelJuego(const std::string& ruta);

} // namespace quimbel::par
