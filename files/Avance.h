// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The progress of a run: the bytes it has done of all it will do, shown in the window's
// progress bar, and the window's chance to paint while one piece or one file takes long.
// The window's input is never handled here: it waits for the next ProcesarMensajes.
#include <algorithm>
#include <chrono>
#include <cstdint>

#include "Ventana.h"

namespace quimbel {

class Avance {
  public:
    // Shows the bar at 0 of `total` bytes.
    Avance(Ventana& ventana, int64_t total);
    // Hides the bar: the run is over, however it ended.
    ~Avance();
    Avance(const Avance&) = delete;
    Avance& operator=(const Avance&) = delete;

    // `bytes` more are done. At most every 100 ms, and when the run's bytes are all done, the
    // bar moves and the window paints.
    void Sumar(int64_t bytes);
    // Where the run stands, for a step that reports its own share (the PAR job).
    void Poner(int64_t hechos);
    // A new size of the run, for a step that learns it as it goes (the repair's steps).
    void Medir(int64_t total) { total_ = std::max<int64_t>(total, 0); }
    // The bytes done so far.
    int64_t Hechos() const { return hechos_; }
    // Whether the run was asked to stop (Ventana::Interrumpido).
    bool Interrumpido() const { return ventana_.Interrumpido(); }

  private:
    void Mostrar(bool ahora);
    Ventana& ventana_;
    int64_t total_;
    int64_t hechos_ = 0;
    int64_t mostrado_ = -1;
    std::chrono::steady_clock::time_point ultima_;
};

// How often a long step lets the window paint.
inline constexpr std::chrono::milliseconds IntervaloRepintado{100};

// Test seam, as a slow device: every Sumar first sleeps this long (0, the default: never).
void RalentizarAvance(std::chrono::milliseconds porLlamada);

} // namespace quimbel
