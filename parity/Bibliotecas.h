#pragma once
// The two shipped libraries for the life of a program: the CRC-32 provider first,
// then the parity library; released in the opposite order.
#include "parity/Par.h"
#include "verify/Crc.h"

namespace quimbel {

class BibliotecasCargadas {
  public:
    BibliotecasCargadas() {
        CargarCrc();
        CargarPar();
    }
    ~BibliotecasCargadas() {
        LiberarPar();
        LiberarCrc();
    }
    BibliotecasCargadas(const BibliotecasCargadas&) = delete;
    BibliotecasCargadas& operator=(const BibliotecasCargadas&) = delete;
};

} // namespace quimbel
