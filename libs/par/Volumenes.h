#pragma once
// The files of a set on disk. The index holds the common packets; volume v holds the
// recovery slice packets v*k .. v*k + k - 1 (k = porTrozo), then the common packets.
// Recovery data arrive in parts, pass after pass; the caller hashes them as they come.
#include "libs/par/Avisos.h"
#include "libs/par/Conjunto.h"
#include "libs/par/Disco.h"
#include "libs/par/Fallo.h"

#include <string>
#include <vector>

namespace quimbel::par {

class Volumenes {
  public:
    Volumenes(const Conjunto& conjunto, std::string indice, std::vector<std::string> volumenes);
    // Unless Terminar succeeded, the files created are removed: a set is whole or absent.
    ~Volumenes();
    Volumenes(const Volumenes&) = delete;
    Volumenes& operator=(const Volumenes&) = delete;

    // Creates every file; none may exist.
    Fallo Crear();

    Descriptor AbrirVolumen(uint32_t volumen) const;
    const std::string& RutaVolumen(uint32_t volumen) const { return volumenes_[volumen]; }
    // Bytes [desde, desde + n) of recovery slice e, which lies in the open volume.
    bool EscribirRecuperacion(const Descriptor& volumen, uint32_t e, uint64_t desde, const uint8_t* datos,
                              uint64_t n);
    // Once all data of recovery slice e are in: its packet header, given the digest of the
    // packet from the set ID on (see InicioHashRecuperacion).
    bool CerrarRecuperacion(const Descriptor& volumen, uint32_t e, const Huella& hash);

    // Writes the common packets into the index and every volume (on `hilos` threads);
    // then the files are the caller's to keep, and a line names each. Nothing or the line of
    // a failure.
    Fallo Terminar(const Bytes& comunes, unsigned hilos, Avisos& avisos);

  private:
    uint64_t Posicion(uint32_t e) const; // of recovery packet e in its volume
    void Borrar();

    const Conjunto& conjunto_;
    CarpetaSalidas carpeta_; // the index's folder, which holds every output
    std::string indice_;
    std::vector<std::string> volumenes_;
    std::vector<std::string> creados_; // to remove unless the set was finished
};

} // namespace quimbel::par
