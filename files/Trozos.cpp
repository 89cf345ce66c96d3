// SPDX-License-Identifier: GPL-3.0-or-later
#include "Trozos.h"

#include "Rutas.h"

#include <algorithm>

namespace quimbel {

namespace {

// "." and the number; built by appending, as GCC 12 warns falsely (-Wrestrict) on
// "." + std::string in optimised builds.
std::string PuntoYNumero(int64_t numero) {
    std::string sufijo = ".";
    sufijo += std::to_string(numero);
    return sufijo;
}

} // namespace

std::string ErrorDemasiadosTrozos() {
    // Appended, as PuntoYNumero is, for GCC 12's false warning.
    std::string texto = "¡ Demasiados trozos: el máximo es ";
    texto += std::to_string(MaxTrozos);
    texto += " !";
    return texto;
}

int64_t NumeroTrozos(int64_t s, int64_t p) {
    return s / p + (s % p != 0 ? 1 : 0);
}

int AnchoNormal(int64_t n) {
    const int digitos = static_cast<int>(std::to_string(n).size());
    return digitos < 3 ? 3 : digitos;
}

std::string SufijoTrozo(TipoCorte tipo, int64_t k, int64_t n) {
    switch (tipo) {
    case TipoCorte::CortaArchivos:
        return k == n ? ".fin" : PuntoYNumero(k);
    case TipoCorte::Hacha:
        return PuntoYNumero(k - 1);
    case TipoCorte::Normal:
        break;
    }
    return SufijoConCeros(k, AnchoNormal(n));
}

std::string SufijoConCeros(int64_t k, int ancho) {
    const std::string numero = std::to_string(k);
    std::string sufijo = ".";
    if (static_cast<int>(numero.size()) < ancho)
        sufijo.append(static_cast<size_t>(ancho) - numero.size(), '0');
    sufijo += numero;
    return sufijo;
}

int64_t DatosDeTrozo(int64_t s, int64_t p, int64_t k) {
    return std::min(p, s - (k - 1) * p);
}

std::string NombreTrozo(std::string_view fuente, std::string_view destino, int64_t k, int64_t n,
                        TipoCorte tipo) {
    const std::string base = std::string(destino) + NombreDeRuta(fuente);
    return CambiarExtension(base, SufijoTrozo(tipo, k, n));
}

bool LlevaCabecera(TipoCorte tipo, int64_t k, int64_t n) {
    return (tipo == TipoCorte::CortaArchivos && k == n) || (tipo == TipoCorte::Hacha && k == 1 && n >= 2);
}

} // namespace quimbel
