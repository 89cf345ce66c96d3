// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two shipped libraries, owned by one object: the CRC-32 provider (libcrc32.so) and the
// parity library (libpar.so), each loaded by its bare name from a folder first (as a rule the
// executable's own), else by the system's order. Silent: a missing library or export only
// leaves it unusable. The state lives from loading to release; everything runs on one thread.
#include <string>

#include "files/Biblioteca.h"
#include "libs/crc32/include/Crc32Contrato.h"
#include "libs/par/include/LlamadaPar.h"

namespace quimbel {

// The provider's file name, and the parity library's.
inline constexpr const char* NombreBibliotecaCrc = "libcrc32.so";
inline constexpr const char* NombreBibliotecaPar = "libpar.so";

// The exports of the parity library's streamed creation; all null when it lacks one of them.
struct FuncionesFlujoPar {
    ParFlujoAbrirFuncion abrir = nullptr;
    ParFlujoPrincipioFuncion principio = nullptr;
    ParFlujoDatosFuncion datos = nullptr;
    ParFlujoTerminarFuncion terminar = nullptr;
    ParFlujoAbandonarFuncion abandonar = nullptr;
    // Several pieces' bytes in one call: optional (none: one piece after another, through datos).
    ParFlujoDatosDeFuncion datosDe = nullptr;
    bool Completas() const { return abrir && principio && datos && terminar && abandonar; }
};

class Bibliotecas {
  public:
    Bibliotecas() = default;
    // Releases both, the parity library first.
    ~Bibliotecas();
    Bibliotecas(const Bibliotecas&) = delete;
    Bibliotecas& operator=(const Bibliotecas&) = delete;

    // Loads the provider and looks up its crc32 export. Loading again first releases it.
    void CargarCrc(const std::string& carpetaPrimero);
    void LiberarCrc();
    // True once the library has been loaded (whether or not it had the export).
    bool CrcCargada() const { return crc_ != nullptr; }
    // The export; null without one.
    Crc32Funcion Crc32() const { return crc32_; }

    // Loads the parity library and looks up its call_par_contexto export; a library without it
    // is released again and counts as not loaded. The streamed creation's exports are looked up
    // too (all of them, or none), and par_describir. Loading again first releases it.
    void CargarPar(const std::string& carpetaPrimero);
    void LiberarPar();
    // The export; null when the library is not loaded.
    CallParContextoFuncion Par() const { return callPar_; }
    // Its par_describir export; null when the library is not loaded or lacks it.
    ParDescribirFuncion Describir() const { return describir_; }
    // The streamed creation's exports; all null when the library lacks them.
    const FuncionesFlujoPar& FlujoPar() const { return flujo_; }
    // From now until the next load, the library counts as lacking the streamed creation (a test
    // seam: the split then takes the separate PAR step).
    void OlvidarFlujoPar() { flujo_ = {}; }
    // From now until the next load, the library counts as lacking the entry for several pieces'
    // bytes at once (a test seam: the split then hands them over one piece after another).
    void OlvidarFlujoVarios() { flujo_.datosDe = nullptr; }

  private:
    ManejadorBiblioteca crc_ = nullptr;
    Crc32Funcion crc32_ = nullptr;
    ManejadorBiblioteca par_ = nullptr;
    CallParContextoFuncion callPar_ = nullptr;
    ParDescribirFuncion describir_ = nullptr;
    FuncionesFlujoPar flujo_;
};

// The program's one set of loaded libraries, which the engines call through.
Bibliotecas& LasBibliotecas();

// Both libraries for the life of a program: the CRC-32 provider first, then the parity
// library; released in the opposite order.
class BibliotecasCargadas {
  public:
    explicit BibliotecasCargadas(const std::string& carpeta = CarpetaDelEjecutable()) {
        LasBibliotecas().CargarCrc(carpeta);
        LasBibliotecas().CargarPar(carpeta);
    }
    ~BibliotecasCargadas() {
        LasBibliotecas().LiberarPar();
        LasBibliotecas().LiberarCrc();
    }
    BibliotecasCargadas(const BibliotecasCargadas&) = delete;
    BibliotecasCargadas& operator=(const BibliotecasCargadas&) = delete;
};

} // namespace quimbel
