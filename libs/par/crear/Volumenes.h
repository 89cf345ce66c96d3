#pragma once
// The files of a set on disk. The index holds the common packets; volume v holds the
// recovery slice packets v*k .. v*k + k - 1 (k = porTrozo), then the common packets.
// Recovery data arrive in parts, pass after pass; the caller hashes them as they come.
#include "Avisos.h"
#include "Fallo.h"
#include "JuegoNuevo.h"
#include "SalidasNuevas.h"

#include <string>
#include <vector>

namespace quimbel::par {

class Volumenes {
  public:
    // The files named in salidas, in the folder the set goes to.
    Volumenes(const JuegoNuevo& conjunto, const quimbel::Carpeta& carpeta, const SalidasNuevas& salidas);
    // Unless Terminar succeeded, the files created are removed: a set is whole or absent.
    ~Volumenes();
    Volumenes(const Volumenes&) = delete;
    Volumenes& operator=(const Volumenes&) = delete;

    // Creates every file; none may exist.
    Fallo Crear();

    // A volume open for writing; closed when it cannot be opened.
    quimbel::Fichero AbrirVolumen(uint32_t volumen) const;
    // The volume's path as the lines show it.
    std::string RutaVolumen(uint32_t volumen) const { return salidas_.Ruta(salidas_.volumenes[volumen]); }
    // Bytes [desde, desde + n) of recovery slice e, which lies in the open volume.
    bool EscribirRecuperacion(const quimbel::Fichero& volumen, uint32_t e, uint64_t desde,
                              const uint8_t* datos, uint64_t n);
    // Once all data of recovery slice e are in: its packet header, given the digest of the
    // packet from the set ID on (see InicioHashRecuperacion).
    bool CerrarRecuperacion(const quimbel::Fichero& volumen, uint32_t e, const Huella& hash);

    // Writes the common packets into the index and every volume (on `hilos` threads);
    // then the files are the caller's to keep, and a line names each. Nothing or the line of
    // a failure.
    Fallo Terminar(const Bytes& comunes, unsigned hilos, Avisos& avisos);

  private:
    uint64_t Posicion(uint32_t e) const; // of recovery packet e in its volume
    void Borrar();

    const JuegoNuevo& conjunto_;
    const quimbel::Carpeta& carpeta_; // holds every output
    const SalidasNuevas& salidas_;
    std::vector<std::string> creados_; // names to remove unless the set was finished
};

} // namespace quimbel::par
