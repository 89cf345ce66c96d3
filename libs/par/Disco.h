#pragma once
// The few file-system operations a job needs, by POSIX descriptors.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace quimbel::par {

// A file's identity, so that two paths to one file compare equal.
struct IdDisco {
    uint64_t dispositivo = 0;
    uint64_t nodo = 0;
    bool operator==(const IdDisco&) const = default;
};

struct EstadoDisco {
    bool regular = false; // a regular file (links followed)
    bool carpeta = false;
    uint64_t tamano = 0;
    IdDisco id;
};

// What a path names, links followed; none when nothing exists there.
std::optional<EstadoDisco> Estado(const std::string& ruta);
// True when something (a link included, even a dangling one) exists at the path.
bool HayAlgo(const std::string& ruta);

// An open descriptor, closed when it goes out of scope.
class Descriptor {
  public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor();
    Descriptor(Descriptor&& otro) noexcept;
    Descriptor& operator=(Descriptor&& otro) noexcept;
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    bool Abierto() const { return fd_ >= 0; }
    // Closes now; false when the close reports an error (a lost write).
    bool Cerrar();
    // The size and identity of the open file.
    std::optional<EstadoDisco> Estado() const;
    // Reads exactly n bytes at the offset; false on an error or an early end.
    bool LeerEn(void* datos, size_t n, uint64_t posicion) const;
    // Writes all n bytes at the offset.
    bool EscribirEn(const void* datos, size_t n, uint64_t posicion) const;

  private:
    int fd_;
};

Descriptor AbrirLectura(const std::string& ruta);
// Creates a file that must not exist yet (never replaces or follows anything there).
Descriptor CrearNuevo(const std::string& ruta);
// Opens a file of ours for writing.
Descriptor AbrirEscritura(const std::string& ruta);

} // namespace quimbel::par
