#include "Solucion.h"

#include "Galois.h"
#include "Memoria.h"
#include "Redondeo.h"

#include <cstring>

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

// The rows of the elimination live in the multiply-add's alternate layout; each holds the m
// factors of an equation, then the m factors that make it out of the recovery slices taken.
// Elements are read through a copy of their 32-byte block in the plain layout, so that
// nothing here depends on the alternate layout's order.
class Filas {
  public:
    explicit Filas(size_t m)
        : m_(m), ancho_(static_cast<size_t>(RedondearA(m, 16))), bytes_(4 * ancho_),
          memoria_((m + 2) * bytes_) {}

    uint8_t* Fila(size_t i) const { return memoria_.Datos() + i * bytes_; }
    size_t Bytes() const { return bytes_; }

    uint16_t Elemento(size_t fila, size_t k) const {
        alignas(64) uint8_t bloque[32];
        std::memcpy(bloque, Fila(fila) + k / 16 * 32, 32);
        AFormaPar(bloque, 32);
        return static_cast<uint16_t>(bloque[2 * (k % 16)] | bloque[2 * (k % 16) + 1] << 8);
    }

    // Row i in the plain layout: its factors, and a 1 at slot `ranura` of the second half.
    void Poner(size_t i, const std::vector<uint16_t>& factores, size_t ranura) const {
        uint8_t* p = Fila(i);
        std::memset(p, 0, bytes_);
        for (size_t k = 0; k < m_; ++k) {
            p[2 * k] = static_cast<uint8_t>(factores[k]);
            p[2 * k + 1] = static_cast<uint8_t>(factores[k] >> 8);
        }
        p[2 * (ancho_ + ranura)] = 1;
        AFormaAlterna(p, bytes_);
    }

    // The plain words [desde, desde + n) of row i.
    std::vector<uint16_t> Palabras(size_t i, size_t desde, size_t n) const {
        const Memoria copia(bytes_);
        std::memcpy(copia.Datos(), Fila(i), bytes_);
        AFormaPar(copia.Datos(), bytes_);
        const uint8_t* p = copia.Datos();
        std::vector<uint16_t> w(n);
        for (size_t k = 0; k < n; ++k)
            w[k] = static_cast<uint16_t>(p[2 * (desde + k)] | p[2 * (desde + k) + 1] << 8);
        return w;
    }

    size_t Ancho() const { return ancho_; }

  private:
    size_t m_, ancho_, bytes_;
    Memoria memoria_;
};

} // namespace

uint64_t MemoriaResolver(uint64_t m) {
    return (m + 2) * 4 * RedondearA(m, 16) + 2 * m * m;
}

bool Resolver(std::span<const uint32_t> logaritmos, std::span<const uint32_t> disponibles, Solucion& solucion,
              size_t& rango) {
    const size_t m = logaritmos.size();
    solucion = {};
    rango = 0;
    if (m == 0) return true;
    const TablasGalois& t = TablasGalois::Unicas();
    RegionGalois region;
    Filas filas(m);
    const size_t candidata = m, auxiliar = m + 1;
    std::vector<size_t> pivotes; // the column of each row taken
    std::vector<uint16_t> factores(m);
    for (const uint32_t e : disponibles) {
        if (pivotes.size() == m) break;
        for (size_t k = 0; k < m; ++k)
            factores[k] = t.Coeficiente(logaritmos[k], e);
        filas.Poner(candidata, factores, pivotes.size());
        // Rows taken earlier are zero in the pivots taken before them: one pass clears them all.
        for (size_t b = 0; b < pivotes.size(); ++b)
            if (const uint16_t f = filas.Elemento(candidata, pivotes[b]); f != 0)
                region.MultiplicarSumar(filas.Fila(b), filas.Fila(candidata), f, filas.Bytes());
        const std::vector<uint16_t> resto = filas.Palabras(candidata, 0, m);
        size_t c = 0;
        while (c < m && resto[c] == 0)
            ++c;
        if (c == m) continue; // depends on the equations taken
        region.Multiplicar(filas.Fila(candidata), filas.Fila(auxiliar), Inverso(t, resto[c]), filas.Bytes());
        std::memcpy(filas.Fila(pivotes.size()), filas.Fila(auxiliar), filas.Bytes());
        pivotes.push_back(c);
        solucion.exponentes.push_back(e);
    }
    rango = pivotes.size();
    if (rango < m) {
        solucion = {};
        return false;
    }
    // Back substitution: each row keeps only its own pivot.
    for (size_t b = m; b-- > 0;)
        for (size_t a = 0; a < b; ++a)
            if (const uint16_t f = filas.Elemento(a, pivotes[b]); f != 0)
                region.MultiplicarSumar(filas.Fila(b), filas.Fila(a), f, filas.Bytes());
    solucion.factores.assign(m * m, 0);
    for (size_t b = 0; b < m; ++b) {
        const std::vector<uint16_t> fila = filas.Palabras(b, filas.Ancho(), m);
        std::copy(fila.begin(), fila.end(),
                  solucion.factores.begin() + static_cast<ptrdiff_t>(pivotes[b] * m));
    }
    return true;
}

} // namespace quimbel::par
