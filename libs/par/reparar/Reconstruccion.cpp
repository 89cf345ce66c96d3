// SPDX-License-Identifier: GPL-3.0-or-later
#include "Reconstruccion.h"

#include "Galois.h"
#include "Md5Varios.h"
#include "Memoria.h"
#include "Progreso.h"
#include "SumaCrc.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>

namespace quimbel::par {
namespace {

// Slices a thread reads and adds into its syndromes at once.
constexpr size_t Lote = 32;

// A stripe's byte range within every slice.
struct Tramo {
    uint64_t desde = 0, hasta = 0;
};

// One thing to read in a stripe: an intact input slice, or a recovery slice used.
struct Lectura {
    bool recuperacion = false;
    uint32_t indice = 0;   // input slice (set index) or position among the solution's exponents
    size_t fichero = 0;    // the input slice's file
    uint32_t local = 0;    // its slice within the file
    size_t origen = 0;     // where its data are: a listed file, or past them another file
    uint64_t posicion = 0; // and at which offset
};

class Reconstructor {
  public:
    Reconstructor(const JuegoLeido& juego, std::span<const EstadoFichero> estados,
                  const PlanReconstruccion& plan, const Solucion& solucion,
                  const OrigenesReparacion& origenes, Temporales& temporales, unsigned hilos, bool mantener,
                  const Franjas& franjas, NucleoMd5 nucleoMd5)
        : juego_(juego), estados_(estados), plan_(plan), solucion_(solucion), origenes_(origenes),
          temporales_(temporales), franjas_(franjas), m_(plan.faltantes.size()),
          logaritmos_(LogaritmosDeEntrada(juego.rebanadas)), temporalDe_(juego.ficheros.size(), SinTemporal),
          salidas_(m_ * franjas.fila), escrituras_(new Escrituras[plan.reescritos.size()]),
          md5_(juego.rebanadas, nucleoMd5), crcs_(juego.rebanadas, 0) {
        for (size_t t = 0; t < plan.reescritos.size(); ++t)
            temporalDe_[plan.reescritos[t]] = t;
        // With nothing to solve, only the rewritten files' intact slices are read.
        for (uint32_t e = 0; e < m_; ++e)
            lecturas_.push_back({true, e, 0, 0, 0, 0});
        for (size_t i = 0; i < juego.ficheros.size(); ++i) {
            if (m_ == 0 && temporalDe_[i] == SinTemporal) continue;
            for (uint32_t j = 0; j < juego.ficheros[i].rebanadas; ++j) {
                const uint32_t r = juego.ficheros[i].primera + j;
                if (estados[i].abierto && estados[i].malas[j] == 0)
                    lecturas_.push_back({false, r, i, j, i, uint64_t{j} * juego.tamanoRebanada});
                else if (r < origenes.hallazgos.size() && origenes.hallazgos[r].Hallado())
                    lecturas_.push_back(
                        {false, r, i, j, origenes.hallazgos[r].origen, origenes.hallazgos[r].posicion});
            }
        }
        for (unsigned h = 0; h < hilos; ++h)
            trabajadores_.push_back(std::make_unique<Trabajador>(m_, franjas.fila));
        if (mantener) Mantener();
    }

    // Bytes the stripes read: the intact slices' data and the recovery slices used.
    uint64_t Total() const {
        uint64_t total = 0;
        for (const Lectura& l : lecturas_)
            total += l.recuperacion ? juego_.tamanoRebanada : Real(l.fichero, l.local);
        return total;
    }

    Fallo Ejecutar(Avisos& avisos, Progreso& avance) {
        if (error_) return error_;
        Barrera barrera(trabajadores_.size(), [this] { siguiente_ = 0; });
        return avisos.EnParalelo(static_cast<unsigned>(trabajadores_.size()), barrera,
                                 [&](unsigned h, PuestoEnBarrera& puesto) -> Fallo {
                                     try {
                                         return Trabajar(*trabajadores_[h], avisos, avance, puesto);
                                     } catch (const std::bad_alloc&) {
                                         return FalloMemoriaReparar();
                                     }
                                 });
    }

    const Fallo& Error() const { return error_; }

    // What the rewritten file `fichero` holds, from the bytes written into its temporary: its
    // size there and, per slice, whether those bytes (padded) give the slice's checksums.
    EstadoFichero Rehecho(size_t fichero) {
        const FicheroJuego& f = juego_.ficheros[fichero];
        EstadoFichero e;
        quimbel::Fichero local;
        const quimbel::Fichero* salida = temporales_.Abrir(temporalDe_[fichero], local);
        e.existe = e.abierto = salida != nullptr;
        if (salida != nullptr) e.tamano = static_cast<uint64_t>(std::max<int64_t>(salida->Tamano(), 0));
        e.malas.assign(f.rebanadas, 0);
        for (uint32_t j = 0; j < f.rebanadas; ++j) {
            const uint32_t r = f.primera + j;
            const uint64_t relleno = juego_.tamanoRebanada - Real(fichero, j);
            md5_.Anadir(r, nullptr, relleno);
            if (j >= f.huellas.size() || md5_.Valor(r) != f.huellas[j].md5 ||
                SumarCerosCrc(crcs_[r], relleno) != f.huellas[j].crc) {
                e.malas[j] = 1;
                ++e.nMalas;
            }
        }
        return e;
    }

  private:
    static constexpr size_t SinTemporal = SIZE_MAX;

    struct Trabajador {
        Trabajador(size_t m, size_t fila) : sumas(m * fila), datos(Lote * fila) {
            for (size_t k = 0; k < m; ++k)
                destinos.push_back(sumas.Datos() + k * fila);
        }
        Memoria sumas; // one row per missing slice: this thread's syndromes of the stripe
        Memoria datos; // the stripes of a batch of slices
        RegionGalois region;
        bool conDatos = false;
        std::vector<uint8_t*> destinos; // the rows of sumas
        // A batch's intact slices, their constants' logarithms and their factors by syndrome.
        std::vector<const uint8_t*> origenes;
        std::vector<uint32_t> logaritmos;
        std::vector<uint16_t> factores;
        std::vector<Md5Varios::Porcion> porciones; // the batch's slices of rewritten files
    };

    // The bytes of input slice `local` of a file that lie in the file (the rest is padding);
    // of a file without description, the whole slice.
    uint64_t Real(size_t fichero, uint32_t local) const {
        const FicheroJuego& f = juego_.ficheros[fichero];
        if (!f.descrito) return juego_.tamanoRebanada;
        return std::min(juego_.tamanoRebanada, f.tamano - uint64_t{local} * juego_.tamanoRebanada);
    }

    // Whether the file is rewritten and checked slice by slice from the bytes written.
    bool Comprobado(size_t fichero) const {
        return temporalDe_[fichero] != SinTemporal && !juego_.ficheros[fichero].huellas.empty();
    }

    // A listed file's path as the lines show it, or another file's.
    std::string Ruta(size_t origen) const {
        if (origen >= juego_.ficheros.size()) return origenes_.otros[origen - juego_.ficheros.size()].ruta;
        return origenes_.mostrada + juego_.ficheros[origen].nombre;
    }

    // Opens everything the stripes read once, before the threads start.
    void Mantener() {
        std::vector<quimbel::Fichero> datos(juego_.ficheros.size() + origenes_.otros.size()),
            volumenes(origenes_.rutasJuego.size());
        for (const Lectura& l : lecturas_) {
            quimbel::Fichero& f = l.recuperacion ? volumenes[OrigenDe(l.indice)] : datos[l.origen];
            if (f.Abierto()) continue;
            if (l.recuperacion && AbrirVolumen(OrigenDe(l.indice), f) == nullptr) {
                error_ = FalloPar{CodigoFallo::Entrada, "¡ Error al abrir fichero " +
                                                            origenes_.rutasJuego[OrigenDe(l.indice)] + " !"};
                return;
            }
            if (!l.recuperacion && AbrirDatos(l.origen, f) == nullptr) {
                error_ = ErrorCambiado(l.origen);
                return;
            }
        }
        datos_ = std::move(datos);
        volumenes_ = std::move(volumenes);
    }

    FalloPar ErrorCambiado(size_t fichero) const {
        return {CodigoFallo::Entrada,
                "¡ Error, el fichero " + Ruta(fichero) + " ha cambiado durante la reparación !"};
    }

    // The set file that holds exponent number k of the solution, and where its data start.
    const RebanadaRecuperacion& Recuperacion(uint32_t k) const {
        const uint32_t e = solucion_.exponentes[k];
        return *std::lower_bound(juego_.recuperacion.begin(), juego_.recuperacion.end(), e,
                                 [](const RebanadaRecuperacion& r, uint32_t x) { return r.exponente < x; });
    }
    size_t OrigenDe(uint32_t k) const { return Recuperacion(k).origen; }

    // A listed or other file as checked or searched: the one kept open, or opened again into local.
    const quimbel::Fichero* AbrirDatos(size_t origen, quimbel::Fichero& local) const {
        if (!datos_.empty() && datos_[origen].Abierto()) return &datos_[origen];
        const size_t n = juego_.ficheros.size();
        const quimbel::Desenlace abierto =
            origen < n ? AbrirEntradaBajo(local, origenes_.carpeta, juego_.ficheros[origen].nombre)
                       : quimbel::AbrirFichero(local, origenes_.otros[origen - n].ruta);
        const quimbel::IdFichero id = origen < n ? estados_[origen].id : origenes_.otros[origen - n].id;
        const uint64_t tamano = origen < n ? estados_[origen].tamano : origenes_.otros[origen - n].tamano;
        if (!abierto.Bien() || !(local.Id() == id) || local.Tamano() != static_cast<int64_t>(tamano))
            return nullptr;
        return &local;
    }
    const quimbel::Fichero* AbrirVolumen(size_t origen, quimbel::Fichero& local) const {
        if (!volumenes_.empty() && volumenes_[origen].Abierto()) return &volumenes_[origen];
        if (!AbrirFicheroEn(local, origenes_.carpetaJuego, origenes_.nombresJuego[origen]).Bien() ||
            !(local.Id() == origenes_.idsJuego[origen]))
            return nullptr;
        return &local;
    }

    // A thread that stops (done, failed or told to) leaves the barrier through its place, so
    // that the others never wait for it.
    Fallo Trabajar(Trabajador& t, Avisos& avisos, Progreso& avance, PuestoEnBarrera& puesto) {
        for (uint64_t f = 0; f < franjas_.numero; ++f) {
            const uint64_t desde = f * franjas_.ancho;
            const Tramo tramo{desde, std::min(juego_.tamanoRebanada, desde + franjas_.ancho)};
            // Reading and adding up; then the threads' sums together; then the missing slices.
            for (int fase = 0; fase < 3; ++fase) {
                if (fase == 0) {
                    std::memset(t.sumas.Datos(), 0, t.sumas.Tamano());
                    t.conDatos = false;
                }
                while (!avisos.Parar()) {
                    const size_t i = fase == 0 ? siguiente_.fetch_add(Lote) : siguiente_++;
                    Fallo error;
                    if (fase == 0) {
                        if (i >= lecturas_.size()) break;
                        error = LeerLote(i, std::min(lecturas_.size(), i + Lote), tramo, t, avance);
                    } else if (fase == 1) {
                        if (i >= m_) break;
                        Juntar(i, tramo, t.region);
                    } else {
                        if (i >= m_) break;
                        error = Despejar(i, tramo, t.region);
                    }
                    if (error) return error;
                }
                if (avisos.Parar()) return std::nullopt;
                puesto.Esperar();
            }
        }
        return std::nullopt;
    }

    // Lecturas [desde, hasta) of the stripe, read into the thread's slots: a recovery slice goes
    // into its own syndrome; the intact slices, each times its factor, into every syndrome in
    // one pass, so that each syndrome's stripe is read and written once for them all.
    Fallo LeerLote(size_t desde, size_t hasta, const Tramo& tramo, Trabajador& t, Progreso& avance) {
        const size_t bloques = EnBloques(tramo.hasta - tramo.desde);
        std::vector<const uint8_t*>& origenes = t.origenes;
        std::vector<uint32_t>& suyos = t.logaritmos;
        origenes.clear();
        suyos.clear();
        uint64_t leidos[Lote];
        t.porciones.clear();
        for (size_t i = desde; i < hasta; ++i) {
            uint8_t* datos = t.datos.Datos() + (i - desde) * franjas_.fila;
            uint64_t& n = leidos[i - desde];
            if (Fallo error = Leer(lecturas_[i], tramo, datos, n)) return error;
            avance.Sumar(n);
            // What goes into a rewritten file is checked as it goes: its slices' digests, in lanes.
            const Lectura& l = lecturas_[i];
            if (!l.recuperacion && n > 0 && Comprobado(l.fichero)) {
                t.porciones.push_back({l.indice, datos, n});
                crcs_[l.indice] = SumarCrc(crcs_[l.indice], datos, static_cast<size_t>(n));
            }
        }
        if (!t.porciones.empty()) md5_.Anadir(t.porciones);
        for (size_t i = desde; i < hasta; ++i) {
            uint8_t* datos = t.datos.Datos() + (i - desde) * franjas_.fila;
            const uint64_t n = leidos[i - desde];
            if (m_ == 0 || n == 0) continue;
            // Zeros complete the data to the stripe, as the padded slice has them.
            std::memset(datos + n, 0, bloques - n);
            AFormaAlterna(datos, bloques);
            t.conDatos = true;
            if (lecturas_[i].recuperacion) {
                t.region.MultiplicarSumar(datos, t.sumas.Datos() + lecturas_[i].indice * franjas_.fila, 1,
                                          bloques);
                continue;
            }
            origenes.push_back(datos);
            suyos.push_back(logaritmos_[lecturas_[i].indice]);
        }
        if (origenes.empty()) return std::nullopt;
        const TablasGalois& tablas = TablasGalois::Unicas();
        const size_t g = origenes.size();
        t.factores.resize(m_ * g);
        for (size_t k = 0; k < m_; ++k)
            for (size_t j = 0; j < g; ++j)
                t.factores[k * g + j] = tablas.Coeficiente(suyos[j], solucion_.exponentes[k]);
        t.region.CombinarVarios(origenes, t.factores, t.destinos, bloques, true);
        return std::nullopt;
    }

    // One lectura's bytes of the stripe into datos (n of them; none past an input slice's data);
    // an intact slice's also into its file's temporary when that file is rewritten.
    Fallo Leer(const Lectura& l, const Tramo& tramo, uint8_t* datos, uint64_t& n) {
        const uint64_t s = juego_.tamanoRebanada;
        quimbel::Fichero local;
        n = 0;
        if (l.recuperacion) {
            const RebanadaRecuperacion& r = Recuperacion(l.indice);
            const quimbel::Fichero* v = AbrirVolumen(r.origen, local);
            n = tramo.hasta - tramo.desde;
            if (v == nullptr || !v->LeerEn(datos, static_cast<size_t>(n), r.posicion + tramo.desde))
                return FalloPar{CodigoFallo::Entrada,
                                "¡ Error al leer fichero " + origenes_.rutasJuego[r.origen] + " !"};
            return std::nullopt;
        }
        const uint64_t real = Real(l.fichero, l.local);
        if (tramo.desde >= real) return std::nullopt;
        n = std::min(tramo.hasta, real) - tramo.desde;
        const quimbel::Fichero* d = AbrirDatos(l.origen, local);
        if (d == nullptr) return ErrorCambiado(l.origen);
        if (!d->LeerEn(datos, static_cast<size_t>(n), l.posicion + tramo.desde))
            return FalloPar{CodigoFallo::Entrada, "¡ Error al leer fichero " + Ruta(l.origen) + " !"};
        if (const size_t tmp = temporalDe_[l.fichero]; tmp != SinTemporal)
            return Escribir(tmp, l.fichero, datos, n, uint64_t{l.local} * s + tramo.desde);
        return std::nullopt;
    }

    // Syndrome k of the stripe: the threads' sums added into the first thread's.
    void Juntar(size_t k, const Tramo& tramo, RegionGalois& region) {
        const size_t bloques = EnBloques(tramo.hasta - tramo.desde);
        uint8_t* total = trabajadores_[0]->sumas.Datos() + k * franjas_.fila;
        for (size_t h = 1; h < trabajadores_.size(); ++h)
            if (trabajadores_[h]->conDatos)
                region.MultiplicarSumar(trabajadores_[h]->sumas.Datos() + k * franjas_.fila, total, 1,
                                        bloques);
    }

    // Missing slice c of the stripe, from the syndromes, written into its file's temporary.
    Fallo Despejar(size_t c, const Tramo& tramo, RegionGalois& region) {
        const size_t bloques = EnBloques(tramo.hasta - tramo.desde);
        uint8_t* salida = salidas_.Datos() + c * franjas_.fila;
        const uint8_t* sindromes = trabajadores_[0]->sumas.Datos();
        std::memset(salida, 0, bloques);
        for (size_t k = 0; k < m_; ++k)
            region.MultiplicarSumar(sindromes + k * franjas_.fila, salida, solucion_.factores[c * m_ + k],
                                    bloques);
        AFormaPar(salida, bloques);
        const uint32_t rebanada = plan_.faltantes[c];
        const auto fichero = static_cast<size_t>(
            std::upper_bound(juego_.ficheros.begin(), juego_.ficheros.end(), rebanada,
                             [](uint32_t r, const FicheroJuego& f) { return r < f.primera; }) -
            juego_.ficheros.begin() - 1);
        const uint32_t local = rebanada - juego_.ficheros[fichero].primera;
        const uint64_t real = Real(fichero, local);
        // An unreadable file's slices are solved for the others' sake, never written.
        if (tramo.desde >= real || temporalDe_[fichero] == SinTemporal) return std::nullopt;
        const uint64_t n = std::min(tramo.hasta, real) - tramo.desde;
        if (Comprobado(fichero)) {
            md5_.Anadir(rebanada, salida, n);
            crcs_[rebanada] = SumarCrc(crcs_[rebanada], salida, static_cast<size_t>(n));
        }
        return Escribir(temporalDe_[fichero], fichero, salida, n,
                        uint64_t{local} * juego_.tamanoRebanada + tramo.desde);
    }

    Fallo Escribir(size_t tmp, size_t fichero, const uint8_t* datos, uint64_t n, uint64_t posicion) const {
        quimbel::Fichero local;
        const quimbel::Fichero* salida = temporales_.Abrir(tmp, local);
        // The system lets one write into a file at a time, and a thread that finds it taken
        // spins on the processor the others need: here it waits asleep.
        const std::lock_guard<std::mutex> turno(escrituras_[tmp].mutex);
        if (salida == nullptr || !salida->EscribirEn(datos, static_cast<size_t>(n), posicion))
            return FalloPar{CodigoFallo::Salida, "¡ Error al escribir fichero " + Ruta(fichero) + " !"};
        // Every few MiB what was written so far starts going to disk (only asked, not waited
        // for), so that the flush before the file takes its name finds little left to write.
        escrituras_[tmp].sinVolcar += n;
        if (escrituras_[tmp].sinVolcar >= static_cast<uint64_t>(quimbel::VentanaVolcado)) {
            salida->EmpezarVolcado();
            escrituras_[tmp].sinVolcar = 0;
        }
        return std::nullopt;
    }

    const JuegoLeido& juego_;
    std::span<const EstadoFichero> estados_;
    const PlanReconstruccion& plan_;
    const Solucion& solucion_;
    const OrigenesReparacion& origenes_;
    Temporales& temporales_;
    Franjas franjas_;
    size_t m_;
    std::vector<uint32_t> logaritmos_;
    std::vector<size_t> temporalDe_;
    std::vector<Lectura> lecturas_;
    std::vector<std::unique_ptr<Trabajador>> trabajadores_;
    Memoria salidas_;
    // Per temporary: one write at a time, and the bytes written since its write-back was started.
    struct Escrituras {
        std::mutex mutex;
        uint64_t sinVolcar = 0;
    };
    std::unique_ptr<Escrituras[]> escrituras_;
    // Per input slice, the digests of the bytes written for it (streams of distinct slices may
    // grow on distinct threads at once).
    Md5Varios md5_;
    std::vector<uint32_t> crcs_;
    std::vector<quimbel::Fichero> datos_;     // kept open, by file; empty when opened per use
    std::vector<quimbel::Fichero> volumenes_; // likewise, by set file
    std::atomic<size_t> siguiente_{0};
    Fallo error_;
};

} // namespace

Franjas PlanearReparacion(uint64_t tamanoRebanada, uint64_t m, unsigned hilos, const Limites& limites) {
    // Per thread its syndromes and a batch of slices' stripes; besides, the missing slices' stripes.
    return PlanearFranjas(tamanoRebanada, {m + Lote, m, m > 0 ? m + Lote : 0}, hilos, limites);
}

Fallo Reconstruir(const JuegoLeido& juego, std::span<const EstadoFichero> estados,
                  const PlanReconstruccion& plan, const Solucion& solucion,
                  const OrigenesReparacion& origenes, Temporales& temporales, unsigned hilos,
                  bool mantenerAbiertos, const Limites& limites, Avisos& avisos,
                  std::vector<EstadoFichero>& rehechos) {
    // The solution's factors stay in memory beside the stripes.
    Limites restantes = limites;
    restantes.memoria -= std::min<uint64_t>(restantes.memoria / 2, 2 * uint64_t{solucion.factores.size()});
    const Franjas franjas = PlanearReparacion(juego.tamanoRebanada, plan.faltantes.size(), hilos, restantes);
    Reconstructor reconstructor(juego, estados, plan, solucion, origenes, temporales, hilos, mantenerAbiertos,
                                franjas, limites.nucleoMd5);
    if (reconstructor.Error()) return reconstructor.Error();
    Progreso avance(avisos, reconstructor.Total());
    if (Fallo error = reconstructor.Ejecutar(avisos, avance)) return error;
    avance.Terminar();
    rehechos.assign(juego.ficheros.size(), {});
    for (const size_t i : plan.reescritos)
        if (!juego.ficheros[i].huellas.empty()) rehechos[i] = reconstructor.Rehecho(i);
    return std::nullopt;
}

} // namespace quimbel::par
