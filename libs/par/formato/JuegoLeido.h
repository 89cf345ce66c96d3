// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A PAR 2.0 set read back, as its files describe it (the set being built is JuegoNuevo): the main packet, the
// description and slice checksums of every file, and the recovery slices at hand. The packets are untrusted
// bytes: every count, length and name is checked before it is used.
#include "Fallo.h"
#include "LectorPaquetes.h"
#include "Limites.h"
#include "NombresPar.h"

#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

namespace quimbel::par {

// The largest slice size accepted.
inline constexpr uint64_t RebanadaJuegoMaxima = uint64_t{1} << 32;

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

// A digest's first bytes, as the key of a hash table (digests are spread evenly).
struct DispersionHuella {
    size_t operator()(const Huella& h) const {
        size_t v = 0;
        for (int i = 0; i < 8; ++i)
            v = (v << 8) | h[static_cast<size_t>(i)];
        return v;
    }
};

// What the gathering keeps at most, for all the files of a set together: each packet kept
// (an empty one too) and each recovery slice costs CostoGuardado, and a packet's body its length.
inline constexpr uint64_t MemoriaGuardada = uint64_t{64} << 20;
inline constexpr uint64_t CostoGuardado = 320;

// The packets read from the set's files, gathered from several threads. Copies of one
// packet count once; of the main, description, slice checksum and recovery slice packets,
// those that come while the bound MemoriaGuardada holds are kept, the rest dropped.
class Recogida {
  public:
    // A packet read from set file `origen`.
    void Anadir(size_t origen, PaqueteLeido&& paquete);
    // From now on only packets of the set `conjunto` are kept.
    void SoloDe(const Huella& conjunto);
    // The set ArmarJuego would put together from what is kept now; none without a main packet.
    std::optional<Huella> Conjunto();
    // Whether a packet of set file `origen` is kept.
    bool Aporto(size_t origen) const;
    // The packets and recovery slices kept, and what they cost against MemoriaGuardada.
    size_t Guardados() const;
    uint64_t Memoria() const;

  private:
    friend class Armado;
    struct Guardado {
        size_t origen;
        PaqueteLeido paquete;
    };
    void Aporta(size_t origen);
    // The first main packet, in set file order, whose set ID is the MD5 of its body; mutex_ held.
    const Guardado* Principal();
    mutable std::mutex mutex_;
    std::vector<Guardado> paquetes_; // all but recovery slices
    std::unordered_set<Huella, DispersionHuella> vistos_;
    uint64_t bytes_ = 0;
    std::optional<Huella> soloDe_;
    std::vector<bool> aportes_; // by set file
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

} // namespace quimbel::par
