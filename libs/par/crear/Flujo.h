// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A creation job fed the pieces' bytes as they are written, instead of reading them: the
// same checks, slicing, digests and files as EjecutarPar's. The pieces' first bytes come
// first (their 16 KiB digests give the set's order, which every recovery factor depends on);
// then all their bytes, piece after piece in the vector's order, go into the slice digests,
// the pieces' digests and sums held for every recovery slice over the whole slice size, so
// that nothing is read back; the end writes the set as EjecutarPar does. The bytes are gathered
// in batches on the caller's thread, then hashed on a thread of the job's own and summed on
// another, a few whole slices at a time, so that the caller's writing goes on meanwhile.
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
    // Writes and publishes the set as EjecutarPar does, its texts through avisos; its result.
    int Terminar(Avisos& avisos);
    // Waits for the job's thread.
    ~TrabajoEnFlujo();
    TrabajoEnFlujo(const TrabajoEnFlujo&) = delete;
    TrabajoEnFlujo& operator=(const TrabajoEnFlujo&) = delete;

  private:
    // The bytes of one slice gathered before they go into the digests and sums.
    struct Lote {
        explicit Lote(size_t n) : datos(n) {}
        Memoria datos;
        uint64_t lleno = 0, desde = 0; // bytes in it; where they start in the slice
        uint32_t rebanada = 0;
        TrozoPar* trozo = nullptr; // the piece the slice is of
        bool finDeRebanada = false, finDeTrozo = false;
    };

    TrabajoEnFlujo() = default;
    void Empezar();
    bool Tomar(const uint8_t* datos, uint64_t n);
    void Entregar();
    void Etapa(std::deque<Lote*>& desde, std::deque<Lote*>& hacia, const bool& antesAcabada, bool& acabada,
               void (TrabajoEnFlujo::*trabajo)(Lote&), void (TrabajoEnFlujo::*alAcabar)());
    void Hashear(Lote& lote);
    void SumarLote(Lote& lote);
    void SumarGrupo();
    void Parar();
    Fallo Escribir(Avisos& avisos);

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
    std::unique_ptr<Md5Varios> md5Rebanadas_;
    std::vector<uint32_t> crcRebanadas_;
    std::unique_ptr<RegionGalois> region_;
    uint64_t fila_ = 0; // bytes of one recovery slice's sums
    Memoria sumas_;     // one row per recovery slice, in the alternate layout
    // Whole slices gathered, in the alternate layout, so that the sums take several at once
    // (each pass over the sums, which stay out of the caches, costs the same for one or many).
    Memoria grupo_;
    size_t porGrupo_ = 1;
    std::vector<uint32_t> enGrupo_;    // the slices gathered
    std::vector<uint64_t> largoGrupo_; // the bytes of each, in whole blocks
    std::vector<uint16_t> factores_;
    std::vector<uint8_t*> destinos_;

    // Where the bytes stand: the listed piece, the bytes of it taken, its running digests.
    size_t actual_ = 0;
    uint64_t enTrozo_ = 0;
    Md5 md5Principio_;
    Md5 md5Trozo_; // the job's thread's

    // The batches: the one being filled, the full ones waiting to be hashed, the hashed ones
    // waiting to be summed, the free ones; each stage's thread takes them in order.
    std::vector<std::unique_ptr<Lote>> lotes_;
    Lote* enCurso_ = nullptr;
    std::mutex mutex_;
    std::condition_variable cambio_;
    std::deque<Lote*> llenos_, hasheados_, libres_;
    bool cerrar_ = false, hasheado_ = false, sumado_ = false; // no more batches come to each stage
    std::atomic<bool> rotoHilo_{false};
    std::thread hiloHash_, hiloSumas_;
};

} // namespace quimbel::par
