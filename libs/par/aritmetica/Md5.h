// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// MD5 digests through OpenSSL. A running digest can be read at any point (the
// digest of what was added so far) and goes on afterwards: a copy finishes.
#include <array>
#include <cstddef>
#include <cstdint>

struct evp_md_ctx_st;

namespace quimbel::par {

using Huella = std::array<uint8_t, 16>;

class Md5 {
  public:
    Md5();
    ~Md5();
    Md5(const Md5& otro);
    Md5& operator=(const Md5& otro);
    Md5(Md5&& otro) noexcept;
    Md5& operator=(Md5&& otro) noexcept;

    void Anadir(const void* datos, size_t n);
    // Adds n zero bytes.
    void AnadirCeros(uint64_t n);
    // The digest of everything added so far; the running digest is left as it was.
    Huella Valor() const;

  private:
    evp_md_ctx_st* ctx_;
};

Huella Md5De(const void* datos, size_t n);

} // namespace quimbel::par
