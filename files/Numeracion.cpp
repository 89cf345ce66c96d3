// SPDX-License-Identifier: GPL-3.0-or-later
#include "Numeracion.h"

#include <algorithm>
#include <iterator>
#include <set>

namespace quimbel {

namespace {

bool ConCeroDelante(std::string_view sufijo) {
    return sufijo.size() > 1 && sufijo.front() == '0';
}

} // namespace

std::optional<int64_t> NumeroDeSufijo(std::string_view sufijo) {
    if (sufijo.empty() || sufijo.size() > 18 ||
        sufijo.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    int64_t n = 0;
    for (const char c : sufijo)
        n = n * 10 + (c - '0');
    return n;
}

bool EnNumeracion(std::string_view sufijo, int ancho) {
    const auto largo = static_cast<int>(sufijo.size());
    return NumeroDeSufijo(sufijo) && (largo == ancho || (largo > ancho && !ConCeroDelante(sufijo)));
}

namespace {

// The width a suffix of digits belongs to among the zero-padded widths the folder shows: its
// own when it has a zero in front, else the widest of them that it fills (.1000 of .001 ..),
// else plain (1).
int AnchoDe(std::string_view sufijo, const std::set<int>& anchos) {
    const auto largo = static_cast<int>(sufijo.size());
    if (ConCeroDelante(sufijo)) return largo;
    auto mayor = anchos.upper_bound(largo);
    return mayor == anchos.begin() ? 1 : *std::prev(mayor);
}

} // namespace

Numeracion NumeracionDe(std::string_view elegido, const std::vector<std::string>& sufijos) {
    std::set<int> anchos;
    for (const std::string& s : sufijos)
        if (ConCeroDelante(s) && NumeroDeSufijo(s)) anchos.insert(static_cast<int>(s.size()));
    Numeracion r;
    r.ancho = AnchoDe(elegido, anchos);
    for (const std::string& s : sufijos)
        if (NumeroDeSufijo(s) && AnchoDe(s, anchos) == r.ancho) r.numeros.push_back(*NumeroDeSufijo(s));
    std::sort(r.numeros.begin(), r.numeros.end());
    r.numeros.erase(std::unique(r.numeros.begin(), r.numeros.end()), r.numeros.end());
    return r;
}

} // namespace quimbel
