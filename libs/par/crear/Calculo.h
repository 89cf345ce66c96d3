// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The reading of a set's pieces, stripe by stripe: each stripe is the same byte range of
// every slice. A thread takes a group of slices, reads each one's part of the stripe,
// hashes them together (MD5 in lockstep, and CRC-32; for a piece of one slice, its MD5 is
// the slice's) and adds them, times each slice's factor, to its own sums for every
// recovery slice, a part of the stripe at a time for all of them. When all groups are in,
// the threads' sums are added together, hashed and written into the volumes, again by
// groups. Each thread keeps two sets of sums, for even and odd stripes: a thread done with
// the writing of one stripe goes on reading the next one while others still write, and
// one barrier per stripe is enough. The volumes stay open for the whole job; when the pieces
// fit the bound on open files too, each is opened once for the whole reading, otherwise again
// for every stripe.
#include "Avisos.h"
#include "Fallo.h"
#include "Franjas.h"
#include "Galois.h"
#include "JuegoNuevo.h"
#include "Md5Varios.h"
#include "Memoria.h"
#include "Progreso.h"
#include "Volumenes.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace quimbel::par {

class Calculo {
  public:
    // The kernels asked for (see Nucleos.h) do the arithmetic and the digests.
    Calculo(JuegoNuevo& conjunto, const Franjas& franjas, unsigned hilos, bool mantenerAbiertos,
            NucleoGalois galois, NucleoMd5 md5);

    // Reads every piece and writes every recovery slice, reporting each piece when its
    // last stripe is read and the bytes read through progreso. Then the slice digests go into
    // the set. Nothing or the failure.
    Fallo Ejecutar(Avisos& avisos, Progreso& progreso, Volumenes& volumenes);

  private:
    struct Trabajador {
        Trabajador(size_t bytesSumas, size_t bytesDatos, NucleoGalois galois)
            : sumas{Memoria(bytesSumas), Memoria(bytesSumas)}, datos(bytesDatos), region(galois) {}
        Memoria sumas[2]; // by the stripe's parity: one row of franjas.fila bytes per recovery slice
        Memoria datos;    // one row of franjas.fila bytes per slice of a group
        RegionGalois region;
        bool conDatos[2] = {false, false}; // the sums hold their stripe's data (else they are stale)
    };
    struct Rebanada {
        size_t trozo = 0;
        uint64_t inicio = 0; // where it starts in its piece
        uint64_t real = 0;   // bytes of the piece in it; zeros pad it to the slice size
    };
    struct Tramo {
        uint64_t desde = 0, hasta = 0;
    };

    Tramo TramoDe(uint64_t franja) const;
    Fallo Trabajar(Trabajador& t, Avisos& avisos, Progreso& progreso, Volumenes& volumenes,
                   PuestoEnBarrera& puesto);
    Fallo LeerGrupo(const Grupo& grupo, const Tramo& tramo, int juego, Trabajador& t, Progreso& progreso);
    void Sumar(const Grupo& grupo, const std::vector<size_t>& leidos, const Tramo& tramo, int juego,
               Trabajador& t);
    Fallo VolcarGrupo(const Grupo& grupo, const Tramo& tramo, bool ultima, int juego, RegionGalois& region,
                      Volumenes& volumenes);
    Fallo AbrirTrozo(const TrozoPar& trozo, quimbel::Fichero& fichero) const;
    Fallo AbrirTodos();
    Fallo CerrarTodos();

    JuegoNuevo& conjunto_;
    Franjas franjas_;
    std::vector<std::unique_ptr<Trabajador>> trabajadores_;
    std::vector<Rebanada> rebanadas_;
    std::vector<Grupo> gruposEntrada_; // of input slices
    std::vector<Grupo> gruposSalida_;  // of recovery slices
    std::vector<uint32_t> logaritmos_; // of each input slice's factor
    Md5Varios md5Rebanadas_;           // of each input slice
    Md5Varios md5Recuperacion_;        // of each recovery packet, from the set ID on
    std::vector<uint32_t> crcRebanadas_;
    bool mantenerAbiertos_;
    std::vector<quimbel::Fichero> trozosAbiertos_; // while the reading lasts, when kept open
    std::atomic<size_t> siguienteEntrada_{0};      // the next group to read
    std::atomic<size_t> siguienteSalida_{0};       // the next group to write
};

} // namespace quimbel::par
