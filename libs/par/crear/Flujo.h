// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A creation job fed the pieces' bytes as they are written, instead of reading them: the
// same checks, slicing, digests and files as EjecutarPar's. The pieces' first bytes come
// first (their 16 KiB digests give the set's order, which every recovery factor depends on);
// then all their bytes, each piece's in order, go into the slice digests, the pieces' digests
// and sums held for every recovery slice over the whole slice size, so that nothing is read
// back; the end writes the set as EjecutarPar does. Each call's bytes are copied into a round of
// batches on the caller's thread, then hashed on a thread of the job's own and summed on
// another, so that the caller's writing goes on meanwhile. A caller that writes several pieces
// at once hands one part of each per call: their slices then go through the MD5 kernel's lanes
// together, and their batches at one offset of their slices into the sums in one pass.
#include "Avisos.h"
#include "Creacion.h"
#include "Galois.h"
#include "JuegoNuevo.h"
#include "Md5.h"
#include "Md5Varios.h"
#include "Memoria.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace quimbel::par {

class TrabajoEnFlujo {
  public:
    // The job the vector describes, its pieces of the sizes given (tamanos holds one per listed
    // piece; they need not exist yet). 0 and the job; LLAMADA_PAR_FLUJO_NO_CABE when its recovery data
    // would pass MemoriaParaFlujo; 1 when the job is refused or memory fails. Sends no text.
    static int Abrir(std::span<const std::string> argumentos, const CarpetaDelTrabajo& trabajo,
                     const uint64_t* tamanos, const Limites& limites,
                     std::unique_ptr<TrabajoEnFlujo>& trabajoAbierto);

    // The first min(16 KiB, size) bytes of listed piece i; 0, or 1 for another count or a
    // piece given twice.
    int Principio(size_t i, const uint8_t* datos, uint64_t n);
    // The next n bytes of the pieces, in the vector's order, after every first part; 0, or 1
    // (and every later call 1) for bytes beyond the sizes, first bytes other than those given
    // before, or memory that fails.
    int Datos(const uint8_t* datos, uint64_t n);
    struct Parte {
        size_t trozo; // the listed piece
        const uint8_t* datos;
        uint64_t n;
    };
    // The next bytes of each part's piece, the pieces distinct; as Datos otherwise.
    int DatosDe(std::span<const Parte> partes);
    // Writes and publishes the set as EjecutarPar does, its texts through avisos; its result.
    int Terminar(Avisos& avisos);
    // Waits for the job's thread.
    ~TrabajoEnFlujo();
    TrabajoEnFlujo(const TrabajoEnFlujo&) = delete;
    TrabajoEnFlujo& operator=(const TrabajoEnFlujo&) = delete;

  private:
    // Bytes of one slice, from `desde` (a whole number of the alternate layout's blocks into it).
    struct Lote {
        Memoria datos;
        uint64_t lleno = 0, desde = 0;
        uint32_t rebanada = 0;
        TrozoPar* trozo = nullptr; // the piece the slice is of
        bool finDeRebanada = false, finDeTrozo = false;
    };
    // The batches of one call (or part of one), hashed together and summed together.
    struct Ronda {
        std::vector<std::unique_ptr<Lote>> lotes; // kept for the next round
        size_t usados = 0;
    };
    // Where a listed piece's bytes stand.
    struct Entrada {
        uint64_t tomados = 0; // bytes given
        Md5 principio;        // of its first bytes, until they are all in
        // Bytes given but not yet in a batch: fewer than a block, short of the slice's end.
        uint8_t resto[32];
        size_t enResto = 0;
    };

    TrabajoEnFlujo() = default;
    void Empezar();
    template <typename F> int Alimentar(F tomar);
    bool Tomar(size_t i, const uint8_t* datos, uint64_t n);
    Lote& NuevoLote();
    void Entregar();
    void Etapa(std::deque<Ronda*>& desde, std::deque<Ronda*>& hacia, const bool& antesAcabada, bool& acabada,
               void (TrabajoEnFlujo::*trabajo)(Ronda&));
    void Hashear(Ronda& ronda);
    void Sumar(Ronda& ronda);
    void Parar();
    Fallo Escribir(Avisos& avisos);
    Fallo EscribirRecuperacion(Volumenes& ficheros, Avisos& avisos);

    Limites limites_;
    PreparacionPar p_;
    std::vector<uint64_t> listados_; // the size of every listed piece
    std::vector<size_t> enJuego_;    // of each listed piece with data, its index in the set
    std::vector<Huella> principios_; // of each listed piece, once given
    std::vector<bool> dados_;
    size_t principiosDados_ = 0;
    bool empezado_ = false, roto_ = false;

    JuegoNuevo conjunto_;
    std::vector<uint32_t> logaritmos_;
    std::unique_ptr<Md5Varios> md5Rebanadas_, md5Trozos_;
    std::vector<uint32_t> crcRebanadas_;
    std::unique_ptr<RegionGalois> region_;
    uint64_t fila_ = 0;      // bytes of one recovery slice's sums
    uint64_t capacidad_ = 0; // bytes of a batch
    Memoria sumas_;          // one row per recovery slice, in the alternate layout

    std::vector<Entrada> entradas_;
    size_t actual_ = 0; // the piece Datos feeds

    // The rounds: the one being filled, the full ones waiting to be hashed, the hashed ones
    // waiting to be summed, the free ones; each stage's thread takes them in order.
    std::vector<std::unique_ptr<Ronda>> rondas_;
    Ronda* enCurso_ = nullptr;
    std::mutex mutex_;
    std::condition_variable cambio_;
    std::deque<Ronda*> llenos_, hasheados_, libres_;
    bool cerrar_ = false, hasheado_ = false, sumado_ = false; // no more rounds come to each stage
    std::atomic<bool> rotoHilo_{false};
    std::thread hiloHash_, hiloSumas_;
    // The hashing thread's and the summing thread's own scratch.
    std::vector<Md5Varios::Porcion> porciones_, porTrozo_, rellenos_;
    std::vector<size_t> elegidos_;
    std::vector<uint32_t> vistasR_;
    std::vector<const TrozoPar*> vistosT_;
    std::vector<bool> hechos_;
    std::vector<size_t> orden_;
    std::vector<const uint8_t*> origenes_;
    std::vector<uint16_t> factores_;
    std::vector<uint8_t*> destinos_;
};

} // namespace quimbel::par
