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

// The bytes of a slice gathered at a time: a multiple of the alternate layout's blocks.
constexpr uint64_t TamanoLote = uint64_t{1} << 20;
// Batches: one being filled, one being hashed, one being summed, one waiting.
constexpr size_t Lotes = 4;
// The slices summed together: as many as fit this (at least one), at most RebanadasPorGrupo.
constexpr uint64_t MemoriaGrupo = uint64_t{48} << 20;
constexpr uint64_t RebanadasPorGrupo = 8;

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
        if (recuperacion > 0) {
            t->porGrupo_ =
                static_cast<size_t>(std::clamp<uint64_t>(MemoriaGrupo / t->fila_, 1, RebanadasPorGrupo));
            t->grupo_ = Memoria(static_cast<size_t>(t->porGrupo_ * t->fila_));
        }
        for (size_t i = 0; i < Lotes; ++i)
            t->lotes_.push_back(std::make_unique<Lote>(static_cast<size_t>(std::min(t->fila_, TamanoLote))));
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
    crcRebanadas_.assign(p_.reparto.total, 0);
    region_ = std::make_unique<RegionGalois>(limites_.nucleoGalois);
    enCurso_ = lotes_[0].get();
    for (size_t i = 1; i < lotes_.size(); ++i)
        libres_.push_back(lotes_[i].get());
    hiloHash_ = std::thread(
        [this] { Etapa(llenos_, hasheados_, cerrar_, hasheado_, &TrabajoEnFlujo::Hashear, nullptr); });
    hiloSumas_ = std::thread([this] {
        Etapa(hasheados_, libres_, hasheado_, sumado_, &TrabajoEnFlujo::SumarLote,
              &TrabajoEnFlujo::SumarGrupo);
    });
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

// The batch being filled goes to the job's thread; the next free one is taken.
void TrabajoEnFlujo::Entregar() {
    std::unique_lock<std::mutex> cerrojo(mutex_);
    llenos_.push_back(enCurso_);
    cambio_.notify_all();
    cambio_.wait(cerrojo, [this] { return !libres_.empty(); });
    enCurso_ = libres_.front();
    libres_.pop_front();
    enCurso_->lleno = 0;
}

// A stage's thread: every batch of `desde`, in order, through `trabajo` into `hacia`, until the
// stage before it is done (antesAcabada) and `desde` is empty; then `alAcabar`, when given, and
// this stage is done too.
void TrabajoEnFlujo::Etapa(std::deque<Lote*>& desde, std::deque<Lote*>& hacia, const bool& antesAcabada,
                           bool& acabada, void (TrabajoEnFlujo::*trabajo)(Lote&),
                           void (TrabajoEnFlujo::*alAcabar)()) {
    for (;;) {
        Lote* lote = nullptr;
        {
            std::unique_lock<std::mutex> cerrojo(mutex_);
            cambio_.wait(cerrojo, [&] { return !desde.empty() || antesAcabada; });
            if (desde.empty()) {
                cerrojo.unlock();
                if (alAcabar != nullptr && !rotoHilo_) {
                    try {
                        (this->*alAcabar)();
                    } catch (...) {
                        rotoHilo_ = true;
                    }
                }
                cerrojo.lock();
                acabada = true;
                cambio_.notify_all();
                return;
            }
            lote = desde.front();
            desde.pop_front();
        }
        if (!rotoHilo_) {
            try {
                (this->*trabajo)(*lote);
            } catch (...) {
                rotoHilo_ = true;
            }
        }
        {
            const std::lock_guard<std::mutex> cerrojo(mutex_);
            hacia.push_back(lote);
        }
        cambio_.notify_all();
    }
}

int TrabajoEnFlujo::Datos(const uint8_t* datos, uint64_t n) {
    if (roto_) return 1;
    try {
        if (!empezado_) {
            if (principiosDados_ != listados_.size())
                roto_ = true;
            else
                Empezar();
        }
        if (!roto_ && (!Tomar(datos, n) || rotoHilo_)) roto_ = true;
    } catch (...) {
        roto_ = true;
    }
    return roto_ ? 1 : 0;
}

bool TrabajoEnFlujo::Tomar(const uint8_t* datos, uint64_t n) {
    const uint64_t tamano = p_.reparto.tamano;
    while (n > 0) {
        while (actual_ < listados_.size() && listados_[actual_] == 0)
            ++actual_;
        if (actual_ >= listados_.size()) return false;
        TrozoPar& trozo = conjunto_.trozos[enJuego_[actual_]];
        const uint64_t enRebanada = enTrozo_ % tamano;
        const uint64_t finRebanada = std::min(tamano, trozo.tamano - (enTrozo_ - enRebanada));
        const uint64_t toma =
            std::min({n, finRebanada - enRebanada, enCurso_->datos.Tamano() - enCurso_->lleno});
        // The first bytes must be those the set's order was taken from.
        const uint64_t principio = std::min<uint64_t>(TamanoInicio, trozo.tamano);
        if (enTrozo_ < principio) {
            md5Principio_.Anadir(datos, static_cast<size_t>(std::min(toma, principio - enTrozo_)));
            if (enTrozo_ + toma >= principio && md5Principio_.Valor() != trozo.md5Inicio) return false;
        }
        Lote& lote = *enCurso_;
        if (lote.lleno == 0) {
            lote.rebanada = trozo.primera + static_cast<uint32_t>(enTrozo_ / tamano);
            lote.desde = enRebanada;
            lote.trozo = &trozo;
        }
        std::memcpy(lote.datos.Datos() + lote.lleno, datos, static_cast<size_t>(toma));
        lote.lleno += toma;
        enTrozo_ += toma;
        datos += toma;
        n -= toma;
        lote.finDeRebanada = enRebanada + toma == finRebanada;
        lote.finDeTrozo = enTrozo_ == trozo.tamano;
        if (lote.finDeRebanada || lote.lleno == lote.datos.Tamano()) Entregar();
        if (enTrozo_ == trozo.tamano) {
            md5Principio_ = Md5();
            ++actual_;
            enTrozo_ = 0;
        }
    }
    return true;
}

// On the hashing thread: a batch into the piece's digest (of a piece of several slices) and the
// slice's digests; at the slice's end, the zeros that pad it to the slice size.
void TrabajoEnFlujo::Hashear(Lote& lote) {
    const uint32_t r = lote.rebanada;
    const uint64_t n = lote.lleno;
    const uint8_t* datos = lote.datos.Datos();
    TrozoPar& trozo = *lote.trozo;
    if (trozo.rebanadas > 1) {
        md5Trozo_.Anadir(datos, static_cast<size_t>(n));
        if (lote.finDeTrozo) {
            trozo.md5 = md5Trozo_.Valor();
            md5Trozo_ = Md5();
        }
    }
    md5Rebanadas_->Anadir(r, datos, n);
    crcRebanadas_[r] = SumarCrc(crcRebanadas_[r], datos, static_cast<size_t>(n));
    if (lote.finDeRebanada) {
        // The digest of a piece of one slice is that of its bytes, before the padding.
        if (trozo.rebanadas == 1) trozo.md5 = md5Rebanadas_->Valor(r);
        const uint64_t relleno = p_.reparto.tamano - (lote.desde + n);
        if (relleno > 0) {
            md5Rebanadas_->Anadir(r, nullptr, relleno);
            crcRebanadas_[r] = SumarCerosCrc(crcRebanadas_[r], relleno);
        }
    }
}

// On the summing thread: a hashed batch into its slice's place in the group; a full group goes
// into the sums (the last one, once no batch is left: see Etapa).
void TrabajoEnFlujo::SumarLote(Lote& lote) {
    if (conjunto_.recuperacion == 0) return;
    if (enGrupo_.empty() || enGrupo_.back() != lote.rebanada) {
        enGrupo_.push_back(lote.rebanada);
        largoGrupo_.push_back(0);
    }
    const uint64_t n = lote.lleno;
    uint8_t* datos = lote.datos.Datos();
    const size_t bloques = EnBloques(n);
    std::memset(datos + n, 0, bloques - static_cast<size_t>(n));
    AFormaAlterna(datos, bloques);
    std::memcpy(grupo_.Datos() + (enGrupo_.size() - 1) * fila_ + lote.desde, datos, bloques);
    largoGrupo_.back() = lote.desde + bloques;
    if (lote.finDeRebanada && enGrupo_.size() == porGrupo_) SumarGrupo();
}

// The gathered slices, each times its factor for each recovery slice, into that slice's sums
// (zeros complete the shorter ones, and add nothing).
void TrabajoEnFlujo::SumarGrupo() {
    if (enGrupo_.empty()) return;
    const uint64_t largo = *std::max_element(largoGrupo_.begin(), largoGrupo_.end());
    std::vector<const uint8_t*> origenes;
    for (size_t j = 0; j < enGrupo_.size(); ++j) {
        uint8_t* suya = grupo_.Datos() + j * fila_;
        std::memset(suya + largoGrupo_[j], 0, static_cast<size_t>(largo - largoGrupo_[j]));
        origenes.push_back(suya);
    }
    const TablasGalois& tablas = TablasGalois::Unicas();
    factores_.clear();
    destinos_.clear();
    for (uint32_t e = 0; e < conjunto_.recuperacion; ++e) {
        for (const uint32_t r : enGrupo_)
            factores_.push_back(tablas.Coeficiente(logaritmos_[r], e));
        destinos_.push_back(sumas_.Datos() + e * fila_);
    }
    region_->CombinarVarios(origenes, factores_, destinos_, static_cast<size_t>(largo), true);
    enGrupo_.clear();
    largoGrupo_.clear();
}

Fallo TrabajoEnFlujo::Escribir(Avisos& avisos) {
    // Every batch summed: the digests and sums are whole.
    Parar();
    for (const std::string& linea : p_.lineas)
        avisos.Decir(linea);
    while (actual_ < listados_.size() && listados_[actual_] == 0)
        ++actual_;
    if (roto_ || rotoHilo_ || !empezado_ || actual_ != listados_.size() || enTrozo_ != 0)
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
    const uint64_t tamano = p_.reparto.tamano;
    for (uint32_t e = 0; e < conjunto_.recuperacion; ++e) {
        if (avisos.Detenido()) return FalloInterrumpido();
        uint8_t* fila = sumas_.Datos() + e * fila_;
        AFormaPar(fila, EnBloques(tamano));
        Md5 md5;
        const auto inicio = InicioHashRecuperacion(conjunto_.id, e);
        md5.Anadir(inicio.data(), inicio.size());
        md5.Anadir(fila, static_cast<size_t>(tamano));
        const uint32_t v = e / p_.reparto.porTrozo;
        const quimbel::Fichero& volumen = ficheros.Volumen(v);
        if (!ficheros.EscribirRecuperacion(volumen, e, 0, fila, tamano) ||
            !ficheros.CerrarRecuperacion(volumen, e, md5.Valor()))
            return FalloPar{CodigoFallo::Salida,
                            "¡ Error al escribir fichero " + ficheros.RutaVolumen(v) + " !"};
    }
    return CerrarPar(p_, conjunto_, ficheros, renombradas, Hilos(limites_, p_.reparto.total), avisos);
}

int TrabajoEnFlujo::Terminar(Avisos& avisos) {
    return ResultadoDeCreacion([&] { return Escribir(avisos); }, avisos);
}

} // namespace quimbel::par
