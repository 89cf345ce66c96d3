// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A zeroed buffer aligned to 64 bytes, as the region arithmetic wants it.
#include "Redondeo.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

namespace quimbel::par {

class Memoria {
  public:
    Memoria() = default;
    explicit Memoria(size_t n) : n_(n) {
        const auto redondeado = static_cast<size_t>(RedondearA(n, 64));
        p_.reset(static_cast<uint8_t*>(std::aligned_alloc(64, redondeado == 0 ? 64 : redondeado)));
        if (!p_) throw std::bad_alloc();
        std::memset(p_.get(), 0, n);
    }
    uint8_t* Datos() const { return p_.get(); }
    size_t Tamano() const { return n_; }

  private:
    struct Liberar {
        void operator()(uint8_t* p) const { std::free(p); }
    };
    std::unique_ptr<uint8_t, Liberar> p_;
    size_t n_ = 0;
};

} // namespace quimbel::par
