#pragma once
// The file-system operations a job needs, over the program's file access policy
// (files/Ficheros.h, files/Salidas.h): inputs never block and never read past their size at
// the open, outputs are never reached through a link or made onto a FIFO or device.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "files/Carpeta.h"
#include "files/Ficheros.h"

namespace quimbel::par {

// What a path names. Identity stays with files/ (Fichero::Id, Protegidos).
struct EstadoDisco {
    bool regular = false; // a regular file (links followed)
    uint64_t tamano = 0;
};

// What a path names, links followed; none when nothing exists there.
std::optional<EstadoDisco> Estado(const std::string& ruta);
// True when something (a link included, even a dangling one) exists at the path.
bool HayAlgo(const std::string& ruta);

// An open file, closed when it goes out of scope.
class Descriptor {
  public:
    Descriptor() = default;
    explicit Descriptor(quimbel::Fichero fichero) : fichero_(std::move(fichero)) {}

    bool Abierto() const { return fichero_.Abierto(); }
    // Closes now; false when the close reports an error (a lost write).
    bool Cerrar() { return fichero_.Cerrar().Bien(); }
    // The size of the open file; none when it cannot be read.
    std::optional<uint64_t> Tamano() const;
    // Reads exactly n bytes at the offset; false on an error or an early end.
    bool LeerEn(void* datos, size_t n, uint64_t posicion) const {
        return fichero_.LeerEn(datos, n, posicion);
    }
    // Writes all n bytes at the offset.
    bool EscribirEn(const void* datos, size_t n, uint64_t posicion) const {
        return fichero_.EscribirEn(datos, n, posicion);
    }
    const quimbel::Fichero& ComoFichero() const { return fichero_; }

  private:
    quimbel::Fichero fichero_;
};

// An input: a regular file, links followed (reading is no write).
Descriptor AbrirLectura(const std::string& ruta);
// The folder of a job's outputs, opened once (links followed: the user's folder); every output
// is then created and reopened by name in it.
class CarpetaSalidas {
  public:
    explicit CarpetaSalidas(const std::string& ruta);
    // Creates an output that must not exist yet (never replaces or follows anything there).
    Descriptor CrearNuevo(const std::string& ruta) const;
    // Opens an output of ours for writing: never through a link, never a FIFO or device.
    Descriptor AbrirEscritura(const std::string& ruta) const;
    // Removes an output of ours.
    void Borrar(const std::string& ruta) const;

  private:
    quimbel::Carpeta carpeta_;
};

} // namespace quimbel::par
