#pragma once
// A PAR 2.0 set read back, as its files describe it (the set being built is JuegoNuevo): the main packet, the
// description and slice checksums of every file, and the recovery slices at hand. The packets are untrusted
// bytes: every count, length and name is checked before it is used.
#include "Fallo.h"
#include "LectorPaquetes.h"
#include "Limites.h"

#include <map>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace quimbel::par {

// The largest slice size accepted.
inline constexpr uint64_t RebanadaJuegoMaxima = uint64_t{1} << 32;
// The longest file name accepted, sub-folders included.
inline constexpr size_t NombreJuegoMaximo = 4096;

struct FicheroJuego {
    Huella id{}, md5{}, md5Inicio{};
    bool descrito = true;                // its description came through; else only id, and the slice
                                         // count and checksums when its checksum packet did
    std::string nombre;                  // relative to the set's folder: bare, or with sub-folders
    uint64_t tamano = 0;                 // listed length
    uint32_t primera = 0;                // set index of its first slice
    uint32_t rebanadas = 0;              // its slices
    std::vector<HuellaRebanada> huellas; // of each slice; empty when no checksum packet came through
};

struct RebanadaRecuperacion {
    uint32_t exponente = 0;
    size_t origen = 0;     // the set file that holds it
    uint64_t posicion = 0; // of its data in that file
};

struct JuegoLeido {
    Huella id{};
    uint64_t tamanoRebanada = 0;
    uint32_t rebanadas = 0;                         // input slices
    std::vector<FicheroJuego> ficheros;             // in set order
    std::vector<RebanadaRecuperacion> recuperacion; // one per exponent, increasing
    // Every file's slice count is known, so that the slices have their numbers (a file
    // without description nor checksums leaves those after it unnumbered).
    bool numerado = true;
};

// The packets read from the set's files, gathered from several threads. Copies of one
// packet count once; what is kept stays bounded whatever the files hold.
class Recogida {
  public:
    // A packet read from set file `origen`.
    void Anadir(size_t origen, PaqueteLeido&& paquete);

  private:
    friend class Armado;
    struct Guardado {
        size_t origen;
        PaqueteLeido paquete;
    };
    std::mutex mutex_;
    std::vector<Guardado> paquetes_; // all but recovery slices
    std::set<Huella> vistos_;
    uint64_t bytes_ = 0;
    std::map<std::pair<Huella, uint32_t>, std::pair<RebanadaRecuperacion, uint64_t>>
        recuperacion_; // and length
};

// Puts the set together: the first main packet (in set file order) whose set ID is the MD5
// of its body, the files it lists with their descriptions and checksums, and the recovery
// slices of the right size. A listed file without description is kept undescribed
// (FicheroJuego::descrito), so that only its own slices are lost. Nothing, or: SinJuego when no
// main packet holds; JuegoNoValido for a slice size of 0, not a multiple of 4 or over
// RebanadaJuegoMaxima, more than RebanadasMaximas slices, and names that are empty, absolute,
// climb with "..", hold control bytes or come twice. `indice` names the set in the lines.
Fallo ArmarJuego(Recogida& recogida, const std::string& indice, JuegoLeido& juego);

// Whether a name from a set may be used beneath its folder: not empty, at most
// NombreJuegoMaximo bytes, no control byte, not absolute, no empty, "." or ".." component.
bool NombreJuegoValido(std::string_view nombre);

} // namespace quimbel::par
