// SPDX-License-Identifier: GPL-3.0-or-later
#include "ListaTrozos.h"

#include <algorithm>

#include "files/Entero.h"

namespace quimbel {

namespace {

std::optional<int64_t> LeerNumero(std::string_view texto) {
    if (texto.empty() ||
        !std::all_of(texto.begin(), texto.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const std::optional<int64_t> valor = LeerDecimal64(texto);
    if (!valor || *valor < 1) return std::nullopt;
    return valor;
}

} // namespace

int64_t ListaTrozos::Mayor() const {
    int64_t mayor = 0;
    for (const TramoTrozos& t : tramos)
        mayor = std::max(mayor, t.hasta);
    return mayor;
}

std::vector<bool> ListaTrozos::Marcas(int64_t n) const {
    std::vector<bool> marcas(static_cast<size_t>(std::max<int64_t>(n, 0)), false);
    for (const TramoTrozos& t : tramos)
        for (int64_t k = t.desde; k <= std::min(t.hasta, n); ++k)
            marcas[static_cast<size_t>(k - 1)] = true;
    return marcas;
}

std::optional<ListaTrozos> LeerListaTrozos(std::string_view texto) {
    ListaTrozos lista;
    while (true) {
        const size_t coma = texto.find(',');
        const std::string_view item = texto.substr(0, coma);
        const size_t guion = item.find('-');
        const auto desde = LeerNumero(item.substr(0, guion));
        const auto hasta = guion == std::string_view::npos ? desde : LeerNumero(item.substr(guion + 1));
        if (!desde || !hasta || *hasta < *desde) return std::nullopt;
        lista.tramos.push_back({*desde, *hasta});
        if (coma == std::string_view::npos) return lista;
        texto.remove_prefix(coma + 1);
    }
}

} // namespace quimbel
