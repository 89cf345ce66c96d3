#pragma once
// The output files of a set: which ones exist already, whether the job may go on, and
// the renaming of earlier outputs to "<name>.old".
#include "libs/par/Entradas.h"

#include <span>
#include <string>
#include <vector>

namespace quimbel::par {

struct Salidas {
    std::string indice;
    std::vector<std::string> volumenes; // the volumes this job writes
    std::vector<std::string>
        presentes; // outputs of the set on disk now: the index and every <base>.vol*.par2
};

// Fills presentes and checks them. Without renombrar, any present output refuses the
// job. No path the job writes or renames, nor a ".old" it would replace, may be one of
// the pieces. A folder in the place of an output refuses the job. "" or the line.
std::string ExaminarSalidas(Salidas& salidas, std::span<const Entrada> entradas, bool renombrar);

// Renames every present output to "<name>.old", replacing an older one. "" or the line.
std::string RenombrarViejas(const Salidas& salidas);

} // namespace quimbel::par
