#pragma once
// The reading of a set's pieces, in passes: each pass takes the same byte range of
// every slice, hashes it (MD5 and CRC-32 of the slice, MD5 of the file) and adds it,
// times each slice's factor, to every recovery slice. Each thread keeps its own
// recovery sums; after a pass they are added together and written out.
#include "libs/par/Avisos.h"
#include "libs/par/Conjunto.h"
#include "libs/par/Galois.h"
#include "libs/par/Memoria.h"
#include "libs/par/Reparto.h"
#include "libs/par/Volumenes.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quimbel::par {

class Calculo {
public:
    Calculo(Conjunto& conjunto, const Pasadas& pasadas, unsigned hilos, const Limites& limites);

    // Reads pass n of every piece. A piece read for the last time is reported.
    std::string Leer(uint32_t pasada, Avisos& avisos);
    // Adds the threads' sums of pass n together and writes them into the volumes; after
    // the last pass, the packet headers too.
    std::string Volcar(uint32_t pasada, Avisos& avisos, Volumenes& volumenes);
    // After the last pass: the slice digests into the set.
    void Cerrar();

private:
    struct Trabajador {
        Trabajador(size_t bytesSumas, size_t bytesBloque) : sumas(bytesSumas), bloque(bytesBloque) {}
        Memoria sumas;  // recuperacion rows of pasadas.fila bytes
        Memoria bloque; // bloqueLectura bytes and room to round up
        RegionGalois region;
    };
    struct Tramo { // the part of every slice a pass takes
        uint64_t desde = 0, hasta = 0;
    };

    Tramo TramoDe(uint32_t pasada) const;
    std::string LeerTrozo(size_t trozo, uint32_t pasada, Trabajador& t, const Avisos& avisos);
    void Sumar(uint32_t rebanada, uint8_t* datos, uint64_t n, uint64_t posicion, Trabajador& t);

    Conjunto& conjunto_;
    Pasadas pasadas_;
    size_t bloque_;
    std::vector<std::unique_ptr<Trabajador>> trabajadores_;
    std::vector<uint32_t> logaritmos_; // of each input slice's factor
    std::vector<Md5> md5Rebanadas_;
    std::vector<uint32_t> crcRebanadas_;
    std::vector<std::optional<Md5>> md5Ficheros_; // for pieces of several slices
};

} // namespace quimbel::par
