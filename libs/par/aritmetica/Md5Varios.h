// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Several independent MD5 streams, hashed together: the portions of one call go through
// the kernel in lockstep, one stream per lane, whatever their lengths (a single portion,
// and a digest's last blocks, through OpenSSL's block function, faster for one stream).
// The portable kernel (OpenSSL) hashes them one after another and gives the same digests.
#include "Md5.h"
#include "Nucleos.h"
#include "NucleosMd5.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace quimbel::par {

class Md5Varios {
  public:
    // `flujos` empty streams, hashed by the kernel asked for (see Nucleos.h).
    explicit Md5Varios(size_t flujos, NucleoMd5 nucleo = NucleoMd5::Automatico);

    NucleoMd5 Nucleo() const { return nucleo_; }
    size_t Flujos() const { return flujos_; }
    // Streams one pass of the kernel hashes together (8 for the portable one, which has no
    // lanes, so that callers group work the same way).
    unsigned Carriles() const { return carriles_; }

    struct Porcion {
        size_t flujo;
        const void* datos; // none: n zero bytes
        uint64_t n;
    };
    // Adds each portion to the end of its stream; a stream appears at most once per call.
    // Calls on distinct streams may run at once on distinct threads.
    void Anadir(std::span<const Porcion> porciones);
    void Anadir(size_t flujo, const void* datos, uint64_t n) {
        const Porcion p{flujo, datos, n};
        Anadir({&p, 1});
    }
    // The digest of what the stream took so far; the stream goes on as it was.
    Huella Valor(size_t flujo) const;

  private:
    struct Estado {
        uint32_t h[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
        uint64_t largo = 0; // bytes taken
        uint8_t resto[64];  // the bytes of an incomplete last block
    };
    void AnadirCarriles(const Porcion* porciones, size_t cuantas);

    NucleoMd5 nucleo_;
    FuncionMd5 funcion_ = nullptr; // none for the portable kernel
    unsigned carriles_;
    size_t flujos_;
    std::vector<Estado> estados_;
    std::vector<Md5> portables_;
};

// The lanes of the kernel a job that asks for `nucleo` runs, as Md5Varios::Carriles.
unsigned CarrilesMd5(NucleoMd5 nucleo);

} // namespace quimbel::par
