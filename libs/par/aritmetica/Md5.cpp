// SPDX-License-Identifier: GPL-3.0-or-later
#include "Md5.h"

#include "Ceros.h"

#include <openssl/evp.h>

#include <new>
#include <stdexcept>
#include <utility>

namespace quimbel::par {
namespace {

EVP_MD_CTX* NuevoContexto() {
    EVP_MD_CTX* ctx = EVP_MD_CTX_new();
    if (ctx == nullptr) throw std::bad_alloc();
    return ctx;
}

void Copiar(EVP_MD_CTX* destino, const EVP_MD_CTX* origen) {
    if (EVP_MD_CTX_copy_ex(destino, origen) != 1) throw std::runtime_error("MD5");
}

} // namespace

Md5::Md5() : ctx_(NuevoContexto()) {
    if (EVP_DigestInit_ex(ctx_, EVP_md5(), nullptr) != 1) {
        EVP_MD_CTX_free(ctx_);
        throw std::runtime_error("MD5");
    }
}

Md5::~Md5() {
    EVP_MD_CTX_free(ctx_);
}

Md5::Md5(const Md5& otro) : ctx_(NuevoContexto()) {
    try {
        Copiar(ctx_, otro.ctx_);
    } catch (...) {
        EVP_MD_CTX_free(ctx_);
        throw;
    }
}

Md5& Md5::operator=(const Md5& otro) {
    if (this != &otro) Copiar(ctx_, otro.ctx_);
    return *this;
}

// A moved-from digest holds no context; it may only be destroyed or assigned to.
Md5::Md5(Md5&& otro) noexcept : ctx_(std::exchange(otro.ctx_, nullptr)) {}

Md5& Md5::operator=(Md5&& otro) noexcept {
    std::swap(ctx_, otro.ctx_);
    return *this;
}

void Md5::Anadir(const void* datos, size_t n) {
    if (n > 0 && EVP_DigestUpdate(ctx_, datos, n) != 1) throw std::runtime_error("MD5");
}

void Md5::AnadirCeros(uint64_t n) {
    while (n > 0) {
        const size_t parte = n < TamanoCeros ? static_cast<size_t>(n) : TamanoCeros;
        Anadir(Ceros(), parte);
        n -= parte;
    }
}

Huella Md5::Valor() const {
    Md5 copia(*this);
    Huella h{};
    unsigned int largo = 0;
    if (EVP_DigestFinal_ex(copia.ctx_, h.data(), &largo) != 1 || largo != h.size())
        throw std::runtime_error("MD5");
    return h;
}

// In one call: a small packet's digest costs one context, not a running one and its copy.
Huella Md5De(const void* datos, size_t n) {
    Huella h{};
    unsigned int largo = 0;
    if (EVP_Digest(datos, n, h.data(), &largo, EVP_md5(), nullptr) != 1 || largo != h.size())
        throw std::runtime_error("MD5");
    return h;
}

} // namespace quimbel::par
