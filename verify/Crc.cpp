// SPDX-License-Identifier: GPL-3.0-or-later
#include "Crc.h"

#include <algorithm>
#include <memory>
#include <new>

#include "files/Ficheros.h"
#include "parity/Bibliotecas.h"

namespace quimbel {

void CargarCrc(const std::string& carpetaPrimero) {
    LasBibliotecas().CargarCrc(carpetaPrimero);
}

void LiberarCrc() {
    LasBibliotecas().LiberarCrc();
}

bool CrcCargada() {
    return LasBibliotecas().CrcCargada();
}

CrcEnCurso::CrcEnCurso() : funcion_(LasBibliotecas().Crc32()) {
    if (funcion_ != nullptr) valor_ = funcion_(0, nullptr, 0);
}

void CrcEnCurso::Sumar(const void* datos, size_t n) {
    // The provider takes 32-bit counts.
    const auto* bytes = static_cast<const unsigned char*>(datos);
    while (funcion_ != nullptr && n > 0) {
        const size_t parte = std::min<size_t>(n, 1u << 30);
        valor_ = funcion_(valor_, bytes, static_cast<uint32_t>(parte));
        bytes += parte;
        n -= parte;
    }
}

std::optional<uint32_t> CrcFichero(const std::string& ruta, Avance* avance) {
    const Crc32Funcion funcion = LasBibliotecas().Crc32();
    if (funcion == nullptr) return std::nullopt;
    Fichero fichero;
    if (!AbrirFichero(fichero, ruta).Bien()) return std::nullopt;
    // Allocated per call: nothing survives from one file to the next.
    const std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[BloqueCrc]);
    if (!buffer) return std::nullopt;

    uint32_t valor = funcion(0, nullptr, 0);
    int64_t leidos = fichero.Leer(buffer.get(), BloqueCrc);
    if (leidos < 0) return std::nullopt;
    if (leidos > 0) valor = funcion(valor, buffer.get(), static_cast<uint32_t>(leidos));
    if (avance) avance->Sumar(leidos);
    // After a full block comes another read, folded in even when it brought nothing.
    while (leidos == static_cast<int64_t>(BloqueCrc)) {
        if (avance && avance->Interrumpido()) return std::nullopt;
        leidos = fichero.Leer(buffer.get(), BloqueCrc);
        if (leidos < 0) return std::nullopt;
        valor = funcion(valor, buffer.get(), static_cast<uint32_t>(leidos));
        if (avance) avance->Sumar(leidos);
    }
    return valor;
}

} // namespace quimbel
