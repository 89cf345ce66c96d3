#include "Argumentos.h"

namespace quimbel {

const char* AyudaQuimbel() {
    return "Uso: quimbel [OPCIÓN] [FICHERO]\n"
           "\n"
           "Abre la ventana de Quimbel, que corta ficheros en trozos, los une, verifica ficheros\n"
           "SFV y crea juegos PAR2. Con FICHERO, lo abre como si se hubiera elegido en su página:\n"
           "un fichero .sfv en \"Verificar\", un trozo .fin, .0 o .001 (un punto y solo cifras)\n"
           "en \"Unir\", y cualquier otro en \"Cortar\", con su plan de trozos.\n"
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
