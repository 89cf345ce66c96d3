// SPDX-License-Identifier: GPL-3.0-or-later
#include "Bibliotecas.h"

namespace quimbel {

Bibliotecas::~Bibliotecas() {
    LiberarPar();
    LiberarCrc();
}

void Bibliotecas::CargarCrc(const std::string& carpetaPrimero) {
    LiberarCrc();
    crc_ = CargarBiblioteca(NombreBibliotecaCrc, carpetaPrimero);
    crc32_ = BuscarFuncion<Crc32Funcion>(crc_, "crc32");
}

void Bibliotecas::LiberarCrc() {
    crc32_ = nullptr;
    LiberarBiblioteca(crc_);
    crc_ = nullptr;
}

void Bibliotecas::CargarPar(const std::string& carpetaPrimero) {
    LiberarPar();
    par_ = CargarBiblioteca(NombreBibliotecaPar, carpetaPrimero);
    callPar_ = BuscarFuncion<CallParContextoFuncion>(par_, "call_par_contexto");
    if (callPar_ == nullptr) {
        LiberarPar();
        return;
    }
    flujo_.abrir = BuscarFuncion<ParFlujoAbrirFuncion>(par_, "par_flujo_abrir");
    flujo_.principio = BuscarFuncion<ParFlujoPrincipioFuncion>(par_, "par_flujo_principio");
    flujo_.datos = BuscarFuncion<ParFlujoDatosFuncion>(par_, "par_flujo_datos");
    flujo_.terminar = BuscarFuncion<ParFlujoTerminarFuncion>(par_, "par_flujo_terminar");
    flujo_.abandonar = BuscarFuncion<ParFlujoAbandonarFuncion>(par_, "par_flujo_abandonar");
    flujo_.datosDe = BuscarFuncion<ParFlujoDatosDeFuncion>(par_, "par_flujo_datos_de");
    if (!flujo_.Completas()) flujo_ = {};
    describir_ = BuscarFuncion<ParDescribirFuncion>(par_, "par_describir");
}

void Bibliotecas::LiberarPar() {
    callPar_ = nullptr;
    describir_ = nullptr;
    flujo_ = {};
    LiberarBiblioteca(par_);
    par_ = nullptr;
}

Bibliotecas& LasBibliotecas() {
    static Bibliotecas bibliotecas;
    return bibliotecas;
}

} // namespace quimbel
