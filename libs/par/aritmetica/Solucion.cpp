// SPDX-License-Identifier: GPL-3.0-or-later
#include "Solucion.h"

#include "Galois.h"
#include "Memoria.h"
#include "Redondeo.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>

namespace quimbel::par {
namespace {

// The inverse: a^(2^16 - 2), by squaring.
uint16_t Inverso(const TablasGalois& t, uint16_t a) {
    uint16_t r = 1;
    for (uint32_t e = OrdenGalois - 1; e > 0; e >>= 1) {
        if (e & 1) r = t.Multiplicar(r, a);
        a = t.Multiplicar(a, a);
    }
    return r;
}

constexpr size_t SinRacha = SIZE_MAX;

// Where the first run of m consecutive exponents starts among the increasing ones at hand.
size_t PrimeraRacha(std::span<const uint32_t> disponibles, size_t m) {
    if (m == 0 || disponibles.size() < m) return SinRacha;
    for (size_t i = 0, largo = 1; i < disponibles.size(); ++i) {
        largo = i > 0 && disponibles[i] == disponibles[i - 1] + 1 ? largo + 1 : 1;
        if (largo == m) return i + 1 - m;
    }
    return SinRacha;
}

// Rows [desde, hasta) of a thread's share of n.
std::pair<size_t, size_t> Parte(size_t n, unsigned hilos, unsigned h) {
    return {n * h / hilos, n * (h + 1) / hilos};
}

// The inverse of A[k][j] = x_j^(e0 + k) = V[k][j] x_j^e0, V the Vandermonde matrix of the
// constants x_j: A^-1[j][k] = x_j^-e0 q_j[k] / Q_j(x_j), q_j the coefficients of
// Q_j(t) = P(t) / (t + x_j), P(t) the product of every (t + x_i). Rows go in groups, so that
// the chains of table look-ups of several rows overlap.
Fallo InvertirVandermonde(std::span<const uint32_t> logaritmos, uint32_t e0, std::vector<uint16_t>& factores,
                          unsigned hilos, Avisos& avisos) {
    const TablasGalois& t = TablasGalois::Unicas();
    const size_t m = logaritmos.size();
    std::vector<uint16_t> p{1};
    p.resize(m + 1, 0);
    for (size_t j = 0; j < m; ++j) {
        p[j + 1] = p[j];
        for (size_t i = j; i > 0; --i)
            p[i] = p[i - 1] ^ t.MultiplicarLog(p[i], logaritmos[j]);
        p[0] = t.MultiplicarLog(p[0], logaritmos[j]);
    }
    factores.assign(m * m, 0);
    constexpr size_t Grupo = 8;
    return avisos.EnParalelo(hilos, [&](unsigned h) -> Fallo {
        const auto [desde, hasta] = Parte(m, hilos, h);
        for (size_t j0 = desde; j0 < hasta && !avisos.Parar(); j0 += Grupo) {
            const size_t n = std::min(Grupo, hasta - j0);
            uint16_t* q[Grupo];
            uint32_t lx[Grupo];
            for (size_t b = 0; b < n; ++b) {
                q[b] = factores.data() + (j0 + b) * m;
                lx[b] = logaritmos[j0 + b];
                q[b][m - 1] = 1;
            }
            for (size_t k = m - 1; k > 0; --k)
                for (size_t b = 0; b < n; ++b)
                    q[b][k - 1] = p[k] ^ t.MultiplicarLog(q[b][k], lx[b]);
            uint16_t d[Grupo];
            for (size_t b = 0; b < n; ++b)
                d[b] = q[b][m - 1];
            for (size_t k = m - 1; k > 0; --k)
                for (size_t b = 0; b < n; ++b)
                    d[b] = t.MultiplicarLog(d[b], lx[b]) ^ q[b][k - 1];
            for (size_t b = 0; b < n; ++b) {
                // x_j^-e0 / Q_j(x_j), as a logarithm.
                const uint64_t menos = (uint64_t{e0} * lx[b] + t.Logaritmo(d[b])) % OrdenGalois;
                const auto escala = static_cast<uint32_t>((OrdenGalois - menos) % OrdenGalois);
                for (size_t k = 0; k < m; ++k)
                    q[b][k] = t.MultiplicarLog(q[b][k], escala);
            }
        }
        return std::nullopt;
    });
}

// The rows of the elimination live in the multiply-add's alternate layout; each holds the m
// factors of an equation, then the m factors that make it out of the recovery slices taken
// (one slot per row). Elements are read through a copy of their 32-byte block in the plain
// layout, so that nothing here depends on the alternate layout's order.
class Filas {
  public:
    explicit Filas(size_t m)
        : m_(m), ancho_(static_cast<size_t>(RedondearA(m, 16))), bytes_(4 * ancho_),
          memoria_((m + 1) * bytes_) {}

    static uint64_t Memoria(uint64_t m) { return (m + 1) * 4 * RedondearA(m, 16); }

    uint8_t* Fila(size_t i) const { return memoria_.Datos() + i * bytes_; }
    size_t Bytes() const { return bytes_; }
    size_t Ancho() const { return ancho_; }

    uint16_t Elemento(size_t fila, size_t k) const {
        alignas(64) uint8_t bloque[32];
        std::memcpy(bloque, Fila(fila) + k / 16 * 32, 32);
        AFormaPar(bloque, 32);
        return static_cast<uint16_t>(bloque[2 * (k % 16)] | bloque[2 * (k % 16) + 1] << 8);
    }

    // Row i in the plain layout: its factors, and a 1 at slot i of the second half.
    void Poner(size_t i, const std::vector<uint16_t>& factores) const {
        uint8_t* p = Fila(i);
        std::memset(p, 0, bytes_);
        for (size_t k = 0; k < m_; ++k) {
            p[2 * k] = static_cast<uint8_t>(factores[k]);
            p[2 * k + 1] = static_cast<uint8_t>(factores[k] >> 8);
        }
        p[2 * (ancho_ + i)] = 1;
        AFormaAlterna(p, bytes_);
    }

    // The plain words [desde, desde + n) of row i.
    std::vector<uint16_t> Palabras(size_t i, size_t desde, size_t n) const {
        const par::Memoria copia(bytes_);
        std::memcpy(copia.Datos(), Fila(i), bytes_);
        AFormaPar(copia.Datos(), bytes_);
        const uint8_t* p = copia.Datos();
        std::vector<uint16_t> w(n);
        for (size_t k = 0; k < n; ++k)
            w[k] = static_cast<uint16_t>(p[2 * (desde + k)] | p[2 * (desde + k) + 1] << 8);
        return w;
    }

  private:
    size_t m_, ancho_, bytes_;
    par::Memoria memoria_;
};

// Gauss-Jordan elimination, one row (slot) at a time: the calling step picks the row's pivot
// among the columns not yet taken and scales it; then every thread clears that column from its
// share of the other rows. A row that turns out dependent takes the next exponent at hand,
// cleared of the pivots taken; with none left it is dropped and the rank falls short.
class Eliminacion {
  public:
    Eliminacion(std::span<const uint32_t> logaritmos, std::span<const uint32_t> disponibles)
        : t_(TablasGalois::Unicas()), logaritmos_(logaritmos), disponibles_(disponibles),
          m_(logaritmos.size()), filas_(m_), pivote_(m_, Ninguno), tomada_(m_, false), exponentes_(m_, 0),
          viva_(m_, false) {
        for (size_t i = 0; i < m_ && siguiente_ < disponibles.size(); ++i)
            Cargar(i);
    }

    Resuelto Ejecutar(Solucion& solucion, size_t& rango, unsigned hilos, Avisos& avisos) {
        Barrera barrera(hilos, [this] { Elegir(); });
        const Fallo error =
            avisos.EnParalelo(hilos, barrera, [&](unsigned h, PuestoEnBarrera& puesto) -> Fallo {
                RegionGalois region;
                const auto [desde, hasta] = Parte(m_, hilos, h);
                for (;;) {
                    puesto.Esperar();
                    if (fin_ || avisos.Parar()) return std::nullopt;
                    for (size_t i = desde; i < hasta; ++i)
                        if (i != fila_)
                            if (const uint16_t f = filas_.Elemento(i, columna_); f != 0)
                                region.MultiplicarSumar(filas_.Fila(fila_) + inicio_,
                                                        filas_.Fila(i) + inicio_, f, fin2_ - inicio_);
                }
            });
        rango = static_cast<size_t>(
            std::count_if(pivote_.begin(), pivote_.end(), [](size_t c) { return c != Ninguno; }));
        if (error || avisos.Parar() || rango < m_) return Resuelto::SinRango;
        solucion.exponentes = exponentes_;
        solucion.factores.assign(m_ * m_, 0);
        for (size_t i = 0; i < m_; ++i) {
            const std::vector<uint16_t> fila = filas_.Palabras(i, filas_.Ancho(), m_);
            std::copy(fila.begin(), fila.end(),
                      solucion.factores.begin() + static_cast<ptrdiff_t>(pivote_[i] * m_));
        }
        return Resuelto::Si;
    }

  private:
    static constexpr size_t Ninguno = SIZE_MAX;

    void Cargar(size_t i) {
        std::vector<uint16_t> factores(m_);
        const uint32_t e = disponibles_[siguiente_++];
        for (size_t k = 0; k < m_; ++k)
            factores[k] = t_.Coeficiente(logaritmos_[k], e);
        filas_.Poner(i, factores);
        exponentes_[i] = e;
        viva_[i] = true;
    }

    // Clears the pivot columns taken from row i (the rows taken are zero in each other's).
    void Limpiar(size_t i, RegionGalois& region) {
        for (size_t b = 0; b < m_; ++b)
            if (pivote_[b] != Ninguno && b != i)
                if (const uint16_t f = filas_.Elemento(i, pivote_[b]); f != 0)
                    region.MultiplicarSumar(filas_.Fila(b), filas_.Fila(i), f, filas_.Bytes());
    }

    // At the end of each phase, on one thread: the next row's pivot, or the end.
    void Elegir() {
        RegionGalois& region = region_;
        for (; siguiente_fila_ < m_; ++siguiente_fila_) {
            const size_t i = siguiente_fila_;
            for (;;) {
                if (viva_[i]) {
                    const std::vector<uint16_t> w = filas_.Palabras(i, 0, m_);
                    size_t c = 0;
                    while (c < m_ && (tomada_[c] || w[c] == 0))
                        ++c;
                    if (c < m_) {
                        Tomar(i, c, w[c], region);
                        ++siguiente_fila_;
                        return;
                    }
                }
                // Dependent, or never loaded: the next exponent, if any.
                if (siguiente_ >= disponibles_.size()) {
                    viva_[i] = false;
                    std::memset(filas_.Fila(i), 0, filas_.Bytes());
                    break;
                }
                Cargar(i);
                Limpiar(i, region);
            }
        }
        fin_ = true;
    }

    void Tomar(size_t i, size_t c, uint16_t valor, RegionGalois& region) {
        size_t libre = 0;
        while (tomada_[libre])
            ++libre;
        region.Multiplicar(filas_.Fila(i), filas_.Fila(m_), Inverso(t_, valor), filas_.Bytes());
        std::memcpy(filas_.Fila(i), filas_.Fila(m_), filas_.Bytes());
        pivote_[i] = c;
        tomada_[c] = true;
        fila_ = i;
        columna_ = c;
        // Row i is zero in the columns taken before and, in its second half, past its own
        // slot (it holds only rows taken before it): the other rows change only in between.
        inicio_ = libre / 16 * 32;
        fin2_ = std::min<size_t>(2 * filas_.Ancho() + RedondearA(2 * (i + 1), 32), filas_.Bytes());
    }

    const TablasGalois& t_;
    RegionGalois region_; // of the steps between phases
    std::span<const uint32_t> logaritmos_, disponibles_;
    size_t m_;
    Filas filas_;
    std::vector<size_t> pivote_; // the column of each row taken
    std::vector<bool> tomada_;   // columns taken
    std::vector<uint32_t> exponentes_;
    std::vector<bool> viva_; // rows holding an equation
    size_t siguiente_ = 0;   // the next exponent at hand
    size_t siguiente_fila_ = 0;
    // The step the threads work on.
    size_t fila_ = 0, columna_ = 0, inicio_ = 0, fin2_ = 0;
    bool fin_ = false;
};

} // namespace

uint64_t MemoriaResolver(uint64_t m, std::span<const uint32_t> disponibles) {
    const uint64_t factores = 2 * m * m;
    if (PrimeraRacha(disponibles, static_cast<size_t>(m)) != SinRacha) return factores + 2 * (m + 1);
    return factores + Filas::Memoria(m) + 8 * m;
}

Resuelto Resolver(std::span<const uint32_t> logaritmos, std::span<const uint32_t> disponibles,
                  Solucion& solucion, size_t& rango, uint64_t memoria, unsigned hilos, Avisos& avisos) {
    const size_t m = logaritmos.size();
    solucion = {};
    rango = 0;
    if (m == 0) return Resuelto::Si;
    if (MemoriaResolver(m, disponibles) > memoria) return Resuelto::SinMemoria;
    hilos = static_cast<unsigned>(std::clamp<size_t>(m / 16, 1, std::max(hilos, 1u)));
    if (const size_t racha = PrimeraRacha(disponibles, m); racha != SinRacha) {
        if (InvertirVandermonde(logaritmos, disponibles[racha], solucion.factores, hilos, avisos) ||
            avisos.Parar()) {
            solucion = {};
            return Resuelto::SinRango;
        }
        solucion.exponentes.assign(disponibles.begin() + static_cast<ptrdiff_t>(racha),
                                   disponibles.begin() + static_cast<ptrdiff_t>(racha + m));
        rango = m;
        return Resuelto::Si;
    }
    Eliminacion eliminacion(logaritmos, disponibles);
    const Resuelto r = eliminacion.Ejecutar(solucion, rango, hilos, avisos);
    if (r != Resuelto::Si) solucion = {};
    return r;
}

} // namespace quimbel::par
