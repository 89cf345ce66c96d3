// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The output files of a new set: which ones exist already, whether the job may go on, and
// the renaming of earlier outputs to "<name>.old", undone when the job fails. Everything
// by name in the folder the set goes to.
#include "Entradas.h"
#include "Fallo.h"

#include <span>
#include <string>
#include <utility>
#include <vector>

#include "files/Salidas.h"

namespace quimbel::par {

struct SalidasNuevas {
    std::string mostrada;               // the folder as the lines show it: the PAR path's folder part
    std::string indice;                 // the index's name in the folder
    std::vector<std::string> volumenes; // the names of the volumes this job writes
    std::vector<std::string> presentes; // outputs of the set there now: the index and every volume of it
    std::string Ruta(const std::string& nombre) const { return mostrada + nombre; }
};

// Fills presentes and checks them. Without renombrar, any present output refuses the
// job. No name the job writes or renames, nor a ".old" it would move aside, may be one of
// protegidos (the pieces, open). A folder in the place of an output refuses the job. Nothing or
// the refusal.
Fallo ExaminarSalidas(SalidasNuevas& salidas, const quimbel::Carpeta& carpeta,
                      const quimbel::Protegidos& protegidos, bool renombrar);

// The earlier outputs of a set renamed to "<name>.old" for the time of a job. An older
// "<name>.old" is first moved aside under the first free "<name>.old.<k>" and removed only when
// the job is confirmed; a job that ends without confirming gives every name back, so that a
// failure leaves the folder as it found it. Renames never replace a file.
class Renombradas {
  public:
    explicit Renombradas(const quimbel::Carpeta& carpeta) : carpeta_(carpeta) {}
    ~Renombradas();
    Renombradas(const Renombradas&) = delete;
    Renombradas& operator=(const Renombradas&) = delete;

    // Renames every present output. Nothing or the failure; what was renamed is undone by the destructor.
    Fallo Renombrar(const SalidasNuevas& salidas);
    // The job succeeded: the older ".old" files moved aside are removed.
    void Confirmar();

  private:
    const quimbel::Carpeta& carpeta_;
    std::vector<std::pair<std::string, std::string>> hechos_; // from, to; in the order done
    std::vector<std::string> apartadas_;
    bool confirmado_ = false;
};

} // namespace quimbel::par
