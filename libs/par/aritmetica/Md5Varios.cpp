// SPDX-License-Identifier: GPL-3.0-or-later
#include "Md5Varios.h"

#include "Ceros.h"

// OpenSSL's one-block function: one stream alone goes faster through it than through a
// kernel with one busy lane. Deprecated since OpenSSL 3.0, but still built in by default.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/md5.h>

#include <algorithm>
#include <cstring>

namespace quimbel::par {
namespace {

FuncionMd5 FuncionDe(NucleoMd5 nucleo) {
#if defined(__x86_64__)
    if (nucleo == NucleoMd5::Avx2) return Md5Avx2;
    if (nucleo == NucleoMd5::Avx512) return Md5Avx512;
#else
    (void)nucleo;
#endif
    return nullptr;
}

// The lanes' state (see FuncionMd5) through the kernel, or lane 0 alone through OpenSSL.
void Comprimir(FuncionMd5 funcion, unsigned carriles, size_t cuantas, uint32_t* estado,
               const uint8_t* const* datos, const size_t* bloques) {
#ifndef OPENSSL_NO_DEPRECATED_3_0
    if (cuantas == 1) {
        MD5_CTX ctx{};
        ctx.A = estado[0];
        ctx.B = estado[carriles];
        ctx.C = estado[2 * carriles];
        ctx.D = estado[3 * carriles];
        for (size_t b = 0; b < bloques[0]; ++b)
            MD5_Transform(&ctx, datos[0] + 64 * b);
        estado[0] = ctx.A;
        estado[carriles] = ctx.B;
        estado[2 * carriles] = ctx.C;
        estado[3 * carriles] = ctx.D;
        return;
    }
#else
    (void)carriles;
    (void)cuantas;
#endif
    funcion(estado, datos, bloques);
}

} // namespace

unsigned CarrilesMd5(NucleoMd5 nucleo) {
    return Elegir(nucleo) == NucleoMd5::Avx512 ? CarrilesAvx512 : CarrilesAvx2;
}

Md5Varios::Md5Varios(size_t flujos, NucleoMd5 nucleo)
    : nucleo_(Elegir(nucleo)), funcion_(FuncionDe(nucleo_)), carriles_(CarrilesMd5(nucleo_)),
      flujos_(flujos) {
    if (funcion_ != nullptr)
        estados_.resize(flujos);
    else
        portables_.resize(flujos);
}

void Md5Varios::Anadir(std::span<const Porcion> porciones) {
    if (funcion_ == nullptr) {
        for (const Porcion& p : porciones) {
            if (p.datos != nullptr)
                portables_[p.flujo].Anadir(p.datos, static_cast<size_t>(p.n));
            else
                portables_[p.flujo].AnadirCeros(p.n);
        }
        return;
    }
    for (size_t i = 0; i < porciones.size(); i += carriles_)
        AnadirCarriles(porciones.data() + i, std::min<size_t>(carriles_, porciones.size() - i));
}

// A lane per portion: first the blocks that complete what a stream kept of its last
// block, then the whole blocks of every portion together, then what is left is kept.
void Md5Varios::AnadirCarriles(const Porcion* porciones, size_t cuantas) {
    constexpr unsigned maximo = CarrilesAvx512;
    constexpr uint64_t tope = TamanoCeros / 64; // blocks of zeros one pass can take from Ceros()
    uint32_t estado[4 * maximo] = {};
    const uint8_t* datos[maximo] = {};
    size_t bloques[maximo] = {};
    const uint8_t* posicion[maximo] = {};
    uint64_t faltan[maximo] = {};
    bool alguno = false;
    for (size_t i = 0; i < cuantas; ++i) {
        Estado& e = estados_[porciones[i].flujo];
        for (unsigned w = 0; w < 4; ++w)
            estado[w * carriles_ + i] = e.h[w];
        posicion[i] = static_cast<const uint8_t*>(porciones[i].datos);
        faltan[i] = porciones[i].n;
        const auto usados = static_cast<size_t>(e.largo % 64);
        e.largo += porciones[i].n;
        if (usados == 0) continue;
        const auto parte = static_cast<size_t>(std::min<uint64_t>(64 - usados, faltan[i]));
        if (posicion[i] != nullptr) {
            std::memcpy(e.resto + usados, posicion[i], parte);
            posicion[i] += parte;
        } else {
            std::memset(e.resto + usados, 0, parte);
        }
        faltan[i] -= parte;
        if (usados + parte == 64) {
            datos[i] = e.resto;
            bloques[i] = 1;
            alguno = true;
        }
    }
    if (alguno) Comprimir(funcion_, carriles_, cuantas, estado, datos, bloques);
    for (;;) {
        alguno = false;
        for (size_t i = 0; i < cuantas; ++i) {
            const bool ceros = posicion[i] == nullptr;
            bloques[i] = static_cast<size_t>(ceros ? std::min(faltan[i] / 64, tope) : faltan[i] / 64);
            datos[i] = ceros ? Ceros() : posicion[i];
            alguno = alguno || bloques[i] > 0;
        }
        if (!alguno) break;
        Comprimir(funcion_, carriles_, cuantas, estado, datos, bloques);
        for (size_t i = 0; i < cuantas; ++i) {
            if (posicion[i] != nullptr) posicion[i] += 64 * bloques[i];
            faltan[i] -= 64 * uint64_t{bloques[i]};
        }
    }
    for (size_t i = 0; i < cuantas; ++i) {
        Estado& e = estados_[porciones[i].flujo];
        if (posicion[i] != nullptr)
            std::memcpy(e.resto, posicion[i], static_cast<size_t>(faltan[i]));
        else
            std::memset(e.resto, 0, static_cast<size_t>(faltan[i]));
        for (unsigned w = 0; w < 4; ++w)
            e.h[w] = estado[w * carriles_ + i];
    }
}

Huella Md5Varios::Valor(size_t flujo) const {
    if (funcion_ == nullptr) return portables_[flujo].Valor();
    const Estado& e = estados_[flujo];
    // The padding: a one bit, zeros, and the length in bits, to the end of a block.
    uint8_t final[128] = {};
    const auto usados = static_cast<size_t>(e.largo % 64);
    std::memcpy(final, e.resto, usados);
    final[usados] = 0x80;
    const size_t largo = usados < 56 ? 64 : 128;
    const uint64_t bits = e.largo * 8;
    for (int b = 0; b < 8; ++b)
        final[largo - 8 + static_cast<size_t>(b)] = static_cast<uint8_t>(bits >> (8 * b));
    uint32_t estado[4 * CarrilesAvx512] = {};
    for (unsigned w = 0; w < 4; ++w)
        estado[w * carriles_] = e.h[w];
    const uint8_t* datos[CarrilesAvx512] = {final};
    size_t bloques[CarrilesAvx512] = {largo / 64};
    Comprimir(funcion_, carriles_, 1, estado, datos, bloques);
    Huella h{};
    for (unsigned w = 0; w < 4; ++w)
        for (unsigned b = 0; b < 4; ++b)
            h[4 * w + b] = static_cast<uint8_t>(estado[w * carriles_] >> (8 * b));
    return h;
}

} // namespace quimbel::par
