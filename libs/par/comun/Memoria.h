// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A zeroed buffer aligned to 64 bytes, as the region arithmetic wants it. A large one is
// mapped from the system, whose pages come zeroed when first touched (no pass over them here,
// and none at all for pages never used) and are asked to be huge ones: fewer faults.
#include "Redondeo.h"

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace quimbel::par {

class Memoria {
  public:
    Memoria() = default;
    explicit Memoria(size_t n) : n_(n) {
        if (n >= Mapeada) {
            mapeado_ = static_cast<size_t>(RedondearA(n, 4096));
            void* p = mmap(nullptr, mapeado_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (p == MAP_FAILED) throw std::bad_alloc();
            madvise(p, mapeado_, MADV_HUGEPAGE);
            p_ = static_cast<uint8_t*>(p);
            return;
        }
        const auto redondeado = static_cast<size_t>(RedondearA(n, 64));
        p_ = static_cast<uint8_t*>(std::aligned_alloc(64, redondeado == 0 ? 64 : redondeado));
        if (p_ == nullptr) throw std::bad_alloc();
        std::memset(p_, 0, n);
    }
    ~Memoria() { Liberar(); }
    Memoria(Memoria&& otra) noexcept
        : p_(std::exchange(otra.p_, nullptr)), n_(std::exchange(otra.n_, 0)),
          mapeado_(std::exchange(otra.mapeado_, 0)) {}
    Memoria& operator=(Memoria&& otra) noexcept {
        if (this != &otra) {
            Liberar();
            p_ = std::exchange(otra.p_, nullptr);
            n_ = std::exchange(otra.n_, 0);
            mapeado_ = std::exchange(otra.mapeado_, 0);
        }
        return *this;
    }
    Memoria(const Memoria&) = delete;
    Memoria& operator=(const Memoria&) = delete;

    uint8_t* Datos() const { return p_; }
    size_t Tamano() const { return n_; }

  private:
    // From this size on, the buffer is mapped.
    static constexpr size_t Mapeada = size_t{2} << 20;
    void Liberar() {
        if (mapeado_ > 0)
            munmap(p_, mapeado_);
        else
            std::free(p_);
        p_ = nullptr;
    }
    uint8_t* p_ = nullptr;
    size_t n_ = 0;
    size_t mapeado_ = 0; // bytes mapped; 0 when allocated
};

} // namespace quimbel::par
