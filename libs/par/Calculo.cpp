#include "libs/par/Calculo.h"

#include "libs/par/Crc.h"
#include "libs/par/Disco.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace quimbel::par {

Calculo::Calculo(Conjunto& conjunto, const Pasadas& pasadas, unsigned hilos, const Limites& limites)
    : conjunto_(conjunto), pasadas_(pasadas), bloque_(limites.bloqueLectura),
      logaritmos_(LogaritmosDeEntrada(conjunto.reparto.total)), md5Rebanadas_(conjunto.reparto.total),
      crcRebanadas_(conjunto.reparto.total, 0), md5Ficheros_(conjunto.trozos.size()) {
    for (size_t i = 0; i < conjunto.trozos.size(); ++i)
        if (conjunto.trozos[i].rebanadas > 1) md5Ficheros_[i].emplace();
    const auto bytesSumas = static_cast<size_t>(uint64_t{conjunto.recuperacion} * pasadas.fila);
    for (unsigned h = 0; h < hilos; ++h)
        trabajadores_.push_back(std::make_unique<Trabajador>(bytesSumas, bloque_ + 64));
}

Calculo::Tramo Calculo::TramoDe(uint32_t pasada) const {
    const uint64_t desde = uint64_t{pasada} * pasadas_.ancho;
    return {desde, std::min(conjunto_.reparto.tamano, desde + pasadas_.ancho)};
}

std::string Calculo::Leer(uint32_t pasada, Avisos& avisos) {
    std::atomic<size_t> siguiente{0};
    const bool ultima = pasada + 1 == pasadas_.numero;
    return avisos.EnParalelo(static_cast<unsigned>(trabajadores_.size()), [&](unsigned h) -> std::string {
        Trabajador& t = *trabajadores_[h];
        std::memset(t.sumas.Datos(), 0, t.sumas.Tamano());
        while (!avisos.Parar()) {
            const size_t i = siguiente++;
            if (i >= conjunto_.trozos.size()) break;
            if (std::string error = LeerTrozo(i, pasada, t, avisos); !error.empty()) return error;
            if (ultima) avisos.Enviar("Leído trozo " + conjunto_.trozos[i].nombre);
        }
        return "";
    });
}

// Slices are read in blocks that start at multiples of the block size from the start of
// the slice, and a pass starts at a multiple of 64: data and sums keep the same alignment.
std::string Calculo::LeerTrozo(size_t i, uint32_t pasada, Trabajador& t, const Avisos& avisos) {
    TrozoPar& trozo = conjunto_.trozos[i];
    Descriptor fichero = AbrirLectura(trozo.nombre);
    if (!fichero.Abierto()) return "¡ Error al abrir fichero " + trozo.nombre + " !";
    const auto estado = fichero.Estado();
    if (!estado || estado->tamano != trozo.tamano)
        return "¡ Error, el fichero " + trozo.nombre + " ha cambiado mientras se creaba el PAR !";
    const Tramo tramo = TramoDe(pasada);
    const uint64_t tamano = conjunto_.reparto.tamano;
    // A piece of several slices is read whole in the first pass, for its own MD5.
    const bool entero = pasada == 0 && md5Ficheros_[i].has_value();
    for (uint32_t j = 0; j < trozo.rebanadas; ++j) {
        const uint32_t r = trozo.primera + j;
        const uint64_t inicio = uint64_t{j} * tamano;
        const uint64_t real = std::min(tamano, trozo.tamano - inicio); // bytes of the piece in this slice
        const uint64_t desde = entero ? 0 : std::min(tramo.desde, real);
        const uint64_t hasta = entero ? real : std::min(tramo.hasta, real);
        for (uint64_t x = desde; x < hasta; x += bloque_) {
            if (avisos.Parar()) return "";
            const auto n = static_cast<size_t>(std::min<uint64_t>(bloque_, hasta - x));
            if (!fichero.LeerEn(t.bloque.Datos(), n, inicio + x))
                return "¡ Error al leer fichero " + trozo.nombre + " !";
            if (entero) md5Ficheros_[i]->Anadir(t.bloque.Datos(), n);
            const uint64_t bajo = std::max(x, tramo.desde), alto = std::min(x + n, tramo.hasta);
            if (bajo < alto) Sumar(r, t.bloque.Datos() + (bajo - x), alto - bajo, bajo - tramo.desde, t);
        }
        // A piece of one slice: its MD5 is the slice's before the zero padding.
        if (!md5Ficheros_[i] && tramo.desde < real && real <= tramo.hasta) trozo.md5 = md5Rebanadas_[r].Valor();
        if (real < tramo.hasta) {
            const uint64_t relleno = tramo.hasta - std::max(tramo.desde, real);
            md5Rebanadas_[r].AnadirCeros(relleno);
            crcRebanadas_[r] = SumarCerosCrc(crcRebanadas_[r], relleno);
        }
    }
    if (md5Ficheros_[i] && pasada + 1 == pasadas_.numero) trozo.md5 = md5Ficheros_[i]->Valor();
    return "";
}

void Calculo::Sumar(uint32_t r, uint8_t* datos, uint64_t n, uint64_t posicion, Trabajador& t) {
    const auto bytes = static_cast<size_t>(n);
    md5Rebanadas_[r].Anadir(datos, bytes);
    crcRebanadas_[r] = SumarCrc(crcRebanadas_[r], datos, bytes);
    if (conjunto_.recuperacion == 0) return;
    // The words of a piece's odd end are completed with zeros, as the padded slice has them.
    const size_t palabras = (bytes + 3) / 4 * 4;
    std::memset(datos + bytes, 0, palabras - bytes);
    const TablasGalois& tablas = TablasGalois::Unicas();
    for (uint32_t e = 0; e < conjunto_.recuperacion; ++e)
        t.region.MultiplicarSumar(datos, t.sumas.Datos() + e * pasadas_.fila + posicion,
                                  tablas.Coeficiente(logaritmos_[r], e), palabras);
}

std::string Calculo::Volcar(uint32_t pasada, Avisos& avisos, Volumenes& volumenes) {
    const Tramo tramo = TramoDe(pasada);
    const uint64_t n = tramo.hasta - tramo.desde;
    const bool ultima = pasada + 1 == pasadas_.numero;
    const uint32_t porVolumen = conjunto_.reparto.porTrozo;
    std::atomic<uint32_t> siguiente{0};
    return avisos.EnParalelo(static_cast<unsigned>(trabajadores_.size()), [&](unsigned h) -> std::string {
        RegionGalois& region = trabajadores_[h]->region;
        while (!avisos.Parar()) {
            const uint32_t v = siguiente++;
            if (v >= conjunto_.volumenes) break;
            const std::string error = "¡ Error al escribir fichero " + volumenes.RutaVolumen(v) + " !";
            Descriptor fichero = volumenes.AbrirVolumen(v);
            if (!fichero.Abierto()) return error;
            for (uint32_t e = v * porVolumen; e < (v + 1) * porVolumen; ++e) {
                uint8_t* suma = trabajadores_[0]->sumas.Datos() + e * pasadas_.fila;
                for (size_t u = 1; u < trabajadores_.size(); ++u)
                    region.MultiplicarSumar(trabajadores_[u]->sumas.Datos() + e * pasadas_.fila, suma, 1,
                                            static_cast<size_t>(n));
                if (!volumenes.EscribirRecuperacion(fichero, e, tramo.desde, suma, n) ||
                    (ultima && !volumenes.CerrarRecuperacion(fichero, e)))
                    return error;
            }
            if (!fichero.Cerrar()) return error;
        }
        return "";
    });
}

void Calculo::Cerrar() {
    for (size_t r = 0; r < md5Rebanadas_.size(); ++r)
        conjunto_.huellas[r] = {md5Rebanadas_[r].Valor(), crcRebanadas_[r]};
}

} // namespace quimbel::par
