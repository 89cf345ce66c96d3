// SPDX-License-Identifier: GPL-3.0-or-later
#include "CopiarBloque.h"

#include <algorithm>
#include <memory>

namespace quimbel {

namespace {

// BufferCopia: shared by every copy, allocated on first use and kept until the end.
unsigned char* BufferCopia() {
    static const std::unique_ptr<unsigned char[]> buffer(new unsigned char[TamBufferCopia]);
    return buffer.get();
}

} // namespace

int CopiarBloque(Fichero& origen, Fichero& destino, int64_t offset, int64_t cuenta, int64_t* copiados,
                 Avance* avance, const VerBloque* ver) {
    if (copiados) *copiados = 0;
    if (cuenta <= 0) return 0;
    if (!origen.Posicionar(offset).Bien()) return -1;
    unsigned char* buffer = BufferCopia();
    int64_t bloque = std::min(TamBufferCopia, cuenta);
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
