// SPDX-License-Identifier: GPL-3.0-or-later
#include "PasoPar.h"

#include <memory>

#include "files/Entero.h"
#include "files/Interrupcion.h"
#include "files/Rutas.h"
#include "files/Salidas.h"
#include "libs/par/include/NombresPar.h"
#include "parity/Par.h"
#include "parity/ParEnFlujo.h"

namespace quimbel {

namespace {

// The first file the set's outputs would replace or move, or none: the source or a piece named
// like an output, or an existing output in the folder that is the same file as the source or a
// piece (the pieces opened in the folder, by name).
std::optional<std::string> SalidaQuePisa(const EntradaPar& e, const Carpeta& carpeta,
                                         const std::string& rutaPar) {
    const std::string nombreIndice = par::NombreIndice(NombreDeRuta(rutaPar));
    Protegidos protegidos;
    if (CarpetaDeRuta(e.fuente) == e.destino && par::EsSalidaDe(NombreDeRuta(e.fuente), nombreIndice))
        return e.fuente;
    protegidos.Anadir(e.fuente);
    std::vector<std::unique_ptr<Fichero>> trozos;
    for (const std::string& t : e.trozos) {
        if (par::EsSalidaDe(t, nombreIndice)) return e.destino + t;
        trozos.push_back(std::make_unique<Fichero>());
        if (AbrirFicheroEn(*trozos.back(), carpeta, t).Bien()) protegidos.Anadir(*trozos.back());
    }
    for (const std::string& nombre : par::SalidasPresentes(carpeta, nombreIndice, true))
        if (par::EsProtegidoEn(carpeta, nombre, protegidos)) return e.destino + nombre;
    return std::nullopt;
}

} // namespace

std::array<std::string, 7> ArgumentosPar(const std::string& opcionNumero, const std::string& rutaPar) {
    return {"par.exe", "add", opcionNumero, "-m", "+C", "--", rutaPar};
}

std::optional<std::vector<std::string>> VectorPar(const EntradaPar& e) {
    const std::optional<std::string> opcionNumero = OpcionNumeroPar(e.numero);
    if (!opcionNumero) return std::nullopt;
    const auto fijos = ArgumentosPar(*opcionNumero, RutaPar(e.destino, e.fuente));
    std::vector<std::string> argumentos(fijos.begin(), fijos.end());
    argumentos.insert(argumentos.end(), e.trozos.begin(), e.trozos.end());
    return argumentos;
}

std::string MensajeDemasiadosTrozosPar() {
    return "¡ Demasiados trozos para crear el PAR: el máximo es " + std::to_string(MaxTrozosPar) + " !";
}

std::optional<std::string> RechazoNombrePar(const std::vector<std::string>& trozos) {
    for (const std::string& t : trozos)
        if (!par::NombreJuegoValido(t)) return par::LineaNombreNoValido(t);
    return std::nullopt;
}

std::string RutaPar(const std::string& destino, const std::string& fuente) {
    return CambiarExtension(destino + NombreDeRuta(fuente), ".par");
}

std::optional<std::string> OpcionNumeroPar(const std::string& numero) {
    if (numero.empty()) return "-n0";
    const std::optional<int32_t> valor = LeerEntero(numero);
    if (!valor) return std::nullopt;
    return "-n" + std::to_string(static_cast<uint32_t>(*valor));
}

ResultadoPar PasoPar(Ventana& v, const EntradaPar& e, const std::function<void()>& antesDeLlamar) {
    if (const auto rechazo = RechazoNombrePar(e.trozos)) {
        v.Error(*rechazo);
        return {true, false};
    }
    const std::string rutaPar = RutaPar(e.destino, e.fuente);
    v.AnadirLinea(Memo::Cortar, "Creando PAR: " + rutaPar);
    const std::optional<std::vector<std::string>> argumentos = VectorPar(e);
    if (!argumentos) {
        v.Informacion("¡ Error en el número de pares !");
        v.CursorNormal();
        return {true, false};
    }
    Carpeta propia;
    const Carpeta* carpeta = e.carpeta;
    if (carpeta == nullptr) {
        AbrirCarpeta(propia, e.destino);
        carpeta = &propia;
    }
    if (!carpeta->Abierta()) v.Informacion("¡ Error al cambiar al directorio " + e.destino + " !");

    ResultadoPar resultado;
    if (!ParCargada()) {
        v.Informacion("¡ Error en la DLL Par.dll !");
    } else if (e.trozos.size() > MaxTrozosPar) {
        v.Informacion(MensajeDemasiadosTrozosPar());
    } else if (const std::optional<std::string> pisado = SalidaQuePisa(e, *carpeta, rutaPar)) {
        v.Informacion(par::LineaSobrescribiria(*pisado));
    } else {
        if (antesDeLlamar) antesDeLlamar();
        ContextoPar contexto(v);
        contexto.avance = e.avance;
        contexto.parte = e.bytes;
        const int32_t devuelto = e.flujo != nullptr && !e.flujo->Roto()
                                     ? e.flujo->Terminar(contexto)
                                     : LlamarPar(*argumentos, &ProgresoPar, contexto, carpeta->Descriptor());
        if (devuelto == LLAMADA_PAR_INTERRUMPIDA) {
            v.AnadirLinea(Memo::Cortar, ProcesoInterrumpido);
            return {true, false};
        }
        resultado.hecho = devuelto == 0;
    }
    v.ProcesarMensajes();
    return resultado;
}

} // namespace quimbel
