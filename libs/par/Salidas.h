#pragma once
// The output files of a set: which ones exist already, whether the job may go on, and
// the renaming of earlier outputs to "<name>.old", undone when the job fails.
#include "libs/par/Entradas.h"
#include "libs/par/Fallo.h"

#include <span>
#include <string>
#include <utility>
#include <vector>

namespace quimbel::par {

struct Salidas {
    std::string indice;
    std::vector<std::string> volumenes; // the volumes this job writes
    std::vector<std::string>
        presentes; // outputs of the set on disk now: the index and every <base>.vol*.par2
};

// Fills presentes and checks them. Without renombrar, any present output refuses the
// job. No path the job writes or renames, nor a ".old" it would move aside, may be one of
// the pieces (by identity). A folder in the place of an output refuses the job. Nothing or the line.
Fallo ExaminarSalidas(Salidas& salidas, std::span<const Entrada> entradas, bool renombrar);

// The earlier outputs of a set renamed to "<name>.old" for the time of a job. An older
// "<name>.old" is first moved aside under a free name and removed only when the job is
// confirmed; a job that ends without confirming gives every name back, so that a failure
// leaves the folder as it found it. Renames never replace a file.
class Renombradas {
  public:
    Renombradas() = default;
    ~Renombradas();
    Renombradas(const Renombradas&) = delete;
    Renombradas& operator=(const Renombradas&) = delete;

    // Renames every present output. Nothing or the line; what was renamed is undone by the destructor.
    Fallo Renombrar(const Salidas& salidas);
    // The job succeeded: the older ".old" files moved aside are removed.
    void Confirmar();

  private:
    std::vector<std::pair<std::string, std::string>> hechos_; // from, to; in the order done
    std::vector<std::string> apartadas_;
    bool confirmado_ = false;
};

} // namespace quimbel::par
