// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A set being built (the set being read back is JuegoLeido): its pieces in set order, its slicing and its
// recovery volumes, and the packets every file of the set repeats.
#include "Avisos.h"
#include "Entradas.h"
#include "Fallo.h"
#include "LlamadaPar.h"
#include "Nucleos.h"
#include "Paquetes.h"
#include "Reparto.h"

#include "files/Carpeta.h"

#include <span>
#include <string>
#include <vector>

namespace quimbel::par {

struct TrozoPar {
    std::string nombre;
    uint64_t tamano = 0;
    Huella md5Inicio{};     // MD5 of the first 16 KiB (of the whole file when shorter)
    Huella id{};            // file ID
    Huella md5{};           // MD5 of the whole file, once it has been read
    uint32_t primera = 0;   // set index of its first slice
    uint32_t rebanadas = 0; // its slices
};

struct JuegoNuevo {
    const quimbel::Carpeta* carpeta = nullptr; // where the pieces are, open for the whole job
    std::vector<TrozoPar> trozos;              // sorted by file ID
    Reparto reparto;
    uint32_t volumenes = 0;              // recovery volumes
    uint32_t recuperacion = 0;           // recovery slices, porTrozo in each volume
    Huella id{};                         // recovery set ID
    std::vector<HuellaRebanada> huellas; // of every input slice, once read
};

inline constexpr size_t TamanoInicio = LLAMADA_PAR_PRINCIPIO;

// Reads the first 16 KiB of every piece (in carpeta) (on `hilos` threads, pieces hashed together by the
// MD5 kernel asked for), works out the file IDs, puts the pieces in set order and derives
// the set ID. A piece of several slices is read whole here for its MD5, which no slice's
// digest gives. Nothing or the line of a failure.
Fallo PrepararJuegoNuevo(std::span<const Entrada> entradas, const quimbel::Carpeta& carpeta,
                         uint32_t volumenes, const Reparto& reparto, unsigned hilos, NucleoMd5 nucleo,
                         Avisos& avisos, JuegoNuevo& juego);

// Puts the pieces, whose IDs are known, in set order, slices them and derives the set ID.
void OrdenarJuegoNuevo(JuegoNuevo& conjunto, uint32_t volumenes, const Reparto& reparto);

// Main, file description and slice checksum packets, then the creator packet: the
// index's whole content and the tail of every volume. Needs the digests of every piece.
Bytes PaquetesComunes(const JuegoNuevo& conjunto);

} // namespace quimbel::par
