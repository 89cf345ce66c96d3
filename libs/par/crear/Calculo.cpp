// SPDX-License-Identifier: GPL-3.0-or-later
#include "Calculo.h"

#include "Disco.h"
#include "SumaCrc.h"

#include <algorithm>
#include <cstring>

namespace quimbel::par {

Calculo::Calculo(JuegoNuevo& conjunto, const Franjas& franjas, unsigned hilos, bool mantenerAbiertos,
                 NucleoGalois galois, NucleoMd5 md5)
    : conjunto_(conjunto), franjas_(franjas), logaritmos_(LogaritmosDeEntrada(conjunto.reparto.total)),
      md5Rebanadas_(conjunto.reparto.total, md5), md5Recuperacion_(conjunto.recuperacion, md5),
      crcRebanadas_(conjunto.reparto.total, 0), mantenerAbiertos_(mantenerAbiertos) {
    for (size_t i = 0; i < conjunto.trozos.size(); ++i) {
        const TrozoPar& trozo = conjunto.trozos[i];
        for (uint32_t j = 0; j < trozo.rebanadas; ++j) {
            const uint64_t inicio = uint64_t{j} * conjunto.reparto.tamano;
            rebanadas_.push_back({i, inicio, std::min(conjunto.reparto.tamano, trozo.tamano - inicio)});
        }
    }
    const unsigned carriles = md5Rebanadas_.Carriles();
    gruposEntrada_ = Agrupar(rebanadas_.size(), hilos, carriles);
    // The recovery slices go in as few groups as the lanes allow: a group's digests cost
    // the same however many of its lanes are busy, and a thread done with a stripe's
    // writing goes on with the next stripe's reading.
    gruposSalida_ = Agrupar(conjunto.recuperacion, 1, carriles);
    for (uint32_t e = 0; e < conjunto.recuperacion; ++e) {
        const auto inicio = InicioHashRecuperacion(conjunto.id, e);
        md5Recuperacion_.Anadir(e, inicio.data(), inicio.size());
    }
    const auto bytesSumas = static_cast<size_t>(uint64_t{conjunto.recuperacion} * franjas.fila);
    const auto bytesDatos = static_cast<size_t>(uint64_t{carriles} * franjas.fila);
    for (unsigned h = 0; h < hilos; ++h)
        trabajadores_.push_back(std::make_unique<Trabajador>(bytesSumas, bytesDatos, galois));
}

Calculo::Tramo Calculo::TramoDe(uint64_t franja) const {
    const uint64_t desde = franja * franjas_.ancho;
    return {desde, std::min(conjunto_.reparto.tamano, desde + franjas_.ancho)};
}

Fallo Calculo::Ejecutar(Avisos& avisos, Progreso& progreso, Volumenes& volumenes) {
    if (mantenerAbiertos_)
        if (Fallo error = AbrirTodos()) return error;
    // Both counters go back at each barrier: no thread is reading or writing groups then.
    Barrera barrera(trabajadores_.size(), [this] {
        siguienteEntrada_ = 0;
        siguienteSalida_ = 0;
    });
    const Fallo error = avisos.EnParalelo(
        static_cast<unsigned>(trabajadores_.size()), barrera, [&](unsigned h, PuestoEnBarrera& puesto) {
            return Trabajar(*trabajadores_[h], avisos, progreso, volumenes, puesto);
        });
    if (error) return error;
    if (mantenerAbiertos_)
        if (Fallo fallo = CerrarTodos()) return fallo;
    for (size_t r = 0; r < rebanadas_.size(); ++r)
        conjunto_.huellas[r] = {md5Rebanadas_.Valor(r), crcRebanadas_[r]};
    return std::nullopt;
}

// A thread that stops (done, failed or told to) leaves the barrier through its place, so that
// the others never wait for it. Stripe f is read into the sums of set f % 2 and written from them
// after the barrier; the next stripe's reading, into the other set, may start meanwhile,
// as every thread has written the stripe before it (which used that set) before the barrier.
Fallo Calculo::Trabajar(Trabajador& t, Avisos& avisos, Progreso& progreso, Volumenes& volumenes,
                        PuestoEnBarrera& puesto) {
    for (uint64_t f = 0; f < franjas_.numero; ++f) {
        const Tramo tramo = TramoDe(f);
        const bool ultima = f + 1 == franjas_.numero;
        const int juego = static_cast<int>(f % 2);
        t.conDatos[juego] = false;
        while (!avisos.Parar()) {
            const size_t g = siguienteEntrada_++;
            if (g >= gruposEntrada_.size()) break;
            if (Fallo error = LeerGrupo(gruposEntrada_[g], tramo, juego, t, progreso)) return error;
            for (size_t r = gruposEntrada_[g].desde; ultima && r < gruposEntrada_[g].hasta; ++r) {
                const TrozoPar& trozo = conjunto_.trozos[rebanadas_[r].trozo];
                if (r + 1 == trozo.primera + trozo.rebanadas) avisos.Enviar("Leído trozo " + trozo.nombre);
            }
        }
        puesto.Esperar();
        while (!avisos.Parar()) {
            const size_t g = siguienteSalida_++;
            if (g >= gruposSalida_.size()) break;
            if (Fallo error = VolcarGrupo(gruposSalida_[g], tramo, ultima, juego, t.region, volumenes))
                return error;
        }
        if (avisos.Parar()) break;
    }
    return std::nullopt;
}

// A piece that changed size since it was listed would be described wrongly.
Fallo Calculo::AbrirTrozo(const TrozoPar& trozo, quimbel::Fichero& fichero) const {
    if (!fichero.Abierto() && !AbrirFicheroEn(fichero, *conjunto_.carpeta, trozo.nombre).Bien())
        return FalloPar{CodigoFallo::Entrada, "¡ Error al abrir fichero " + trozo.nombre + " !"};
    const auto tamano = TamanoDe(fichero);
    if (!tamano || *tamano != trozo.tamano)
        return FalloPar{CodigoFallo::Entrada,
                        "¡ Error, el fichero " + trozo.nombre + " ha cambiado mientras se creaba el PAR !"};
    return std::nullopt;
}

// Pieces kept open are checked when opened and again after the reading.
Fallo Calculo::AbrirTodos() {
    trozosAbiertos_.resize(conjunto_.trozos.size());
    for (size_t i = 0; i < conjunto_.trozos.size(); ++i)
        if (Fallo error = AbrirTrozo(conjunto_.trozos[i], trozosAbiertos_[i])) return error;
    return std::nullopt;
}

Fallo Calculo::CerrarTodos() {
    for (size_t i = 0; i < trozosAbiertos_.size(); ++i) {
        if (Fallo error = AbrirTrozo(conjunto_.trozos[i], trozosAbiertos_[i])) return error;
        trozosAbiertos_[i].Cerrar();
    }
    return std::nullopt;
}

Fallo Calculo::LeerGrupo(const Grupo& grupo, const Tramo& tramo, int juego, Trabajador& t,
                         Progreso& progreso) {
    // The bytes of each slice in the stripe; the rest of the stripe is its zero padding.
    std::vector<size_t> leidos(grupo.hasta - grupo.desde, 0);
    quimbel::Fichero deLaFranja;
    size_t abierto = SIZE_MAX; // the piece deLaFranja holds
    for (size_t r = grupo.desde; r < grupo.hasta; ++r) {
        const Rebanada& rebanada = rebanadas_[r];
        if (tramo.desde >= rebanada.real) continue;
        const TrozoPar& trozo = conjunto_.trozos[rebanada.trozo];
        quimbel::Fichero* fichero = &deLaFranja;
        if (mantenerAbiertos_) {
            fichero = &trozosAbiertos_[rebanada.trozo];
        } else if (abierto != rebanada.trozo) {
            deLaFranja.Cerrar();
            if (Fallo error = AbrirTrozo(trozo, deLaFranja)) return error;
            abierto = rebanada.trozo;
        }
        const size_t n = static_cast<size_t>(std::min(tramo.hasta, rebanada.real) - tramo.desde);
        if (!fichero->LeerEn(t.datos.Datos() + (r - grupo.desde) * franjas_.fila, n,
                             rebanada.inicio + tramo.desde))
            return FalloPar{CodigoFallo::Entrada, "¡ Error al leer fichero " + trozo.nombre + " !"};
        leidos[r - grupo.desde] = n;
        progreso.Sumar(n);
    }
    Sumar(grupo, leidos, tramo, juego, t);
    return std::nullopt;
}

void Calculo::Sumar(const Grupo& grupo, const std::vector<size_t>& leidos, const Tramo& tramo, int juego,
                    Trabajador& t) {
    const auto fila = [&](size_t r) { return t.datos.Datos() + (r - grupo.desde) * franjas_.fila; };
    // The digests take the data, then (for a piece of one slice whose data end here) give
    // the piece's MD5, then take the zero padding.
    std::vector<Md5Varios::Porcion> porciones;
    for (size_t r = grupo.desde; r < grupo.hasta; ++r)
        if (leidos[r - grupo.desde] > 0) porciones.push_back({r, fila(r), leidos[r - grupo.desde]});
    md5Rebanadas_.Anadir(porciones);
    porciones.clear();
    for (size_t r = grupo.desde; r < grupo.hasta; ++r) {
        const Rebanada& rebanada = rebanadas_[r];
        const size_t n = leidos[r - grupo.desde];
        TrozoPar& trozo = conjunto_.trozos[rebanada.trozo];
        if (trozo.rebanadas == 1 && n > 0 && rebanada.real <= tramo.hasta) trozo.md5 = md5Rebanadas_.Valor(r);
        crcRebanadas_[r] = SumarCrc(crcRebanadas_[r], fila(r), n);
        if (rebanada.real < tramo.hasta) {
            const uint64_t relleno = tramo.hasta - std::max(tramo.desde, rebanada.real);
            porciones.push_back({r, nullptr, relleno});
            crcRebanadas_[r] = SumarCerosCrc(crcRebanadas_[r], relleno);
        }
    }
    md5Rebanadas_.Anadir(porciones);

    if (conjunto_.recuperacion == 0) return;
    // The slices with data, zero-completed to the same length: whole blocks of the
    // alternate layout, over the whole stripe for the thread's first data of the stripe,
    // which replace its sums instead of adding to sums cleared beforehand. The sums beyond
    // the stripe are never written.
    const bool primeros = !t.conDatos[juego];
    size_t largo = primeros ? static_cast<size_t>(tramo.hasta - tramo.desde) : 0;
    std::vector<const uint8_t*> origenes;
    std::vector<size_t> suyas;
    for (size_t r = grupo.desde; r < grupo.hasta; ++r)
        if (leidos[r - grupo.desde] > 0) {
            origenes.push_back(fila(r));
            suyas.push_back(r);
            largo = std::max(largo, leidos[r - grupo.desde]);
        }
    if (origenes.empty()) return;
    const size_t bloques = EnBloques(largo);
    for (size_t r : suyas) {
        std::memset(fila(r) + leidos[r - grupo.desde], 0, bloques - leidos[r - grupo.desde]);
        AFormaAlterna(fila(r), bloques);
    }
    const TablasGalois& tablas = TablasGalois::Unicas();
    std::vector<uint16_t> factores;
    std::vector<uint8_t*> sumas;
    for (uint32_t e = 0; e < conjunto_.recuperacion; ++e) {
        for (size_t r : suyas)
            factores.push_back(tablas.Coeficiente(logaritmos_[r], e));
        sumas.push_back(t.sumas[juego].Datos() + e * franjas_.fila);
    }
    t.region.CombinarVarios(origenes, factores, sumas, bloques, !primeros);
    t.conDatos[juego] = true;
}

Fallo Calculo::VolcarGrupo(const Grupo& grupo, const Tramo& tramo, bool ultima, int juego,
                           RegionGalois& region, Volumenes& volumenes) {
    const auto n = static_cast<size_t>(tramo.hasta - tramo.desde);
    const size_t bloques = EnBloques(n);
    // Each recovery slice: the sums of the threads that had data (zeros when none had),
    // added into the first one's.
    std::vector<uint8_t*> sumas;
    std::vector<Md5Varios::Porcion> porciones;
    for (size_t e = grupo.desde; e < grupo.hasta; ++e) {
        std::vector<const uint8_t*> otras;
        uint8_t* suma = nullptr;
        for (const auto& u : trabajadores_) {
            if (!u->conDatos[juego]) continue;
            uint8_t* suya = u->sumas[juego].Datos() + e * franjas_.fila;
            if (suma == nullptr)
                suma = suya;
            else
                otras.push_back(suya);
        }
        if (suma == nullptr) {
            suma = trabajadores_[0]->sumas[juego].Datos() + e * franjas_.fila;
            std::memset(suma, 0, bloques);
        }
        region.Combinar(otras, std::vector<uint16_t>(otras.size(), 1), suma, bloques, true);
        AFormaPar(suma, bloques);
        sumas.push_back(suma);
        porciones.push_back({e, suma, n});
    }
    md5Recuperacion_.Anadir(porciones);

    // Then into the volumes, which stay open for the whole job.
    const uint32_t porVolumen = conjunto_.reparto.porTrozo;
    for (size_t e = grupo.desde; e < grupo.hasta; ++e) {
        const auto v = static_cast<uint32_t>(e / porVolumen);
        const quimbel::Fichero& fichero = volumenes.Volumen(v);
        const auto r = static_cast<uint32_t>(e);
        if (!volumenes.EscribirRecuperacion(fichero, r, tramo.desde, sumas[e - grupo.desde], n) ||
            (ultima && !volumenes.CerrarRecuperacion(fichero, r, md5Recuperacion_.Valor(e))))
            return FalloPar{CodigoFallo::Salida,
                            "¡ Error al escribir fichero " + volumenes.RutaVolumen(v) + " !"};
    }
    return std::nullopt;
}

} // namespace quimbel::par
