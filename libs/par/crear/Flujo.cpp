// SPDX-License-Identifier: GPL-3.0-or-later
#include "Flujo.h"

#include "LlamadaPar.h"
#include "Paquetes.h"
#include "Redondeo.h"
#include "SumaCrc.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>

namespace quimbel::par {
namespace {

// The most bytes of a batch: a multiple of the alternate layout's blocks.
constexpr uint64_t TamanoLote = uint64_t{1} << 20;
// Rounds: one being filled, one being hashed, one being summed, one waiting.
constexpr size_t Rondas = 4;
// The batches of a round before it is handed over (a call's parts may cross a slice's end).
constexpr size_t LotesPorRonda = 2 * LLAMADA_PAR_FLUJO_ANCHURA;
// The alternate layout's block: a batch that stops short of its slice's end holds whole ones.
constexpr uint64_t Bloque = 32;
// The bytes of each recovery row taken at a time on their way out (a multiple of Bloque).
constexpr uint64_t ParteDeSalida = uint64_t{128} << 10;

} // namespace

int TrabajoEnFlujo::Abrir(std::span<const std::string> argumentos, const CarpetaDelTrabajo& trabajo,
                          const uint64_t* tamanos, const Limites& limites,
                          std::unique_ptr<TrabajoEnFlujo>& trabajoAbierto) {
    try {
        std::unique_ptr<TrabajoEnFlujo> t(new TrabajoEnFlujo());
        t->limites_ = limites;
        OrdenPar orden;
        if (LeerOrden(argumentos, orden)) return 1;
        t->listados_.assign(tamanos, tamanos + orden.trozos.size());
        if (PrepararPar(argumentos, trabajo, limites, &t->listados_, t->p_)) return 1;
        const uint64_t recuperacion = uint64_t{t->p_.volumenes} * t->p_.reparto.porTrozo;
        t->fila_ = RedondearA(t->p_.reparto.tamano, 64);
        if (recuperacion * t->fila_ > MemoriaParaFlujo(limites)) return LLAMADA_PAR_FLUJO_NO_CABE;
        t->sumas_ = Memoria(static_cast<size_t>(recuperacion * t->fila_));
        t->capacidad_ = std::min(t->fila_, TamanoLote);
        for (size_t i = 0; i < Rondas; ++i)
            t->rondas_.push_back(std::make_unique<Ronda>());
        t->principios_.assign(t->listados_.size(), {});
        t->dados_.assign(t->listados_.size(), false);
        trabajoAbierto = std::move(t);
        return 0;
    } catch (...) {
        return 1;
    }
}

int TrabajoEnFlujo::Principio(size_t i, const uint8_t* datos, uint64_t n) {
    if (empezado_ || i >= listados_.size() || dados_[i] ||
        n != std::min<uint64_t>(TamanoInicio, listados_[i]))
        return 1;
    principios_[i] = Md5De(datos, static_cast<size_t>(n));
    dados_[i] = true;
    ++principiosDados_;
    return 0;
}

// Every first part is in: the set takes its order, as PrepararJuegoNuevo gives it.
void TrabajoEnFlujo::Empezar() {
    conjunto_ = {};
    conjunto_.carpeta = &p_.trozos;
    std::vector<size_t> listado;
    for (size_t i = 0; i < listados_.size(); ++i) {
        if (listados_[i] == 0) continue;
        const std::string& nombre = p_.orden.trozos[i];
        conjunto_.trozos.push_back({nombre,
                                    listados_[i],
                                    principios_[i],
                                    IdDeFichero(principios_[i], listados_[i], nombre),
                                    {},
                                    0,
                                    0});
        listado.push_back(i);
    }
    // The IDs, once sorted, tell each listed piece its place in the set.
    std::vector<std::pair<Huella, size_t>> porId;
    for (size_t k = 0; k < conjunto_.trozos.size(); ++k)
        porId.emplace_back(conjunto_.trozos[k].id, listado[k]);
    OrdenarJuegoNuevo(conjunto_, p_.volumenes, p_.reparto);
    enJuego_.assign(listados_.size(), SIZE_MAX);
    for (size_t k = 0; k < conjunto_.trozos.size(); ++k)
        for (const auto& [id, i] : porId)
            if (id == conjunto_.trozos[k].id && conjunto_.trozos[k].nombre == p_.orden.trozos[i])
                enJuego_[i] = k;
    logaritmos_ = LogaritmosDeEntrada(p_.reparto.total);
    md5Rebanadas_ = std::make_unique<Md5Varios>(p_.reparto.total, limites_.nucleoMd5);
    md5Trozos_ = std::make_unique<Md5Varios>(conjunto_.trozos.size(), limites_.nucleoMd5);
    crcRebanadas_.assign(p_.reparto.total, 0);
    region_ = std::make_unique<RegionGalois>(limites_.nucleoGalois);
    entradas_.resize(listados_.size());
    enCurso_ = rondas_[0].get();
    for (size_t i = 1; i < rondas_.size(); ++i)
        libres_.push_back(rondas_[i].get());
    hiloHash_ =
        std::thread([this] { Etapa(llenos_, hasheados_, cerrar_, hasheado_, &TrabajoEnFlujo::Hashear); });
    hiloSumas_ =
        std::thread([this] { Etapa(hasheados_, libres_, hasheado_, sumado_, &TrabajoEnFlujo::Sumar); });
    empezado_ = true;
}

TrabajoEnFlujo::~TrabajoEnFlujo() {
    Parar();
}

void TrabajoEnFlujo::Parar() {
    {
        const std::lock_guard<std::mutex> cerrojo(mutex_);
        cerrar_ = true;
    }
    cambio_.notify_all();
    if (hiloHash_.joinable()) hiloHash_.join();
    if (hiloSumas_.joinable()) hiloSumas_.join();
}

// The round being filled goes to the hashing thread; the next free one is taken.
void TrabajoEnFlujo::Entregar() {
    std::unique_lock<std::mutex> cerrojo(mutex_);
    llenos_.push_back(enCurso_);
    cambio_.notify_all();
    cambio_.wait(cerrojo, [this] { return !libres_.empty(); });
    enCurso_ = libres_.front();
    libres_.pop_front();
    enCurso_->usados = 0;
}

// A stage's thread: every round of `desde`, in order, through `trabajo` into `hacia`, until the
// stage before it is done (antesAcabada) and `desde` is empty; then this stage is done too.
void TrabajoEnFlujo::Etapa(std::deque<Ronda*>& desde, std::deque<Ronda*>& hacia, const bool& antesAcabada,
                           bool& acabada, void (TrabajoEnFlujo::*trabajo)(Ronda&)) {
    for (;;) {
        Ronda* ronda = nullptr;
        {
            std::unique_lock<std::mutex> cerrojo(mutex_);
            cambio_.wait(cerrojo, [&] { return !desde.empty() || antesAcabada; });
            if (desde.empty()) {
                acabada = true;
                cambio_.notify_all();
                return;
            }
            ronda = desde.front();
            desde.pop_front();
        }
        if (!rotoHilo_) {
            try {
                (this->*trabajo)(*ronda);
            } catch (...) {
                rotoHilo_ = true;
            }
        }
        {
            const std::lock_guard<std::mutex> cerrojo(mutex_);
            hacia.push_back(ronda);
        }
        cambio_.notify_all();
    }
}

// A feeding call: the job starts at the first (every first part given), `tomar` takes the bytes
// into the round being filled, which then goes on; any refusal or failure breaks the job.
template <typename F> int TrabajoEnFlujo::Alimentar(F tomar) {
    if (roto_) return 1;
    try {
        if (!empezado_) {
            if (principiosDados_ != listados_.size())
                roto_ = true;
            else
                Empezar();
        }
        if (!roto_ && !tomar()) roto_ = true;
        if (!roto_ && enCurso_->usados > 0) Entregar();
        if (rotoHilo_) roto_ = true;
    } catch (...) {
        roto_ = true;
    }
    return roto_ ? 1 : 0;
}

int TrabajoEnFlujo::Datos(const uint8_t* datos, uint64_t n) {
    return Alimentar([&] {
        while (n > 0) {
            while (actual_ < listados_.size() && entradas_[actual_].tomados == listados_[actual_])
                ++actual_;
            if (actual_ >= listados_.size()) return false;
            const uint64_t toma = std::min(n, listados_[actual_] - entradas_[actual_].tomados);
            if (!Tomar(actual_, datos, toma)) return false;
            datos += toma;
            n -= toma;
        }
        return true;
    });
}

int TrabajoEnFlujo::DatosDe(std::span<const Parte> partes) {
    return Alimentar([&] {
        for (size_t k = 0; k < partes.size(); ++k) {
            for (size_t j = 0; j < k; ++j)
                if (partes[j].trozo == partes[k].trozo) return false;
            if (!Tomar(partes[k].trozo, partes[k].datos, partes[k].n)) return false;
        }
        return true;
    });
}

// The next batch of the round being filled (the round is handed over first when full).
TrabajoEnFlujo::Lote& TrabajoEnFlujo::NuevoLote() {
    if (enCurso_->usados == LotesPorRonda) Entregar();
    Ronda& ronda = *enCurso_;
    if (ronda.usados == ronda.lotes.size()) {
        auto lote = std::make_unique<Lote>();
        lote->datos = Memoria(static_cast<size_t>(capacidad_));
        ronda.lotes.push_back(std::move(lote));
    }
    return *ronda.lotes[ronda.usados++];
}

// The next n bytes of listed piece i into batches of the round being filled, each within one
// slice and, short of the slice's end, of whole blocks (the rest waits for the piece's next
// bytes); false for bytes beyond its size or first bytes other than those given before.
bool TrabajoEnFlujo::Tomar(size_t i, const uint8_t* datos, uint64_t n) {
    if (i >= listados_.size() || n > listados_[i] - entradas_[i].tomados) return false;
    if (n == 0) return true;
    Entrada& en = entradas_[i];
    TrozoPar& trozo = conjunto_.trozos[enJuego_[i]];
    const uint64_t principio = std::min<uint64_t>(TamanoInicio, trozo.tamano);
    if (en.tomados < principio) {
        en.principio.Anadir(datos, static_cast<size_t>(std::min(n, principio - en.tomados)));
        if (en.tomados + n >= principio && en.principio.Valor() != trozo.md5Inicio) return false;
    }
    uint64_t enLotes = en.tomados - en.enResto; // bytes of the piece already in batches
    en.tomados += n;
    const uint64_t tamano = p_.reparto.tamano;
    for (;;) {
        const uint64_t disponibles = en.enResto + n;
        const uint64_t enRebanada = enLotes % tamano;
        const uint64_t hastaFin = std::min(tamano, trozo.tamano - (enLotes - enRebanada)) - enRebanada;
        uint64_t toma = std::min({disponibles, hastaFin, capacidad_});
        if (toma < hastaFin) toma -= toma % Bloque;
        if (toma == 0) {
            std::memcpy(en.resto + en.enResto, datos, static_cast<size_t>(n));
            en.enResto += static_cast<size_t>(n);
            return true;
        }
        Lote& lote = NuevoLote();
        std::memcpy(lote.datos.Datos(), en.resto, en.enResto);
        const uint64_t deDatos = toma - en.enResto;
        std::memcpy(lote.datos.Datos() + en.enResto, datos, static_cast<size_t>(deDatos));
        en.enResto = 0;
        datos += deDatos;
        n -= deDatos;
        lote.lleno = toma;
        lote.desde = enRebanada;
        lote.rebanada = trozo.primera + static_cast<uint32_t>(enLotes / tamano);
        lote.trozo = &trozo;
        lote.finDeRebanada = toma == hastaFin;
        enLotes += toma;
        lote.finDeTrozo = enLotes == trozo.tamano;
        if (n == 0) return true;
    }
}

// On the hashing thread: the round's batches into their slices' digests and, for pieces of
// several slices, their pieces' digests; at a slice's end, the zeros that pad it to the slice
// size. Each pass takes at most one batch of a slice and of a piece, in order, and hashes the
// batches it takes in the kernel's lanes together.
void TrabajoEnFlujo::Hashear(Ronda& ronda) {
    const size_t n = ronda.usados;
    hechos_.assign(n, false);
    for (size_t quedan = n; quedan > 0;) {
        porciones_.clear();
        porTrozo_.clear();
        elegidos_.clear();
        vistasR_.clear();
        vistosT_.clear();
        for (size_t k = 0; k < n; ++k) {
            if (hechos_[k]) continue;
            const Lote& l = *ronda.lotes[k];
            const bool libre = std::find(vistasR_.begin(), vistasR_.end(), l.rebanada) == vistasR_.end() &&
                               std::find(vistosT_.begin(), vistosT_.end(), l.trozo) == vistosT_.end();
            vistasR_.push_back(l.rebanada);
            vistosT_.push_back(l.trozo);
            if (!libre) continue;
            elegidos_.push_back(k);
            porciones_.push_back({l.rebanada, l.datos.Datos(), l.lleno});
            if (l.trozo->rebanadas > 1)
                porTrozo_.push_back(
                    {static_cast<size_t>(l.trozo - conjunto_.trozos.data()), l.datos.Datos(), l.lleno});
        }
        md5Rebanadas_->Anadir(porciones_);
        if (!porTrozo_.empty()) md5Trozos_->Anadir(porTrozo_);
        rellenos_.clear();
        for (const size_t k : elegidos_) {
            const Lote& l = *ronda.lotes[k];
            hechos_[k] = true;
            --quedan;
            const uint32_t r = l.rebanada;
            crcRebanadas_[r] = SumarCrc(crcRebanadas_[r], l.datos.Datos(), static_cast<size_t>(l.lleno));
            if (l.trozo->rebanadas > 1 && l.finDeTrozo)
                l.trozo->md5 = md5Trozos_->Valor(static_cast<size_t>(l.trozo - conjunto_.trozos.data()));
            if (l.finDeRebanada) {
                // The digest of a piece of one slice is that of its bytes, before the padding.
                if (l.trozo->rebanadas == 1) l.trozo->md5 = md5Rebanadas_->Valor(r);
                const uint64_t relleno = p_.reparto.tamano - (l.desde + l.lleno);
                if (relleno > 0) {
                    rellenos_.push_back({r, nullptr, relleno});
                    crcRebanadas_[r] = SumarCerosCrc(crcRebanadas_[r], relleno);
                }
            }
        }
        if (!rellenos_.empty()) md5Rebanadas_->Anadir(rellenos_);
    }
}

// On the summing thread: the round's batches in the alternate layout, then those at one offset
// of their slices, each times its factor for each recovery slice, into that slice's sums in one
// pass (zeros complete the shorter ones, and add nothing).
void TrabajoEnFlujo::Sumar(Ronda& ronda) {
    if (conjunto_.recuperacion == 0) return;
    const size_t n = ronda.usados;
    orden_.clear();
    for (size_t k = 0; k < n; ++k) {
        Lote& l = *ronda.lotes[k];
        const size_t bloques = EnBloques(l.lleno);
        std::memset(l.datos.Datos() + l.lleno, 0, bloques - static_cast<size_t>(l.lleno));
        AFormaAlterna(l.datos.Datos(), bloques);
        orden_.push_back(k);
    }
    std::stable_sort(orden_.begin(), orden_.end(),
                     [&](size_t a, size_t b) { return ronda.lotes[a]->desde < ronda.lotes[b]->desde; });
    const TablasGalois& tablas = TablasGalois::Unicas();
    for (size_t a = 0; a < n;) {
        const uint64_t desde = ronda.lotes[orden_[a]]->desde;
        size_t b = a;
        size_t largo = 0;
        while (b < n && ronda.lotes[orden_[b]]->desde == desde)
            largo = std::max(largo, EnBloques(ronda.lotes[orden_[b++]]->lleno));
        origenes_.clear();
        for (size_t k = a; k < b; ++k) {
            Lote& l = *ronda.lotes[orden_[k]];
            const size_t bloques = EnBloques(l.lleno);
            std::memset(l.datos.Datos() + bloques, 0, largo - bloques);
            origenes_.push_back(l.datos.Datos());
        }
        factores_.clear();
        destinos_.clear();
        for (uint32_t e = 0; e < conjunto_.recuperacion; ++e) {
            for (size_t k = a; k < b; ++k)
                factores_.push_back(tablas.Coeficiente(logaritmos_[ronda.lotes[orden_[k]]->rebanada], e));
            destinos_.push_back(sumas_.Datos() + e * fila_ + desde);
        }
        region_->CombinarVarios(origenes_, factores_, destinos_, largo, true);
        a = b;
    }
}

// The recovery rows into their volumes, each thread a share of the rows, part after part:
// back into PAR2's layout, hashed in the kernel's lanes together and written while they are
// in the processor's cache.
Fallo TrabajoEnFlujo::EscribirRecuperacion(Volumenes& ficheros, Avisos& avisos) {
    const uint32_t filas = conjunto_.recuperacion;
    const unsigned hilos = Hilos(limites_, filas);
    const uint64_t tamano = p_.reparto.tamano;
    return avisos.EnParalelo(hilos, [&](unsigned h) -> Fallo {
        const auto desde = static_cast<uint32_t>(uint64_t{filas} * h / hilos);
        const auto hasta = static_cast<uint32_t>(uint64_t{filas} * (h + 1) / hilos);
        Md5Varios md5(hasta - desde, limites_.nucleoMd5);
        for (uint32_t e = desde; e < hasta; ++e) {
            const auto inicio = InicioHashRecuperacion(conjunto_.id, e);
            md5.Anadir(e - desde, inicio.data(), inicio.size());
        }
        const auto volumen = [&](uint32_t e) -> const quimbel::Fichero& {
            return ficheros.Volumen(e / p_.reparto.porTrozo);
        };
        const auto fallo = [&](uint32_t e) -> Fallo {
            return FalloPar{CodigoFallo::Salida, "¡ Error al escribir fichero " +
                                                     ficheros.RutaVolumen(e / p_.reparto.porTrozo) + " !"};
        };
        std::vector<Md5Varios::Porcion> porciones;
        for (uint64_t d = 0; d < tamano; d += ParteDeSalida) {
            if (avisos.Parar()) return std::nullopt;
            const uint64_t n = std::min(ParteDeSalida, tamano - d);
            porciones.clear();
            for (uint32_t e = desde; e < hasta; ++e) {
                uint8_t* parte = sumas_.Datos() + e * fila_ + d;
                AFormaPar(parte, EnBloques(n));
                porciones.push_back({e - desde, parte, n});
            }
            md5.Anadir(porciones);
            for (const Md5Varios::Porcion& p : porciones) {
                const auto e = static_cast<uint32_t>(desde + p.flujo);
                if (!ficheros.EscribirRecuperacion(volumen(e), e, d, static_cast<const uint8_t*>(p.datos), n))
                    return fallo(e);
            }
        }
        for (uint32_t e = desde; e < hasta; ++e)
            if (!ficheros.CerrarRecuperacion(volumen(e), e, md5.Valor(e - desde))) return fallo(e);
        return std::nullopt;
    });
}

Fallo TrabajoEnFlujo::Escribir(Avisos& avisos) {
    // Every batch summed: the digests and sums are whole.
    Parar();
    for (const std::string& linea : p_.lineas)
        avisos.Decir(linea);
    bool completos = empezado_;
    for (size_t i = 0; completos && i < listados_.size(); ++i)
        completos = entradas_[i].tomados == listados_[i];
    if (roto_ || rotoHilo_ || !completos)
        return FalloPar{CodigoFallo::Entrada, "¡ Error al crear el PAR: faltan datos de los trozos !"};
    // The pieces, published meanwhile, must be the ones described.
    for (const TrozoPar& t : conjunto_.trozos) {
        const auto estado = EstadoEn(p_.trozos, t.nombre);
        if (!estado || !estado->regular || estado->tamano != t.tamano)
            return FalloPar{CodigoFallo::Entrada,
                            "¡ Error, el fichero " + t.nombre + " ha cambiado mientras se creaba el PAR !"};
    }
    for (uint32_t r = 0; r < p_.reparto.total; ++r)
        conjunto_.huellas[r] = {md5Rebanadas_->Valor(r), crcRebanadas_[r]};
    for (const TrozoPar& t : conjunto_.trozos)
        avisos.Decir("Leído trozo " + t.nombre);

    // Declared before the new files: on a failure those are removed first, then the earlier
    // outputs get their names back.
    Renombradas renombradas(p_.carpeta);
    Volumenes ficheros(conjunto_, p_.carpeta, p_.salidas);
    if (Fallo error = ficheros.Crear()) return error;
    if (Fallo error = EscribirRecuperacion(ficheros, avisos)) return error;
    return CerrarPar(p_, conjunto_, ficheros, renombradas, Hilos(limites_, p_.reparto.total), avisos);
}

int TrabajoEnFlujo::Terminar(Avisos& avisos) {
    return ResultadoDeCreacion([&] { return Escribir(avisos); }, avisos);
}

} // namespace quimbel::par
