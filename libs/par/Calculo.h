#pragma once
// The reading of a set's pieces, stripe by stripe: each stripe is the same byte range of
// every slice. A thread takes a piece's part of the stripe, hashes it (MD5 and CRC-32 of
// the slice; for a piece of one slice, its MD5 is the slice's) and adds it, times the
// slice's factor, to its own sums for every recovery slice. When all pieces are in, the
// threads' sums are added together and written into the volumes; then the next stripe.
// When the files fit the bound on open files, each piece and volume is opened once and
// stays open until its last stripe; otherwise it is opened again for every stripe.
#include "libs/par/Avisos.h"
#include "libs/par/Conjunto.h"
#include "libs/par/Galois.h"
#include "libs/par/Memoria.h"
#include "libs/par/Reparto.h"
#include "libs/par/Volumenes.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace quimbel::par {

class Calculo {
  public:
    Calculo(Conjunto& conjunto, const Franjas& franjas, unsigned hilos, bool mantenerAbiertos);

    // Reads every piece and writes every recovery slice, reporting each piece when its
    // last stripe is read. Then the slice digests go into the set. "" or the line.
    std::string Ejecutar(Avisos& avisos, Volumenes& volumenes);

  private:
    struct Trabajador {
        Trabajador(size_t bytesSumas, size_t bytesFranja) : sumas(bytesSumas), franja(bytesFranja) {}
        Memoria sumas;  // one row of franjas.fila bytes per recovery slice
        Memoria franja; // a stripe of one slice, with room to round it up
        RegionGalois region;
        bool conDatos = false; // the sums hold this stripe's data (else they are stale)
    };
    struct Tramo {
        uint64_t desde = 0, hasta = 0;
    };

    Tramo TramoDe(uint64_t franja) const;
    std::string Trabajar(Trabajador& t, Avisos& avisos, Volumenes& volumenes, auto& barrera);
    std::string LeerFranja(size_t trozo, const Tramo& tramo, bool ultima, Trabajador& t);
    std::string AbrirTrozo(const TrozoPar& trozo, Descriptor& fichero) const;
    void Sumar(uint32_t rebanada, uint8_t* datos, size_t n, const Tramo& tramo, Trabajador& t);
    std::string VolcarFranja(uint32_t volumen, const Tramo& tramo, bool ultima, RegionGalois& region,
                             Volumenes& volumenes);

    Conjunto& conjunto_;
    Franjas franjas_;
    std::vector<std::unique_ptr<Trabajador>> trabajadores_;
    std::vector<uint32_t> logaritmos_; // of each input slice's factor
    std::vector<Md5> md5Rebanadas_;
    std::vector<uint32_t> crcRebanadas_;
    std::vector<Descriptor> trozosAbiertos_;    // empty when files are opened per stripe
    std::vector<Descriptor> volumenesAbiertos_; // likewise
    std::atomic<size_t> siguienteTrozo_{0};
    std::atomic<uint32_t> siguienteVolumen_{0};
};

} // namespace quimbel::par
