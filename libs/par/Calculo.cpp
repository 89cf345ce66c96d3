#include "libs/par/Calculo.h"

#include "libs/par/Crc.h"
#include "libs/par/Disco.h"

#include <algorithm>
#include <barrier>
#include <cstring>

namespace quimbel::par {
namespace {

size_t Redondear32(size_t n) {
    return (n + 31) / 32 * 32;
}

} // namespace

Calculo::Calculo(Conjunto& conjunto, const Franjas& franjas, unsigned hilos, bool mantenerAbiertos)
    : conjunto_(conjunto), franjas_(franjas), logaritmos_(LogaritmosDeEntrada(conjunto.reparto.total)),
      md5Rebanadas_(conjunto.reparto.total), crcRebanadas_(conjunto.reparto.total, 0) {
    if (mantenerAbiertos) {
        trozosAbiertos_.resize(conjunto.trozos.size());
        volumenesAbiertos_.resize(conjunto.volumenes);
    }
    const auto bytesSumas = static_cast<size_t>(uint64_t{conjunto.recuperacion} * franjas.fila);
    for (unsigned h = 0; h < hilos; ++h)
        trabajadores_.push_back(
            std::make_unique<Trabajador>(bytesSumas, static_cast<size_t>(franjas.fila + 64)));
}

Calculo::Tramo Calculo::TramoDe(uint64_t franja) const {
    const uint64_t desde = franja * franjas_.ancho;
    return {desde, std::min(conjunto_.reparto.tamano, desde + franjas_.ancho)};
}

std::string Calculo::Ejecutar(Avisos& avisos, Volumenes& volumenes) {
    // Each phase hands out pieces, then volumes, from a counter set back between phases.
    auto alTerminarFase = [this]() noexcept {
        siguienteTrozo_ = 0;
        siguienteVolumen_ = 0;
    };
    std::barrier barrera(static_cast<std::ptrdiff_t>(trabajadores_.size()), alTerminarFase);
    const std::string error = avisos.EnParalelo(
        static_cast<unsigned>(trabajadores_.size()),
        [&](unsigned h) -> std::string {
            std::string fallo;
            try {
                fallo = Trabajar(*trabajadores_[h], avisos, volumenes, barrera);
            } catch (...) {
                barrera.arrive_and_drop();
                throw;
            }
            return fallo;
        },
        [&] { barrera.arrive_and_drop(); });
    if (!error.empty()) return error;
    for (size_t r = 0; r < md5Rebanadas_.size(); ++r)
        conjunto_.huellas[r] = {md5Rebanadas_[r].Valor(), crcRebanadas_[r]};
    return "";
}

// A thread that stops (done, failed or told to) leaves the barrier, so that the others
// never wait for it.
std::string Calculo::Trabajar(Trabajador& t, Avisos& avisos, Volumenes& volumenes, auto& barrera) {
    for (uint64_t f = 0; f < franjas_.numero; ++f) {
        const Tramo tramo = TramoDe(f);
        const bool ultima = f + 1 == franjas_.numero;
        t.conDatos = false;
        while (!avisos.Parar()) {
            const size_t i = siguienteTrozo_++;
            if (i >= conjunto_.trozos.size()) break;
            if (std::string error = LeerFranja(i, tramo, ultima, t); !error.empty()) {
                barrera.arrive_and_drop();
                return error;
            }
            if (ultima) avisos.Enviar("Leído trozo " + conjunto_.trozos[i].nombre);
        }
        barrera.arrive_and_wait();
        while (!avisos.Parar()) {
            const uint32_t v = siguienteVolumen_++;
            if (v >= conjunto_.volumenes) break;
            if (std::string error = VolcarFranja(v, tramo, ultima, t.region, volumenes); !error.empty()) {
                barrera.arrive_and_drop();
                return error;
            }
        }
        if (avisos.Parar()) break;
        barrera.arrive_and_wait();
    }
    barrera.arrive_and_drop();
    return "";
}

// A piece that changed size since it was listed would be described wrongly.
std::string Calculo::AbrirTrozo(const TrozoPar& trozo, Descriptor& fichero) const {
    if (!fichero.Abierto()) fichero = AbrirLectura(trozo.nombre);
    if (!fichero.Abierto()) return "¡ Error al abrir fichero " + trozo.nombre + " !";
    const auto estado = fichero.Estado();
    if (!estado || estado->tamano != trozo.tamano)
        return "¡ Error, el fichero " + trozo.nombre + " ha cambiado mientras se creaba el PAR !";
    return "";
}

std::string Calculo::LeerFranja(size_t i, const Tramo& tramo, bool ultima, Trabajador& t) {
    TrozoPar& trozo = conjunto_.trozos[i];
    Descriptor deLaFranja;
    Descriptor& fichero = trozosAbiertos_.empty() ? deLaFranja : trozosAbiertos_[i];
    // A piece kept open is checked when opened and again after its last stripe.
    if (!fichero.Abierto())
        if (std::string error = AbrirTrozo(trozo, fichero); !error.empty()) return error;
    const uint64_t tamano = conjunto_.reparto.tamano;
    for (uint32_t j = 0; j < trozo.rebanadas; ++j) {
        const uint32_t r = trozo.primera + j;
        const uint64_t inicio = uint64_t{j} * tamano;
        const uint64_t real = std::min(tamano, trozo.tamano - inicio); // bytes of the piece in this slice
        if (tramo.desde < real) {
            const auto n = static_cast<size_t>(std::min(tramo.hasta, real) - tramo.desde);
            if (!fichero.LeerEn(t.franja.Datos(), n, inicio + tramo.desde))
                return "¡ Error al leer fichero " + trozo.nombre + " !";
            Sumar(r, t.franja.Datos(), n, tramo, t);
            // A piece of one slice: its MD5 is the slice's before the zero padding.
            if (trozo.rebanadas == 1 && real <= tramo.hasta) trozo.md5 = md5Rebanadas_[r].Valor();
        }
        if (real < tramo.hasta) {
            const uint64_t relleno = tramo.hasta - std::max(tramo.desde, real);
            md5Rebanadas_[r].AnadirCeros(relleno);
            crcRebanadas_[r] = SumarCerosCrc(crcRebanadas_[r], relleno);
        }
    }
    if (ultima && !trozosAbiertos_.empty()) {
        if (std::string error = AbrirTrozo(trozo, fichero); !error.empty()) return error;
        fichero.Cerrar();
    }
    return "";
}

void Calculo::Sumar(uint32_t r, uint8_t* datos, size_t n, const Tramo& tramo, Trabajador& t) {
    md5Rebanadas_[r].Anadir(datos, n);
    crcRebanadas_[r] = SumarCrc(crcRebanadas_[r], datos, n);
    if (conjunto_.recuperacion == 0) return;
    // Zeros complete the data to whole blocks of the alternate layout, as the padded
    // slice has them; the sums beyond the stripe are never written. The thread's first
    // data of a stripe replace its sums, over the whole stripe, instead of adding to
    // sums cleared beforehand.
    const bool primeros = !t.conDatos;
    const size_t bloques = Redondear32(primeros ? static_cast<size_t>(tramo.hasta - tramo.desde) : n);
    std::memset(datos + n, 0, bloques - n);
    AFormaAlterna(datos, bloques);
    const TablasGalois& tablas = TablasGalois::Unicas();
    for (uint32_t e = 0; e < conjunto_.recuperacion; ++e) {
        uint8_t* suma = t.sumas.Datos() + e * franjas_.fila;
        const uint16_t factor = tablas.Coeficiente(logaritmos_[r], e);
        if (primeros)
            t.region.Multiplicar(datos, suma, factor, bloques);
        else
            t.region.MultiplicarSumar(datos, suma, factor, bloques);
    }
    t.conDatos = true;
}

std::string Calculo::VolcarFranja(uint32_t v, const Tramo& tramo, bool ultima, RegionGalois& region,
                                  Volumenes& volumenes) {
    const std::string error = "¡ Error al escribir fichero " + volumenes.RutaVolumen(v) + " !";
    const auto n = static_cast<size_t>(tramo.hasta - tramo.desde);
    const uint32_t porVolumen = conjunto_.reparto.porTrozo;
    Descriptor deLaFranja;
    Descriptor& fichero = volumenesAbiertos_.empty() ? deLaFranja : volumenesAbiertos_[v];
    if (!fichero.Abierto()) fichero = volumenes.AbrirVolumen(v);
    if (!fichero.Abierto()) return error;
    for (uint32_t e = v * porVolumen; e < (v + 1) * porVolumen; ++e) {
        // The sums of the threads that had data; zeros when none had.
        uint8_t* suma = nullptr;
        for (const auto& u : trabajadores_) {
            if (!u->conDatos) continue;
            uint8_t* suya = u->sumas.Datos() + e * franjas_.fila;
            if (suma == nullptr)
                suma = suya;
            else
                region.MultiplicarSumar(suya, suma, 1, Redondear32(n));
        }
        if (suma == nullptr) {
            suma = trabajadores_[0]->sumas.Datos() + e * franjas_.fila;
            std::memset(suma, 0, Redondear32(n));
        }
        AFormaPar(suma, Redondear32(n));
        if (!volumenes.EscribirRecuperacion(fichero, e, tramo.desde, suma, n) ||
            (ultima && !volumenes.CerrarRecuperacion(fichero, e)))
            return error;
    }
    if (!ultima && !volumenesAbiertos_.empty()) return "";
    return fichero.Cerrar() ? "" : error;
}

} // namespace quimbel::par
