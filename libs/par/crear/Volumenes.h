// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The files of a set on disk. The index holds the common packets; volume v holds the
// recovery slice packets v*k .. v*k + k - 1 (k = porTrozo), then the common packets.
// Recovery data arrive in parts, pass after pass; the caller hashes them as they come.
// Every file is written under a temporary name in the set's folder (files/Temporales.h), held
// open and locked from its creation on, and flushed; the set takes its names only when every
// file is whole, the volumes first and the index last, so that no reader ever finds part of
// a set under its names. Until then an earlier set stays as it was.
#include "Avisos.h"
#include "Fallo.h"
#include "JuegoNuevo.h"
#include "SalidasNuevas.h"

#include <string>
#include <vector>

#include "files/Temporales.h"

namespace quimbel::par {

class Volumenes {
  public:
    // The files named in salidas, in the folder the set goes to.
    Volumenes(const JuegoNuevo& conjunto, const quimbel::Carpeta& carpeta, const SalidasNuevas& salidas);
    // Unless the set took its names, the temporaries are removed; after a failure while the
    // names were being taken, the files that took theirs are removed again.
    ~Volumenes();
    Volumenes(const Volumenes&) = delete;
    Volumenes& operator=(const Volumenes&) = delete;

    // Creates the temporary of every file. Nothing or the line of a failure.
    Fallo Crear();

    // A volume's temporary, open for writing from several threads (positioned writes).
    const quimbel::Fichero& Volumen(uint32_t volumen) { return temporales_[volumen + 1].Datos(); }
    // The volume's path as the lines show it.
    std::string RutaVolumen(uint32_t volumen) const { return salidas_.Ruta(salidas_.volumenes[volumen]); }
    // Bytes [desde, desde + n) of recovery slice e, which lies in the volume.
    bool EscribirRecuperacion(const quimbel::Fichero& volumen, uint32_t e, uint64_t desde,
                              const uint8_t* datos, uint64_t n);
    // Once all data of recovery slice e are in: its packet header, given the digest of the
    // packet from the set ID on (see InicioHashRecuperacion).
    bool CerrarRecuperacion(const quimbel::Fichero& volumen, uint32_t e, const Huella& hash);

    // Writes the common packets into the index and every volume and flushes each to disk (on
    // `hilos` threads). Nothing or the line of a failure.
    Fallo Escribir(const Bytes& comunes, unsigned hilos, Avisos& avisos);

    // Gives every file its name, the volumes first and the index last, each only where no file
    // stands (an earlier set is moved aside before), flushes the folder and names each file in
    // a line. On a failure the files that took their names are removed again, so that the
    // names are as they were. Nothing or the line of the failure.
    Fallo Publicar(Avisos& avisos);

  private:
    uint64_t Posicion(uint32_t e) const; // of recovery packet e in its volume
    const std::string& Nombre(size_t i) const { return i == 0 ? salidas_.indice : salidas_.volumenes[i - 1]; }

    const JuegoNuevo& conjunto_;
    const quimbel::Carpeta& carpeta_; // holds every output
    const SalidasNuevas& salidas_;
    std::vector<quimbel::SalidaTemporal> temporales_;                    // the index, then each volume
    std::vector<std::pair<std::string, quimbel::IdFichero>> publicados_; // until the set is whole
};

} // namespace quimbel::par
