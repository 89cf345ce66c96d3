// SPDX-License-Identifier: GPL-3.0-or-later
#include "CopiarBloque.h"

#include <algorithm>
#include <memory>
#include <new>

namespace quimbel {

namespace {

// A buffer of the copy's own; the smaller one when memory is short, so that a copy never fails
// for want of it.
constexpr size_t TamBufferReserva = 64 * 1024;

} // namespace

int CopiarBloque(Fichero& origen, Fichero& destino, int64_t offset, int64_t cuenta, int64_t* copiados,
                 Avance* avance, const VerBloque* ver) {
    if (copiados) *copiados = 0;
    if (cuenta <= 0) return 0;
    if (!origen.Posicionar(offset).Bien()) return -1;
    const std::unique_ptr<unsigned char[]> propio(new (std::nothrow) unsigned char[TamBufferCopia]);
    unsigned char reserva[TamBufferReserva];
    unsigned char* buffer = propio ? propio.get() : reserva;
    const int64_t tamBuffer = propio ? TamBufferCopia : static_cast<int64_t>(TamBufferReserva);
    int64_t bloque = std::min(tamBuffer, cuenta);
    int64_t leidos = origen.Leer(buffer, static_cast<size_t>(bloque));
    if (leidos < 0) return -1;
    int64_t total = leidos;
    while (leidos == bloque && total < cuenta) {
        if (!destino.Escribir(buffer, static_cast<size_t>(leidos)).Bien()) return -1;
        if (ver) (*ver)(buffer, static_cast<size_t>(leidos));
        if (copiados) *copiados += leidos;
        if (avance) avance->Sumar(leidos);
        if (avance && avance->Interrumpido()) return -1;
        bloque = std::min(bloque, cuenta - total);
        leidos = origen.Leer(buffer, static_cast<size_t>(bloque));
        if (leidos < 0) return -1;
        total += leidos;
    }
    if (leidos > 0 && !destino.Escribir(buffer, static_cast<size_t>(leidos)).Bien()) return -1;
    if (ver && leidos > 0) (*ver)(buffer, static_cast<size_t>(leidos));
    if (copiados) *copiados += leidos;
    if (avance) avance->Sumar(leidos);
    return 0;
}

} // namespace quimbel
