// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window program's command line: --help, --version and one file to open.
#include <string>
#include <vector>

namespace quimbel {

struct Argumentos {
    enum class Accion { Ventana, Ayuda, Version, Error };
    Accion accion = Accion::Ventana;
    std::string fichero; // the file to open, as given; empty when none
    std::string error;   // the usage error, for Accion::Error
};

// Reads the arguments after the program's name. "-h"/"--help" and "--version" win over
// everything else; "--" ends the options; the first other argument is the file, any
// further one is ignored (as with several dropped files); an unknown option is an error.
Argumentos LeerArgumentos(const std::vector<std::string>& argumentos);

// The text of --help, ending in a line end.
const char* AyudaQuimbel();

} // namespace quimbel
