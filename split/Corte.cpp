// SPDX-License-Identifier: GPL-3.0-or-later
#include "Corte.h"

#include <algorithm>
#include <map>
#include <memory>
#include <new>
#include <optional>
#include <span>

#include "files/Cabeceras.h"
#include "files/Carpeta.h"
#include "files/CopiarBloque.h"
#include "files/Ficheros.h"
#include "files/Interrupcion.h"
#include "files/Rutas.h"
#include "files/Salidas.h"
#include "files/Tamanos.h"
#include "files/Temporales.h"
#include "parity/ParEnFlujo.h"
#include "parity/PasoPar.h"
#include "split/Estorbos.h"
#include "split/Publicacion.h"
#include "verify/Crc.h"
#include "verify/PasoSfv.h"

namespace quimbel {

namespace {

// Whether the plan still describes a split of these inputs: a list made for another source,
// size, scheme or source size would describe another set.
bool PlanDescribe(const PlanEnVigor& plan, const std::string& rutaFuente, const std::string& tamano,
                  TipoCorte tipo) {
    const OrigenPlan& o = plan.origen;
    if (o.fuente != rutaFuente || o.tipo != tipo || LeerTamano(tamano) != o.tamTrozo || o.tamTrozo < 1)
        return false;
    if (plan.marcas.size() != static_cast<size_t>(TrozosDelPlan(o.tamFichero, o.tamTrozo))) return false;
    Fichero f;
    return AbrirFichero(f, rutaFuente).Bien() && f.Tamano() == o.tamFichero;
}

// Marks of the run: the plan's, or none when every piece is written.
bool Marcado(const std::vector<bool>* marcas, int64_t k) {
    if (marcas == nullptr) return true;
    const auto i = static_cast<size_t>(k - 1);
    return i < marcas->size() && (*marcas)[i];
}

// What every piece of a run shares: the open source, the open destination folder and
// the files no piece may be.
struct Escritura {
    const EntradaCorte& e;
    Fichero& fuente;
    const std::string& rutaFuente;
    const std::string& destino;
    const Carpeta& carpeta;
    const Protegidos& protegidos;
    const Estorbos& estorbos; // the files the user agreed to replace
    Avance& avance;
    int64_t s, p, n;
    // The CRC-32 of each piece written, from the bytes as they are written, for the SFV file;
    // none when no SFV file is asked for or no provider can compute it.
    std::map<int64_t, uint32_t>* crcs;
    // The PAR set computed from the same bytes; none when the PAR step reads the pieces.
    ParEnFlujo* flujo;
    // Where the pieces written go to be flushed and named.
    Publicacion& publicacion;
};

// The header piece k carries in front of its share of the source; empty when none.
std::vector<unsigned char> CabeceraDeTrozo(const EntradaCorte& e, const std::string& rutaFuente, int64_t k,
                                           int64_t n, int64_t s, int64_t p) {
    if (!LlevaCabecera(e.tipo, k, n)) return {};
    const std::string nombreFuente = NombreDeRuta(rutaFuente);
    return e.tipo == TipoCorte::CortaArchivos ? CabeceraCA(static_cast<int32_t>(n), Extension(nombreFuente))
                                              : CabeceraHacha(nombreFuente, s, p);
}

// The run's one-pass PAR job (see ParEnFlujo), given the first bytes of every chosen piece,
// read from the source; none when the PAR step will read the pieces instead.
std::unique_ptr<ParEnFlujo> EmpezarParEnFlujo(const EntradaCorte& e, Fichero& fuente, const EntradaPar& par,
                                              const std::vector<int64_t>& elegidos, int64_t n, int64_t s,
                                              int64_t p) {
    std::vector<uint64_t> tamanos;
    for (const int64_t k : elegidos)
        tamanos.push_back(CabeceraDeTrozo(e, par.fuente, k, n, s, p).size() +
                          static_cast<uint64_t>(DatosDeTrozo(s, p, k)));
    std::unique_ptr<ParEnFlujo> flujo = ParEnFlujo::Abrir(par, tamanos, e.memoriaUnPaso);
    // Every start is asked for at once: read one after another, each would wait for the disk.
    for (size_t i = 0; flujo && i < elegidos.size(); ++i)
        fuente.Anticipar(static_cast<uint64_t>((elegidos[i] - 1) * p), LLAMADA_PAR_PRINCIPIO);
    for (size_t i = 0; flujo && i < elegidos.size(); ++i) {
        std::vector<unsigned char> principio = CabeceraDeTrozo(e, par.fuente, elegidos[i], n, s, p);
        const size_t largo = static_cast<size_t>(std::min<uint64_t>(LLAMADA_PAR_PRINCIPIO, tamanos[i]));
        const size_t cabecera = std::min(principio.size(), largo);
        principio.resize(largo);
        if (largo > cabecera && !fuente.LeerEn(principio.data() + cabecera, largo - cabecera,
                                               static_cast<uint64_t>((elegidos[i] - 1) * p)))
            return nullptr;
        flujo->Principio(i, principio.data(), largo);
        if (flujo->Roto()) return nullptr;
    }
    return flujo;
}

// A piece being written: its names, what the user agreed to replace at its name, its
// temporary, its header and share of the source, and the CRC-32 of what was written.
struct TrozoEnCurso {
    int64_t k = 0;
    std::string ruta, nombre;
    std::optional<IdFichero> reemplazable;
    SalidaTemporal salida;
    std::vector<unsigned char> cabecera;
    int64_t cuenta = 0; // bytes of the source
    CrcEnCurso crc;
};

// Stops the run with a message; false.
bool Parar(Ventana& v, const Escritura& w, const std::string& mensaje) {
    w.fuente.Cerrar();
    v.Error(mensaje);
    return false;
}

// Looks at what stands at piece k's name and creates its temporary; false when it stopped the
// run (the message has been shown).
bool AbrirTrozo(Ventana& v, const Escritura& w, int64_t k, TrozoEnCurso& t) {
    t.k = k;
    t.ruta = NombreTrozo(w.rutaFuente, w.destino, k, w.n, w.e.tipo);
    if (t.ruta == w.rutaFuente) return Parar(v, w, ErrorMismoNombre);
    t.nombre = NombreDeRuta(t.ruta);
    const auto aceptado = w.estorbos.ocupados.find(t.nombre);
    if (aceptado != w.estorbos.ocupados.end()) t.reemplazable = aceptado->second;
    // What stands at the name is looked at before any byte is written.
    const Ocupante o = MirarOcupante(w.carpeta, t.nombre, w.protegidos);
    if (o.intocable) return Parar(v, w, ErrorMismoNombre);
    if (!o.Libre() && (!o.estado.Bien() || !t.reemplazable || !(o.id == *t.reemplazable)))
        return Parar(v, w, "¡ Error al crear fichero " + t.ruta + " !");
    if (!t.salida.Crear(w.carpeta).Bien()) return Parar(v, w, "¡ Error al crear fichero " + t.ruta + " !");
    t.cabecera = CabeceraDeTrozo(w.e, w.rutaFuente, k, w.n, w.s, w.p);
    t.cuenta = DatosDeTrozo(w.s, w.p, k);
    return true;
}

// A copy that failed: the write error, unless the run was interrupted (then said so).
bool FalloDeCopia(Ventana& v, const Escritura& w, const TrozoEnCurso& t) {
    if (!Interrumpida(v, Memo::Cortar)) return Parar(v, w, "¡ Error al escribir en fichero " + t.ruta + " !");
    w.fuente.Cerrar();
    return false;
}

// The piece, written in full, goes to be flushed and named; false when the naming of an earlier
// one failed (the run stops with its message).
bool CerrarTrozo(Ventana& v, const Escritura& w, TrozoEnCurso& t) {
    if (w.crcs) (*w.crcs)[t.k] = t.crc.Valor();
    w.publicacion.Anadir({t.ruta, t.nombre, t.reemplazable, std::move(t.salida)});
    if (const auto fallo = w.publicacion.Fallo()) return Parar(v, w, *fallo);
    return true;
}

// Writes piece k; false when it stopped the run (the message has been shown).
bool EscribirTrozo(Ventana& v, const Escritura& w, int64_t k) {
    TrozoEnCurso t;
    if (!AbrirTrozo(v, w, k, t)) return false;
    Fichero& trozo = t.salida.Datos();
    // The bytes written go, on their way, into the piece's CRC-32 and the PAR set.
    const VerBloque ver = [&t, &w](const unsigned char* datos, size_t bytes) {
        if (w.crcs) t.crc.Sumar(datos, bytes);
        if (w.flujo) w.flujo->Datos(datos, bytes);
    };
    if (!t.cabecera.empty()) {
        if (!trozo.Escribir(t.cabecera.data(), t.cabecera.size()).Bien())
            return Parar(v, w, "¡ Error al escribir en fichero " + t.ruta + " !");
        ver(t.cabecera.data(), t.cabecera.size());
    }
    v.AnadirLinea(Memo::Cortar, "Creando trozo " + std::to_string(k) + " : " + t.ruta);
    // Exactly the piece's share: a source that shrank during the run gives a short copy.
    int64_t copiados = 0;
    if (CopiarBloque(w.fuente, trozo, (k - 1) * w.p, t.cuenta, &copiados, &w.avance,
                     w.crcs || w.flujo ? &ver : nullptr) != 0 ||
        copiados != t.cuenta)
        return FalloDeCopia(v, w, t);
    return CerrarTrozo(v, w, t);
}

// The bytes of a piece handed to the PAR job at a time when several are written at once.
constexpr int64_t ParteJunta = int64_t{1} << 20;

// Writes pieces ks (the entry's pieces from `primero` on) together, a part of each in turn, so
// that the PAR job hashes them in its lanes together; false when it stopped the run (the
// message has been shown).
bool EscribirTrozosJuntos(Ventana& v, const Escritura& w, std::span<const int64_t> ks, size_t primero,
                          std::vector<std::vector<unsigned char>>& buffers) {
    std::vector<TrozoEnCurso> trozos(ks.size());
    for (size_t j = 0; j < ks.size(); ++j) {
        if (!AbrirTrozo(v, w, ks[j], trozos[j])) return false;
        trozos[j].salida.Datos().EmpezarVolcadoAlEscribir(VentanaVolcado / static_cast<int64_t>(ks.size()));
        v.AnadirLinea(Memo::Cortar, "Creando trozo " + std::to_string(ks[j]) + " : " + trozos[j].ruta);
    }
    std::vector<ParEnFlujo::Parte> partes;
    for (int64_t desde = 0;; desde += ParteJunta) {
        partes.clear();
        for (size_t j = 0; j < trozos.size(); ++j) {
            TrozoEnCurso& t = trozos[j];
            const auto cabecera = static_cast<int64_t>(t.cabecera.size());
            const int64_t largo = std::min(ParteJunta, cabecera + t.cuenta - desde);
            if (largo <= 0) continue;
            unsigned char* buffer = buffers[j].data();
            // The part's header bytes, then its share of the source.
            const int64_t deCabecera = std::clamp<int64_t>(cabecera - desde, 0, largo);
            std::copy_n(t.cabecera.data() + std::min(desde, cabecera), deCabecera, buffer);
            const int64_t enFuente = desde + deCabecera - cabecera;
            const int64_t deFuente = largo - deCabecera;
            if ((deFuente > 0 && !w.fuente.LeerEn(buffer + deCabecera, static_cast<size_t>(deFuente),
                                                  static_cast<uint64_t>((t.k - 1) * w.p + enFuente))) ||
                !t.salida.Datos().Escribir(buffer, static_cast<size_t>(largo)).Bien())
                return FalloDeCopia(v, w, t);
            // The piece's next part is asked for now, to be there when its turn comes again.
            const int64_t siguiente = enFuente + deFuente;
            if (siguiente < t.cuenta)
                w.fuente.Anticipar(static_cast<uint64_t>((t.k - 1) * w.p + siguiente),
                                   static_cast<size_t>(std::min(ParteJunta, t.cuenta - siguiente)));
            if (w.crcs) t.crc.Sumar(buffer, static_cast<size_t>(largo));
            partes.push_back({static_cast<int32_t>(primero + j), buffer, static_cast<uint64_t>(largo)});
            w.avance.Sumar(deFuente);
            if (w.avance.Interrumpido()) return FalloDeCopia(v, w, t);
        }
        if (partes.empty()) break;
        w.flujo->DatosDe(partes);
    }
    for (TrozoEnCurso& t : trozos)
        if (!CerrarTrozo(v, w, t)) return false;
    return true;
}

// Asks once before anything stands in the way of the new set, and moves the stray pieces
// aside; false when the run stops (the message has been shown, or the user said No).
bool DespejarCamino(Ventana& v, const Carpeta& carpeta, const std::string& destino, const Estorbos& estorbos,
                    std::vector<Apartado>& apartados) {
    if (estorbos.Vacios()) return true;
    const std::string& primero = estorbos.primero.empty() ? estorbos.sobrantes.front() : estorbos.primero;
    if (!v.Reemplazar(destino + primero)) return false;
    if (const auto fallido = ApartarSobrantes(carpeta, estorbos.sobrantes, apartados)) {
        v.Error("¡ Error al renombrar " + destino + *fallido + " a " + destino + *fallido + ".1 !");
        return false;
    }
    return true;
}

// The file names, without folder, of the pieces written, in set order.
std::vector<std::string> NombresDeTrozos(const std::vector<int64_t>& elegidos, const std::string& rutaFuente,
                                         int64_t n, TipoCorte tipo) {
    std::vector<std::string> nombres;
    for (const int64_t k : elegidos)
        nombres.push_back(NombreTrozo(NombreDeRuta(rutaFuente), "", k, n, tipo));
    return nombres;
}

} // namespace

ResultadoCorte Cortar(Ventana& v, const EntradaCorte& e) {
    const std::string& rutaFuente = e.fuente;
    const std::vector<bool>* marcas = nullptr;
    if (e.plan && PlanDescribe(*e.plan, rutaFuente, e.tamano, e.tipo)) {
        if (std::none_of(e.plan->marcas.begin(), e.plan->marcas.end(), [](bool m) { return m; })) {
            v.Error("¡ Debes seleccionar los trozos del fichero a extraer !");
            v.ActivarPagina(Pagina::Extraer);
            return {};
        }
        marcas = &e.plan->marcas;
    } else {
        // Whatever this plan's outcome, the checks below decide whether the run goes on.
        const PlanCorte nuevo = PrepararCorte(v, rutaFuente, e.tamano, e.tipo, e.separadorMiles);
        v.MostrarPlan(nuevo);
    }
    v.LimpiarMemo(Memo::Cortar);

    if (rutaFuente.empty()) {
        v.Error("¡ Debes indicar el fichero a cortar !");
        v.Enfocar(Campo::FicheroCortar);
        return {};
    }
    const std::string destino = e.destino.empty() ? CarpetaDeRuta(rutaFuente) : ConBarraFinal(e.destino);

    if (e.tamano.empty()) {
        v.Error("¡ Debes indicar el tamaño de los trozos !");
        v.Enfocar(Campo::Tamano);
        return {};
    }
    const std::optional<int64_t> tamano = LeerTamano(e.tamano);
    if (!tamano) {
        v.Error("¡ Debes introducir un número válido !");
        v.Enfocar(Campo::Tamano);
        return {};
    }
    if (*tamano <= 0) {
        v.Error("¡ Debes indicar un tamaño de trozo mayor que 0 !");
        v.Enfocar(Campo::Tamano);
        return {};
    }
    const int64_t p = *tamano;

    Fichero fuente;
    const int64_t s = AbrirFichero(fuente, rutaFuente).Bien() ? fuente.Tamano() : -1;
    if (s < 0) {
        fuente.Cerrar();
        v.Error("¡ Error al abrir fichero " + rutaFuente + " !");
        return {};
    }
    if (s == 0) {
        fuente.Cerrar();
        v.Error("¡ Tamaño 0 !");
        return {};
    }
    const int64_t n = NumeroTrozos(s, p);
    if (n > MaxTrozos) {
        fuente.Cerrar();
        v.Error(ErrorDemasiadosTrozos());
        return {};
    }

    std::vector<int64_t> elegidos;
    for (int64_t k = 1; k <= n; ++k)
        if (Marcado(marcas, k)) elegidos.push_back(k);

    if (e.sfv) {
        if (const auto rechazo = RechazoNombreSfv(rutaFuente)) {
            fuente.Cerrar();
            v.Error(*rechazo);
            return {};
        }
    }
    if (e.par) {
        if (const auto rechazo = RechazoNombrePar(NombresDeTrozos(elegidos, rutaFuente, n, e.tipo))) {
            fuente.Cerrar();
            v.Error(*rechazo);
            return {};
        }
    }

    // The folder is taken once; a missing one shows as the first piece's create error.
    Carpeta carpeta;
    AbrirCarpeta(carpeta, destino);
    LimpiarTemporales(carpeta);
    Protegidos protegidos;
    protegidos.Anadir(fuente);
    std::vector<std::string> escritos = NombresDeTrozos(elegidos, rutaFuente, n, e.tipo);
    if (e.sfv) escritos.push_back(NombreDeRuta(RutaSfv(rutaFuente, destino)));
    const Estorbos estorbos =
        BuscarEstorbos(carpeta, NombreDeRuta(rutaFuente), e.tipo, n, escritos, protegidos);
    std::vector<Apartado> apartados;
    if (!DespejarCamino(v, carpeta, destino, estorbos, apartados)) {
        fuente.Cerrar();
        return {};
    }
    // The run reads the chosen pieces' bytes once to write them, computing on the way their
    // CRC-32 for the SFV file (when the provider can) and the PAR set (when the library can);
    // otherwise the SFV step or the PAR step reads them again.
    std::map<int64_t, uint32_t> crcs;
    const bool crcAlEscribir = e.sfv && CrcEnCurso().Disponible();
    int64_t bytes = 0;
    for (const int64_t k : elegidos)
        bytes += DatosDeTrozo(s, p, k);
    EntradaPar entradaPar{destino, rutaFuente, e.numeroPar, NombresDeTrozos(elegidos, rutaFuente, n, e.tipo),
                          nullptr, bytes,      &carpeta};
    const std::unique_ptr<ParEnFlujo> flujo =
        e.par ? EmpezarParEnFlujo(e, fuente, entradaPar, elegidos, n, s, p) : nullptr;
    CursorOcupadoMientras cursor(v);
    Avance avance(v, bytes * (1 + (e.sfv && !crcAlEscribir ? 1 : 0) + (e.par && !flujo ? 1 : 0)));
    entradaPar.avance = &avance;
    entradaPar.flujo = flujo.get();
    if (flujo) entradaPar.bytes = 0;
    Publicacion publicacion(fuente.Id());
    const Escritura escritura{e,           fuente,     rutaFuente, destino,
                              carpeta,     protegidos, estorbos,   avance,
                              s,           p,          n,          crcAlEscribir ? &crcs : nullptr,
                              flujo.get(), publicacion};
    v.AnadirLinea(Memo::Cortar, "Creando trozos...");
    // With the one-pass PAR job, pieces are written several at once when it takes them so.
    std::vector<std::vector<unsigned char>> buffers;
    const size_t juntos = flujo ? std::min(flujo->Anchura(), elegidos.size()) : 1;
    try {
        if (juntos > 1) buffers.assign(juntos, std::vector<unsigned char>(static_cast<size_t>(ParteJunta)));
    } catch (const std::bad_alloc&) {
        buffers.clear();
    }
    const size_t grupo = buffers.empty() ? 1 : juntos;
    for (size_t i = 0; i < elegidos.size(); i += grupo) {
        const std::span<const int64_t> ks(elegidos.data() + i, std::min(grupo, elegidos.size() - i));
        bool escrito = buffers.empty() ? EscribirTrozo(v, escritura, ks[0])
                                       : EscribirTrozosJuntos(v, escritura, ks, i, buffers);
        if (escrito && i + grupo >= elegidos.size()) {
            if (const auto fallo = publicacion.Esperar()) escrito = Parar(v, escritura, *fallo);
        }
        if (escrito) v.ProcesarMensajes();
        // A stop leaves what was done: the pieces written in full are named first. Interrupted,
        // the strays then get their names back.
        if (!escrito || v.Interrumpido()) publicacion.Esperar();
        if (v.Interrumpido()) DevolverApartados(carpeta, apartados);
        if (!escrito || Interrumpida(v, Memo::Cortar)) return {};
    }
    fuente.Cerrar();
    SincronizarCarpeta(carpeta);
    v.AnadirLinea(Memo::Cortar, "");
    if (e.sfv && !PasoSfv(v, {rutaFuente, destino, n, e.tipo, elegidos, &carpeta, &avance,
                              crcAlEscribir ? &crcs : nullptr}))
        return {};
    v.AnadirLinea(Memo::Cortar, "");
    bool completo = true;
    if (e.par && Interrumpida(v, Memo::Cortar)) return {};
    if (e.par) {
        const ResultadoPar par = PasoPar(v, entradaPar);
        if (par.detenido) return {};
        completo = par.hecho;
    }
    v.Informacion("¡ Proceso finalizado !");
    return {true, completo};
}

} // namespace quimbel
