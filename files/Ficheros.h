// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The file helpers every operation opens, creates and renames files through.
// They report how they ended by a Desenlace (files/Resultado.h) and never show a
// message: the caller chooses it. Outputs are created by files/Salidas.h, always
// relative to a folder opened once per run (files/Carpeta.h).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include <sys/stat.h>

#include "Resultado.h"
#include "Simulacion.h"

namespace quimbel {

// Identity of a file on disk, so that two paths to one file compare equal.
struct IdFichero {
    uint64_t dispositivo = 0;
    uint64_t nodo = 0;
    bool operator==(const IdFichero&) const = default;
};

// The identity a stat result gives.
IdFichero IdDeStat(const struct stat& st);

// The bytes written into an output before the system is asked to start sending them to disk
// (by Escribir once EmpezarVolcadoAlEscribir was called, or by a caller of EmpezarVolcado).
inline constexpr int64_t VentanaVolcado = int64_t{8} << 20;

// An open binary file, addressed in bytes. Closes itself when it goes out of scope.
// A file opened for reading never yields bytes past the size it had when it was opened,
// and a file of a kernel pseudo file system (procfs, sysfs...) yields none: its size says
// nothing of what a read would bring, which may never end or wait for ever.
class Fichero {
  public:
    Fichero() = default;
    ~Fichero();
    Fichero(Fichero&& otro) noexcept;
    Fichero& operator=(Fichero&& otro) noexcept;
    Fichero(const Fichero&) = delete;
    Fichero& operator=(const Fichero&) = delete;

    // Takes over an open descriptor (tests: a failing device); -1 gives a closed file.
    static Fichero Adoptar(int descriptor);

    // Whether a file is open.
    bool Abierto() const { return fd_ >= 0; }
    // The system's descriptor, for calls the class does not wrap; -1 when closed.
    int Descriptor() const { return fd_; }
    // Closes the file; Hecho, or the system's error of a failed close. Closing a closed file
    // is Hecho.
    Desenlace Cerrar();
    // The size in bytes now; -1 when it cannot be read.
    int64_t Tamano() const;
    // Device and inode of the open file; zeroes when they cannot be read.
    IdFichero Id() const;
    // Moves the position; Hecho or the system's error (EINVAL for a negative position).
    Desenlace Posicionar(int64_t posicion);
    // Reads until n bytes are in or the file ends; the count read, or -1 on error.
    int64_t Leer(void* datos, size_t n);
    // Writes all n bytes; Hecho, or the system's error (a short write is ENOSPC).
    Desenlace Escribir(const void* datos, size_t n);
    // Positioned forms, which leave the position alone and may run on several threads:
    // exactly n bytes, false on an error or an early end.
    bool LeerEn(void* datos, size_t n, uint64_t posicion) const;
    bool EscribirEn(const void* datos, size_t n, uint64_t posicion) const;
    // Asks the system to start reading n bytes at posicion now, without waiting, for a read
    // that comes soon (several places of one file read in turn defeat its own read-ahead).
    void Anticipar(uint64_t posicion, size_t n) const;

    // From now on, every `ventana` bytes that Escribir adds start going to disk at once (the
    // system is asked, without waiting), so that a flush at the end finds little left to write.
    // Files written at once share the window: the data not yet sent stay few, and so do the
    // dirty pages the system must find room beside.
    void EmpezarVolcadoAlEscribir(int64_t ventana = VentanaVolcado) {
        volcarPronto_ = true;
        ventana_ = ventana;
    }

    // Asks the file system for room for the first n bytes at once, the size left as it is:
    // positioned writes all over the file then find their blocks in place. One that cannot
    // only says no (nothing is reported), and the writes find out.
    void Reservar(uint64_t n) const;

    // Asks the system to start writing the n bytes written at posicion (n = 0: to the end),
    // without waiting: positioned writes call it for what they have finished.
    void EmpezarVolcado(uint64_t posicion = 0, uint64_t n = 0) const;

    // Bounds the reads to the first `limite` bytes (the size an input had when opened).
    void PonerLimite(int64_t limite) { limite_ = limite; }
    // Makes every read fail, as a pseudo file's must.
    void HacerIlegible() { ilegible_ = true; }

  private:
    int64_t Disponibles(int64_t desde, size_t n) const;
    int fd_ = -1;
    int64_t posicion_ = 0;
    int64_t limite_ = -1; // bytes a read may reach; -1: no bound (a file the run writes)
    bool ilegible_ = false;
    bool volcarPronto_ = false;
    int64_t volcadoDesde_ = 0; // where the bytes not yet sent to disk start
    int64_t ventana_ = VentanaVolcado;
};

// Opens an existing file read-only, following links (reading is no write). Never blocks:
// a FIFO, socket or device gives NoEsFichero, a folder the system's EISDIR, a missing file
// its ENOENT; the read bound is the size at this moment, and a file of a pseudo file system
// opens but fails every read (EIO).
Desenlace AbrirFichero(Fichero& fichero, const std::string& ruta);

// True when a regular file exists at the path (symbolic links followed); a folder,
// FIFO or device does not count.
bool ExisteFichero(const std::string& ruta);

// What InfoFichero reports of a file.
struct InfoRegistro {
    int32_t fechaDos = 0;  // MS-DOS packed local date (high 16 bits) and time (low 16 bits)
    int64_t tamano = 0;    // size in bytes
    int32_t atributos = 0; // st_mode of the path, links followed (type and permissions)
};

// Fills info with the file's size, last-write time and mode. -1, leaving info untouched, when
// nothing or a folder is at the path; -1 with size and time 0 (the mode filled) when it
// exists but cannot be opened; else 0.
int InfoFichero(const std::string& ruta, InfoRegistro& info);

// Packs a local time into the MS-DOS date and time word (years clamped to 1980..2107).
int32_t FechaDosDeTiempo(int64_t segundosUnix);

} // namespace quimbel
