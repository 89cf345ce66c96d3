#pragma once
// The file helpers every operation opens, creates and renames files through.
// They report failure by a result code (0 = success, otherwise the system's
// error number) and never show a message: the caller chooses it.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace quimbel {

// Identity of a file on disk, so that two paths to one file compare equal.
struct IdFichero {
    uint64_t dispositivo = 0;
    uint64_t nodo = 0;
    bool operator==(const IdFichero&) const = default;
};

// The identity of the file a path names (symbolic links followed); none when it does not exist.
std::optional<IdFichero> IdDeRuta(const std::string& ruta);

// An open binary file, addressed in bytes. Closes itself when it goes out of scope.
class Fichero {
  public:
    Fichero() = default;
    ~Fichero();
    Fichero(Fichero&& otro) noexcept;
    Fichero& operator=(Fichero&& otro) noexcept;
    Fichero(const Fichero&) = delete;
    Fichero& operator=(const Fichero&) = delete;

    bool Abierto() const { return fd_ >= 0; }
    // Closes the file; 0, or the error number of a failed close. Closing a closed file is 0.
    int Cerrar();
    // The size in bytes; -1 when it cannot be read.
    int64_t Tamano() const;
    IdFichero Id() const;
    // Moves the position; 0 or an error number.
    int Posicionar(int64_t posicion);
    // Reads until n bytes are in or the file ends; the count read, or -1 on error.
    int64_t Leer(void* datos, size_t n);
    // Writes all n bytes; 0, or an error number (a short write is ENOSPC).
    int Escribir(const void* datos, size_t n);

  private:
    friend int AbrirFichero(Fichero&, const std::string&);
    friend int CrearFichero(Fichero&, const std::string&, std::span<const IdFichero>);
    int fd_ = -1;
};

// Opens an existing file read-only. A folder is not a file (EISDIR).
int AbrirFichero(Fichero& fichero, const std::string& ruta);

// Result of CrearFichero when the path names one of the files it must not touch.
inline constexpr int ErrorFicheroIntocable = -2;

// Creates the file, or empties an existing one, open for reading and writing at position 0.
// When the path already names one of intocables (same device and inode), nothing is
// emptied and the result is ErrorFicheroIntocable.
int CrearFichero(Fichero& fichero, const std::string& ruta, std::span<const IdFichero> intocables = {});

// Renames the file; fails, leaving both names as they were, when the new name exists
// or the old one does not. Never replaces a file.
int RenombrarFichero(const std::string& antigua, const std::string& nueva);

// True when a regular file exists at the path (symbolic links followed); a folder,
// FIFO or device does not count.
bool ExisteFichero(const std::string& ruta);

// What InfoFichero reports of a file.
struct InfoRegistro {
    double fechaModificacion = 0; // days since 1899-12-30, time of day as the fraction (local time)
    int32_t fechaDos = 0;         // MS-DOS packed local date (high 16 bits) and time (low 16 bits)
    int64_t tamano = 0;           // size in bytes
    int32_t atributos = 0;        // the file's mode word; -1 when it cannot be read
};

// Fills info with the file's size and last-write time. -1, leaving info untouched, when
// no file exists at the path; -1 with zeroes when it exists but cannot be opened; else 0.
int InfoFichero(const std::string& ruta, InfoRegistro& info);

// Packs a local time into the MS-DOS date and time word (years clamped to 1980..2107)
// and converts such a word back to days since 1899-12-30.
int32_t FechaDosDeTiempo(int64_t segundosUnix);
double FechaDeDos(int32_t fechaDos);

} // namespace quimbel
