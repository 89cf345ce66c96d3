// SPDX-License-Identifier: GPL-3.0-or-later
#include "Entero.h"

namespace quimbel {

namespace {

int ValorHex(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool EsDigito(char c) {
    return c >= '0' && c <= '9';
}

std::optional<int32_t> LeerHex(std::string_view digitos) {
    if (digitos.empty()) return std::nullopt;
    uint64_t valor = 0;
    for (char c : digitos) {
        const int v = ValorHex(c);
        if (v < 0) return std::nullopt;
        valor = valor * 16 + static_cast<uint64_t>(v);
        if (valor > 0xFFFFFFFFu) return std::nullopt;
    }
    return static_cast<int32_t>(static_cast<uint32_t>(valor));
}

// Digits with an optional sign, within [-limite-1, limite] when the magnitude is computed.
std::optional<int64_t> LeerConSigno(std::string_view texto, uint64_t limite) {
    bool negativo = false;
    if (!texto.empty() && (texto.front() == '+' || texto.front() == '-')) {
        negativo = texto.front() == '-';
        texto.remove_prefix(1);
    }
    if (texto.empty()) return std::nullopt;
    uint64_t magnitud = 0;
    for (char c : texto) {
        if (!EsDigito(c) || magnitud > (limite + 1) / 10) return std::nullopt;
        magnitud = magnitud * 10 + static_cast<uint64_t>(c - '0');
        if (magnitud > limite + 1) return std::nullopt;
    }
    if (!negativo && magnitud > limite) return std::nullopt;
    if (negativo)
        return magnitud == limite + 1 ? -static_cast<int64_t>(limite) - 1 : -static_cast<int64_t>(magnitud);
    return static_cast<int64_t>(magnitud);
}

} // namespace

std::optional<int32_t> LeerEntero(std::string_view texto) {
    while (!texto.empty() && texto.front() == ' ')
        texto.remove_prefix(1);
    if (texto.empty()) return std::nullopt;
    if (texto.front() == '$' || texto.front() == 'x' || texto.front() == 'X') return LeerHex(texto.substr(1));
    if (texto.size() >= 2 && texto[0] == '0' && (texto[1] == 'x' || texto[1] == 'X'))
        return LeerHex(texto.substr(2));
    const auto valor = LeerConSigno(texto, 0x7FFFFFFFu);
    if (!valor) return std::nullopt;
    return static_cast<int32_t>(*valor);
}

std::optional<int64_t> LeerDecimal64(std::string_view texto) {
    return LeerConSigno(texto, 0x7FFFFFFFFFFFFFFFull);
}

} // namespace quimbel
