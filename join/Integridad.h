// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whether the pieces a plan names are all there, each with the size its set records, before a
// join writes anything.
#include <cstdint>
#include <optional>
#include <string>

#include "PlanUnir.h"

namespace quimbel {

// The size of the regular file at the path, links followed; -1 when there is none.
int64_t TamanoEn(const std::string& ruta);

// "¡ El trozo " + n + " : " + name + " tiene " + size + " bytes y debería tener " + esperado +
// " !": the one text of a piece of the wrong size.
std::string MensajeTamano(int64_t n, const std::string& nombre, int64_t tamano, const std::string& esperado);

// "¡ Falta el trozo " + n + " : " + its name + " !": the one text of a missing piece, at the
// analysis and at the join.
std::string MensajeFalta(int64_t n, const std::string& nombre);

// The message naming the first piece of the plan (base: a piece's path) that has no regular
// file, or the ".fin" piece a SinFin plan lacks; none when every piece is there.
std::optional<std::string> TrozoQueFalta(const std::string& base, const PlanUnir& plan);

// The message naming the first piece whose size breaks what its set records, with its size and
// the size expected; none when all fit. A Hacha header records the source's and the pieces'
// sizes: each piece holds exactly its share. A ".fin" set: pieces 1 to N - 1 all have the size
// of piece 1, and the ".fin" piece's data hold between 1 byte and that size. A numbered set
// records nothing.
std::optional<std::string> TamanoQueFalla(const std::string& base, const PlanUnir& plan);

} // namespace quimbel
