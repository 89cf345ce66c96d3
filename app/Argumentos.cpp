// SPDX-License-Identifier: GPL-3.0-or-later
#include "Argumentos.h"

namespace quimbel {

const char* AyudaQuimbel() {
    return "Uso: quimbel [OPCIÓN] [FICHERO]\n"
           "\n"
           "Abre la ventana de Quimbel. En \"Cortar\" corta un fichero en trozos de un tamaño en\n"
           "bytes, con o sin unidad (\"4900000\", \"700MB\", \"4G\"), con los nombres Normal,\n"
           "CortaArchivos o Hacha, y escribe si se pide su fichero SFV y un juego PAR2; \"Elegir\"\n"
           "lleva a \"Extraer\", donde se escogen los trozos a escribir. \"Unir\" une un juego a\n"
           "partir de cualquiera de sus trozos; \"Verificar\" comprueba un fichero SFV y puede\n"
           "renombrar los ficheros erróneos; \"Reparar\" comprueba un juego PAR2 y rehace los\n"
           "ficheros dañados o perdidos.\n"
           "\n"
           "Con FICHERO, lo abre como si se hubiera elegido en su página: un fichero .sfv en\n"
           "\"Verificar\", un .par2 en \"Reparar\", un trozo .fin, .0 o .001 (un punto y solo\n"
           "cifras) en \"Unir\", y cualquier otro en \"Cortar\", con su plan de trozos.\n"
           "\n"
           "  -h, --help     muestra esta ayuda y termina\n"
           "      --version  muestra la versión y termina\n"
           "\n"
           "Sin pantalla, use: xvfb-run -a quimbel\n";
}

Argumentos LeerArgumentos(const std::vector<std::string>& argumentos) {
    bool opciones = true, ayuda = false, version = false;
    std::string desconocida, fichero;
    for (const std::string& arg : argumentos) {
        if (opciones && arg == "--")
            opciones = false;
        else if (opciones && (arg == "-h" || arg == "--help"))
            ayuda = true;
        else if (opciones && arg == "--version")
            version = true;
        else if (opciones && arg.size() > 1 && arg[0] == '-') {
            if (desconocida.empty()) desconocida = arg;
        } else if (fichero.empty())
            fichero = arg;
    }
    if (ayuda) return {Argumentos::Accion::Ayuda, {}, {}};
    if (version) return {Argumentos::Accion::Version, {}, {}};
    if (!desconocida.empty()) return {Argumentos::Accion::Error, {}, "opción desconocida: " + desconocida};
    return {Argumentos::Accion::Ventana, fichero, {}};
}

} // namespace quimbel
