// SPDX-License-Identifier: GPL-3.0-or-later
// The PAR2 reader on hostile bytes: every file read once, in order, whatever it holds; damaged
// packets that claim to hold the next ones lose none of them, across blocks too; and what the
// gathering keeps stays within its bound, however many packets come.
#include "JuegoLeido.h"
#include "LectorPaquetes.h"
#include "support/Carpeta.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

namespace quimbel::par {
namespace {

// A source in memory that counts the bytes read and fails the test when a read does not start
// where the previous one ended.
class FuenteContada : public FuenteBytes {
  public:
    explicit FuenteContada(const Bytes& datos) : memoria_(datos.data(), datos.size()) {}
    uint64_t Tamano() const override { return memoria_.Tamano(); }
    bool LeerEn(void* datos, size_t n, uint64_t posicion) const override {
        EXPECT_EQ(posicion, leidos) << "a byte read twice, or one skipped";
        leidos = posicion + n;
        total += n;
        return memoria_.LeerEn(datos, n, posicion);
    }
    mutable uint64_t leidos = 0; // where the next read should start
    mutable uint64_t total = 0;  // every byte read, counted each time

  private:
    FuenteMemoria memoria_;
};

void Poner64(uint8_t* p, uint64_t v) {
    for (int i = 0; i < 8; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

Bytes Anexados(std::initializer_list<Bytes> partes) {
    Bytes todo;
    for (const Bytes& p : partes)
        Anexar(todo, p.data(), p.size());
    return todo;
}

Bytes Repetido(std::string_view patron, size_t bytes) {
    Bytes b;
    while (b.size() < bytes)
        Anexar(b, patron.data(), std::min(patron.size(), bytes - b.size()));
    return b;
}

// A header every 64 bytes whose length runs to the end of the bytes: each one a packet to hash
// until the end, none of which holds.
Bytes CabecerasHastaElFinal(size_t bytes) {
    Bytes b(bytes, 0);
    for (size_t p = 0; p + CabeceraPaquete <= bytes; p += 64) {
        std::memcpy(b.data() + p, MagiaPaquete.data(), MagiaPaquete.size());
        Poner64(b.data() + p + PosicionLargo, (bytes - p) & ~uint64_t{3});
        std::memcpy(b.data() + p + PosicionTipo, TipoPrincipal.data(), 16);
    }
    return b;
}

Bytes Recuperacion(const Huella& conjunto, uint32_t exponente, size_t bytes, unsigned semilla) {
    Bytes cuerpo{static_cast<uint8_t>(exponente), 0, 0, 0};
    const std::string datos = prueba::Datos(bytes, semilla);
    Anexar(cuerpo, datos.data(), datos.size());
    return Paquete(conjunto, TipoRecuperacion, cuerpo);
}

struct Leidos {
    std::vector<PaqueteLeido> paquetes;
    uint64_t bytes = 0;
    bool bien = false;
};

Leidos Leer(const Bytes& datos) {
    FuenteContada fuente(datos);
    Leidos r;
    r.bien = LeerPaquetes(fuente, [&](PaqueteLeido&& p) { r.paquetes.push_back(std::move(p)); });
    r.bytes = fuente.total;
    return r;
}

// Hostile files of several megabytes, beside intact packets: every byte is read exactly once,
// the work is that of hashing it a few times, and the intact packets are found all the same.
TEST(LectorPar, CadaByteSeLeeUnaVez) {
    const Huella conjunto = Md5De("j", 1);
    const Bytes a = Paquete(conjunto, TipoCreador, CuerpoCreador("a"));
    const Bytes r = Recuperacion(conjunto, 3, (size_t{3} << 20) + 12, 5);
    const Bytes magia = Repetido(MagiaPaquete, size_t{8} << 20);
    const struct {
        const char* caso;
        Bytes datos;
        size_t paquetes;
    } casos[] = {
        {"magia repetida", magia, 0},
        {"magia desplazada", Repetido(std::string("PAR2\0PKTPAR", 11), (size_t{5} << 20) + 3), 0},
        {"cabeceras hasta el final", CabecerasHastaElFinal(size_t{4} << 20), 0},
        {"paquetes entre magia", Anexados({magia, a, magia, r, CabecerasHastaElFinal(1 << 20), a}), 3},
        {"vacío", {}, 0},
        {"menos que una cabecera", Bytes(a.begin(), a.begin() + 63), 0},
    };
    for (const auto& c : casos) {
        const auto t0 = std::chrono::steady_clock::now();
        const Leidos l = Leer(c.datos);
        const auto t1 = std::chrono::steady_clock::now();
        Md5De(c.datos.data(), c.datos.size());
        const std::chrono::duration<double> lectura = t1 - t0, md5 = std::chrono::steady_clock::now() - t1;
        EXPECT_TRUE(l.bien) << c.caso;
        EXPECT_EQ(l.bytes, c.datos.size()) << c.caso;
        EXPECT_EQ(l.paquetes.size(), c.paquetes) << c.caso;
        // At the speed of hashing the bytes a few times, with room for a loaded machine.
        EXPECT_LT(lectura.count(), 8.0 * CandidatosAbiertos * md5.count() + 0.5) << c.caso;
    }
}

// A damaged packet whose length takes in the packets after it, across many blocks: they are
// found in order once it fails; and packets inside a packet that holds are its own bytes.
TEST(LectorPar, LoQueUnPaqueteDanadoAbarcaSeEncuentra) {
    const Huella conjunto = Md5De("k", 1);
    const Bytes a = Paquete(conjunto, TipoCreador, CuerpoCreador("a"));
    const Bytes b = Recuperacion(conjunto, 1, (size_t{2} << 20) + 8, 6);
    const Bytes c = Paquete(conjunto, TipoCreador, CuerpoCreador("c"));
    Bytes roto = Recuperacion(conjunto, 0, (size_t{1} << 20) + 4, 7);
    roto[300] ^= 1;
    Bytes largo = roto;
    Poner64(largo.data() + PosicionLargo, roto.size() + a.size() + b.size() + c.size());
    Leidos l = Leer(Anexados({largo, a, b, c}));
    ASSERT_EQ(l.paquetes.size(), 3u);
    EXPECT_EQ(l.paquetes[0].posicion, roto.size());
    EXPECT_EQ(l.paquetes[1].exponente, 1u);
    EXPECT_EQ(l.paquetes[2].cuerpo, CuerpoCreador("c"));

    // A recovery slice whose data hold a whole packet: the slice only.
    Bytes cuerpo{2, 0, 0, 0};
    Anexar(cuerpo, c.data(), c.size());
    const std::string relleno = prueba::Datos(size_t{3} << 20, 8);
    Anexar(cuerpo, relleno.data(), relleno.size());
    l = Leer(Anexados({Paquete(conjunto, TipoRecuperacion, cuerpo), a}));
    ASSERT_EQ(l.paquetes.size(), 2u);
    EXPECT_EQ(l.paquetes[0].exponente, 2u);
    EXPECT_EQ(l.paquetes[1].cuerpo, CuerpoCreador("a"));
}

// Packets of a set, each with its own set ID so that none is a copy of another.
PaqueteLeido Vacio(uint32_t n, std::string_view tipo = TipoPrincipal) {
    PaqueteLeido p;
    p.tipo = std::string(tipo);
    std::memcpy(p.conjunto.data(), &n, sizeof n);
    p.hash = p.conjunto;
    p.largo = CabeceraPaquete;
    p.exponente = n;
    return p;
}

// However many distinct packets come, empty ones included, the gathering keeps those that
// fit its one bound and drops the rest; a set whose packets come first is whole.
TEST(LectorPar, LaRecogidaGuardaHastaSuLimite) {
    const uint64_t caben = MemoriaGuardada / CostoGuardado;
    for (const std::string_view tipo : {TipoPrincipal, TipoRecuperacion}) {
        Recogida r;
        for (uint32_t n = 0; n < caben + 5000; ++n) {
            PaqueteLeido p = Vacio(n, tipo);
            if (tipo == TipoRecuperacion) p.largo = CabeceraRecuperacion + 4;
            r.Anadir(n % 3, std::move(p));
        }
        EXPECT_EQ(r.Guardados(), caben);
        EXPECT_LE(r.Memoria(), MemoriaGuardada);
    }
    // Bodies count too.
    Recogida r;
    PaqueteLeido grande = Vacio(1, TipoDescripcion);
    grande.cuerpo.assign(MemoriaGuardada - CostoGuardado, 0);
    grande.largo = CabeceraPaquete + grande.cuerpo.size();
    r.Anadir(0, std::move(grande));
    r.Anadir(0, Vacio(2));
    EXPECT_EQ(r.Guardados(), 1u);
    EXPECT_TRUE(r.Aporto(0));
    EXPECT_FALSE(r.Aporto(1));
}

// Once the set is known, the packets of other sets are dropped.
TEST(LectorPar, SoloLosPaquetesDelJuego) {
    Recogida r;
    r.Anadir(0, Vacio(1));
    r.SoloDe(Vacio(2).conjunto);
    r.Anadir(1, Vacio(3));
    r.Anadir(2, Vacio(2, TipoRecuperacion));
    EXPECT_EQ(r.Guardados(), 2u);
    EXPECT_FALSE(r.Aporto(1));
    EXPECT_TRUE(r.Aporto(2));
}

} // namespace
} // namespace quimbel::par
