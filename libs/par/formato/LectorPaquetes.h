// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading the packets of a PAR 2.0 file one by one, from any tool that writes the format.
// Every packet's MD5 is checked; a damaged stretch is passed over by looking for the next
// packet's magic, so that a damaged volume still yields its intact packets. The file is read
// once, block by block, whatever its content: a packet that fails is never read again, and
// the work and memory per file stay within fixed multiples of its size and of a block.
#include "Paquetes.h"

#include <functional>
#include <string>

#include "files/Ficheros.h"

namespace quimbel::par {

// Where the bytes come from: a file, or memory (the fuzz target).
class FuenteBytes {
  public:
    virtual ~FuenteBytes() = default;
    virtual uint64_t Tamano() const = 0;
    // Exactly n bytes at the offset; false on a failure or past the end.
    virtual bool LeerEn(void* datos, size_t n, uint64_t posicion) const = 0;
};

// An open input: its size when it was opened, as the reads are bound to it.
class FuenteFichero : public FuenteBytes {
  public:
    FuenteFichero(const quimbel::Fichero& fichero, uint64_t tamano) : fichero_(fichero), tamano_(tamano) {}
    uint64_t Tamano() const override { return tamano_; }
    bool LeerEn(void* datos, size_t n, uint64_t posicion) const override {
        return fichero_.LeerEn(datos, n, posicion);
    }

  private:
    const quimbel::Fichero& fichero_;
    uint64_t tamano_;
};

class FuenteMemoria : public FuenteBytes {
  public:
    FuenteMemoria(const uint8_t* datos, size_t n) : datos_(datos), n_(n) {}
    uint64_t Tamano() const override { return n_; }
    bool LeerEn(void* datos, size_t n, uint64_t posicion) const override;

  private:
    const uint8_t* datos_;
    size_t n_;
};

// A packet whose header and MD5 hold.
struct PaqueteLeido {
    std::string tipo;                 // the 16 bytes of its type
    Huella conjunto{};                // set ID
    Huella hash{};                    // the packet's MD5
    uint64_t posicion = 0, largo = 0; // in its file, header included
    Bytes cuerpo;                     // the body, except for recovery slices and over-long packets
    uint32_t exponente = 0;           // a recovery slice's; its data lie at posicion + CabeceraRecuperacion
};

// The longest body kept in memory (the largest main or slice checksum packet of a set within
// RebanadasMaximas fits); a longer packet of another type than a recovery slice is checked and
// passed over.
inline constexpr uint64_t CuerpoMaximo = uint64_t{1} << 20;

// The candidates whose bytes one byte of a file may be hashed for: a magic whose packet would
// take in bytes that as many candidates before it were hashed over is passed over, so that the
// work stays within this many times the file's size.
inline constexpr size_t CandidatosAbiertos = 4;

// Calls alPaquete for every packet of the source whose length fits and whose MD5 holds, in
// file order, and alAvance with the bytes read so far, after each block. A packet found inside
// one given is not given (its bytes are that packet's). The source is read once, in order, a
// block at a time; parar is asked before each block and, once true, the reading ends there
// (true: no read failed). False when a read failed: the packets before it were given.
bool LeerPaquetes(const FuenteBytes& fuente, const std::function<void(PaqueteLeido&&)>& alPaquete,
                  const std::function<void(uint64_t)>& alAvance = {},
                  const std::function<bool()>& parar = {});

// Little-endian integers of the format.
uint64_t Leer64(const uint8_t* p);
uint32_t Leer32(const uint8_t* p);

} // namespace quimbel::par
