#pragma once
// The check of a set's files. Each listed file is opened at its listed name beneath the
// set's folder (never through a link) and read once, its slices hashed on several threads
// and compared with the set's slice checksums (MD5 and CRC-32), so that a damaged file keeps
// its intact slices. A file at another name, or data moved within a file, is not searched for.
#include "Avisos.h"
#include "Fallo.h"
#include "JuegoLeido.h"

#include <span>
#include <vector>

#include "files/Carpeta.h"
#include "files/Ficheros.h"

namespace quimbel::par {

struct EstadoFichero {
    bool existe = false;        // something is at the name
    bool abierto = false;       // a regular file was opened and read there
    uint64_t tamano = 0;        // its size when opened
    quimbel::IdFichero id;      // its identity then
    std::vector<uint8_t> malas; // per slice, 1 when damaged or missing
    uint32_t nMalas = 0;
    bool delJuego = false; // it is one of the set's own files (an index or volume)
};

// Whole: a regular file of the listed length whose every slice holds.
bool Entero(const FicheroJuego& fichero, const EstadoFichero& estado);

// Checks every file of the set beneath carpeta on `hilos` threads, with progress lines. A
// slice is intact when the file's bytes in its listed range, zero-padded to the slice size,
// give its MD5 and CRC-32; a slice whose range passes the file's end is damaged. A file
// without slice checksums is intact or damaged whole, by its MD5. Nothing at the name (or a
// missing folder on the way) is a missing file; anything else that cannot be opened as a
// regular file there, a link among them, is damaged whole. Nothing (estados then holds one per file, in
// set order), or the line of a failure.
Fallo ComprobarFicheros(const JuegoLeido& juego, const quimbel::Carpeta& carpeta,
                        std::span<const quimbel::IdFichero> delJuego, unsigned hilos, Avisos& avisos,
                        std::vector<EstadoFichero>& estados);

} // namespace quimbel::par
