// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target for the PAR 2.0 packet reader and the putting together of a set: the bytes after
// the first as one file of a set. Checks that every packet given lies inside the bytes, after
// the one before, with its own MD5; and that a set accepted keeps its bounds: slice size,
// slice counts and offsets, names beneath the folder, recovery slices of the right size. When
// the first byte is odd, every header found gets the MD5 its length asks for first, so that
// mutated packets get past their checksum to the set's checks.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "JuegoLeido.h"
#include "JuegoPar.h"
#include "LectorPaquetes.h"

namespace {
void Exigir(bool condicion) {
    if (!condicion) std::abort();
}

// Gives every header of a plausible length its MD5, the last one first, as a packet's hash
// takes in those it holds.
void PonerHashes(std::vector<uint8_t>& d) {
    using namespace quimbel::par;
    std::vector<size_t> magias;
    const std::string_view todo(reinterpret_cast<const char*>(d.data()), d.size());
    for (size_t p = todo.find(MagiaPaquete); p != std::string_view::npos; p = todo.find(MagiaPaquete, p + 1))
        magias.push_back(p);
    for (auto it = magias.rbegin(); it != magias.rend(); ++it) {
        if (d.size() - *it < CabeceraPaquete) continue;
        const uint64_t largo = Leer64(d.data() + *it + PosicionLargo);
        if (largo < CabeceraPaquete || largo > d.size() - *it) continue;
        const Huella h = Md5De(d.data() + *it + PosicionConjunto, largo - PosicionConjunto);
        std::memcpy(d.data() + *it + PosicionHash, h.data(), h.size());
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* entrada, size_t tamano) {
    using namespace quimbel::par;
    if (tamano == 0) return 0;
    std::vector<uint8_t> bytes(entrada + 1, entrada + tamano);
    if (entrada[0] & 1) PonerHashes(bytes);
    const uint8_t* datos = bytes.data();
    const size_t n = bytes.size();
    const FuenteMemoria fuente(datos, n);
    Recogida recogida;
    uint64_t fin = 0;
    size_t recuperacion = 0;
    Exigir(LeerPaquetes(fuente, [&](PaqueteLeido&& p) {
        Exigir(p.posicion >= fin && p.largo >= CabeceraPaquete && p.largo % 4 == 0 &&
               p.largo <= n - p.posicion);
        Exigir(Md5De(datos + p.posicion + PosicionConjunto, p.largo - PosicionConjunto) == p.hash);
        if (p.tipo == TipoRecuperacion) {
            Exigir(p.largo >= CabeceraRecuperacion && p.cuerpo.empty());
            ++recuperacion;
        }
        fin = p.posicion + p.largo;
        recogida.Anadir(0, std::move(p));
    }));
    JuegoLeido juego;
    if (!fuzz::ArmarYExigir(recogida, "fuzz.par2", juego)) return 0;
    const uint64_t s = juego.tamanoRebanada;
    Exigir(juego.recuperacion.size() <= recuperacion);
    for (const RebanadaRecuperacion& r : juego.recuperacion)
        Exigir(r.exponente < 65535 && r.posicion + s <= n);
    return 0;
}
