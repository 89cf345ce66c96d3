// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The check of a set's files. Each listed file is opened at its listed name beneath the
// set's folder (a link there is read like any input) and read once, its slices hashed on
// several threads and compared with the set's slice checksums (MD5 and CRC-32), so that a
// damaged file keeps its intact slices. The files held open at once stay a small share of
// the process's limit, whatever the set's count.
#include "Avisos.h"
#include "Fallo.h"
#include "JuegoLeido.h"
#include "Limites.h"

#include <functional>
#include <span>
#include <string>
#include <vector>

#include "files/Carpeta.h"
#include "files/Ficheros.h"

namespace quimbel::par {

struct EstadoFichero {
    bool existe = false;        // something is at the name
    bool abierto = false;       // a regular file was opened and read there
    quimbel::Desenlace fallo;   // why what is at the name could not be read
    uint64_t tamano = 0;        // its size when opened
    quimbel::IdFichero id;      // its identity then
    std::vector<uint8_t> malas; // per slice, 1 when damaged or missing
    uint32_t nMalas = 0;
    bool delJuego = false; // it is one of the set's own files (an index or volume)
};

// Whole: a regular file of the listed length whose every slice holds.
bool Entero(const FicheroJuego& fichero, const EstadoFichero& estado);

// Unreadable: something is at the name that could not be opened or read for another reason
// than being no regular file (no permission, no descriptor left, a read error, a folder on
// the way that leads out): whether it is whole is unknown, so it is never rebuilt.
bool Ilegible(const EstadoFichero& estado);

// Why the file at the name could not be read, as the lines show it ("sin permiso").
std::string MotivoIlegible(const quimbel::Desenlace& fallo);

// Checks every file of the set beneath carpeta on `hilos` threads, with progress lines. A
// slice is intact when the file's bytes in its listed range, zero-padded to the slice size,
// give its MD5 and CRC-32; a slice whose range passes the file's end is damaged. A file
// without slice checksums is intact or damaged whole, by its MD5. Nothing at the name (or a
// missing folder on the way) is a missing file; a folder, FIFO, device or socket there is
// damaged whole; anything else that cannot be opened or read is unreadable (Ilegible), its
// reason kept. Nothing (estados then holds one per file, in set order), or the line of a failure.
Fallo ComprobarFicheros(const JuegoLeido& juego, const quimbel::Carpeta& carpeta,
                        std::span<const quimbel::IdFichero> delJuego, unsigned hilos, const Limites& limites,
                        Avisos& avisos, std::vector<EstadoFichero>& estados);
} // namespace quimbel::par
