// SPDX-License-Identifier: GPL-3.0-or-later
#include "ParEnFlujo.h"

namespace quimbel {

std::unique_ptr<ParEnFlujo> ParEnFlujo::Abrir(const EntradaPar& e, const std::vector<uint64_t>& tamanos,
                                              uint64_t memoria) {
    const FuncionesFlujoPar& funciones = LasBibliotecas().FlujoPar();
    if (!funciones.Completas() || e.carpeta == nullptr || !e.carpeta->Abierta() ||
        e.trozos.size() > MaxTrozosPar || tamanos.size() != e.trozos.size() || RechazoNombrePar(e.trozos))
        return nullptr;
    const std::optional<std::vector<std::string>> argumentos = VectorPar(e);
    LlamadaParContexto llamada{};
    if (!argumentos || PonerArgumentos(*argumentos, llamada) != 0) return nullptr;
    llamada.tamano = sizeof(LlamadaParContexto);
    llamada.version = LLAMADA_PAR_VERSION;
    llamada.carpeta = e.carpeta->Descriptor();
    ParFlujo* trabajo = nullptr;
    const int32_t resultado = funciones.abrir(&llamada, tamanos.data(), memoria, &trabajo);
    LiberarArgumentos(llamada.cuenta, llamada.argumentos);
    if (resultado != 0 || trabajo == nullptr) return nullptr;
    return std::unique_ptr<ParEnFlujo>(new ParEnFlujo(funciones, trabajo));
}

ParEnFlujo::~ParEnFlujo() {
    if (trabajo_ != nullptr) funciones_.abandonar(trabajo_);
}

void ParEnFlujo::Principio(size_t i, const void* datos, size_t n) {
    if (!roto_ && funciones_.principio(trabajo_, static_cast<int32_t>(i), datos, n) != 0) roto_ = true;
}

void ParEnFlujo::Datos(const void* datos, size_t n) {
    if (!roto_ && funciones_.datos(trabajo_, datos, n) != 0) roto_ = true;
}

void ParEnFlujo::DatosDe(const std::vector<Parte>& partes) {
    if (roto_ || partes.empty()) return;
    if (funciones_.datosDe == nullptr) {
        roto_ = true;
        return;
    }
    std::vector<int32_t> trozos;
    std::vector<const void*> datos;
    std::vector<uint64_t> n;
    for (const Parte& p : partes) {
        trozos.push_back(p.trozo);
        datos.push_back(p.datos);
        n.push_back(p.n);
    }
    if (funciones_.datosDe(trabajo_, static_cast<uint32_t>(partes.size()), trozos.data(), datos.data(),
                           n.data()) != 0)
        roto_ = true;
}

int32_t ParEnFlujo::Terminar(ContextoPar& contexto) {
    contexto.inicio = contexto.avance != nullptr ? contexto.avance->Hechos() : 0;
    ParFlujo* trabajo = trabajo_;
    trabajo_ = nullptr;
    const int32_t resultado = funciones_.terminar(trabajo, &ProgresoPar, &contexto, &DetenerPar);
    if (contexto.avance != nullptr && contexto.parte > 0)
        contexto.avance->Poner(contexto.inicio + contexto.parte);
    return resultado;
}

} // namespace quimbel
