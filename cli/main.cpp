// SPDX-License-Identifier: GPL-3.0-or-later
// quimbel-cli: the engines of the window, driven from a shell.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "Ordenes.h"
#include "Senales.h"
#include "parity/Bibliotecas.h"

namespace quimbel {

namespace {

constexpr const char* Uso =
    "Uso: quimbel-cli ORDEN [ARGUMENTOS]\n"
    "\n"
    "  cortar FUENTE TAMAÑO [--destino CARPETA] [--esquema normal|cortaarchivos|hacha]\n"
    "         [--trozos LISTA] [--sfv] [--par NUMERO] [--reemplazar]\n"
    "      Corta FUENTE en trozos de TAMAÑO bytes: cifras y, si acaso, una unidad K, M, G o T\n"
    "      (potencias de 1024) o KB, MB, GB o TB (potencias de 1000), en mayúsculas o\n"
    "      minúsculas (\"700MB\", \"4G\"). LISTA (p. ej. 2,5,7-9) elige los trozos a escribir,\n"
    "      numerados en el juego entero; sin ella se escriben todos. Con --sfv escribe además\n"
    "      el fichero SFV de los trozos escritos; con --par, un juego PAR2 con el que rehacer\n"
    "      hasta NUMERO trozos perdidos. Si ya hay ficheros con los nombres que escribe, o\n"
    "      trozos numerados tras el último del juego, no hace nada salvo con --reemplazar, que\n"
    "      reemplaza los primeros y aparta los segundos como NOMBRE.1, NOMBRE.2...\n"
    "\n"
    "  crc FICHERO...\n"
    "      Muestra el CRC-32 de cada FICHERO (\"%8.8x\", dos blancos y el nombre).\n"
    "\n"
    "  unir TROZO [--destino FICHERO] [--reemplazar] [--reparar]\n"
    "      Une el juego entero de trozos al que pertenece TROZO, sea cual sea el trozo. Comprueba\n"
    "      antes que están todos, con los tamaños que su juego registra, y solo da su nombre al\n"
    "      fichero unido cuando está completo. Si los trozos vienen con un juego PAR2 o un\n"
    "      fichero SFV (mismo nombre, .par2 o .sfv), comprueba el CRC-32 de cada trozo mientras\n"
    "      lo copia. Con --reparar, un trozo que falte o esté dañado se reconstruye antes con el\n"
    "      juego PAR2. Un fichero que ya exista en FICHERO solo se reemplaza con --reemplazar.\n"
    "\n"
    "  verificar SFV [--carpeta CARPETA] [--mostrar errores,inexistentes,correctos]\n"
    "            [--renombrar EXTENSION] [--letra]\n"
    "      Comprueba el CRC-32 de cada fichero de la lista SFV, buscado en CARPETA (por omisión,\n"
    "      la del fichero SFV). --mostrar elige qué resultados se listan (todos por omisión);\n"
    "      --renombrar da a cada fichero erróneo el nombre FICHERO.EXTENSION1, 2... (a, b... con\n"
    "      --letra). Estado de salida: 0 si la lista nombra algún fichero y todos son correctos,\n"
    "      1 si alguno no lo es o la lista no nombra ninguno, 2 si el SFV no se puede abrir.\n"
    "\n"
    "  reparar INDICE.par2 [--carpeta CARPETA] [--solo-comprobar] [--buscar FICHERO...]\n"
    "      Comprueba cada fichero del juego PAR2 en CARPETA (por omisión, la del índice) y rehace\n"
    "      los dañados o perdidos cuando hay bloques de recuperación suficientes. Busca los\n"
    "      bloques que se movieron dentro de cada fichero y, con --buscar, en los FICHEROs\n"
    "      dados (hasta la siguiente opción). Estado de salida: 0 si todos quedan enteros, 1 si\n"
    "      alguno no, 2 si ningún fichero del juego tiene un paquete principal válido. Con\n"
    "      --solo-comprobar no escribe nada y su estado es el de par2 verify: 0 todos enteros,\n"
    "      1 una reparación los dejaría enteros, 2 no los dejaría.\n"
    "\n"
    "  -h, --help     muestra esta ayuda y termina\n"
    "      --version  muestra la versión y termina\n"
    "\n"
    "Las líneas del registro van a la salida estándar y los mensajes a la salida de errores.\n"
    "Estado de salida: 0 proceso finalizado, 1 detenido por un mensaje, 2 error de uso.\n"
    "SIGINT, SIGTERM o SIGHUP detienen el proceso tras el bloque en curso: quita sus\n"
    "temporales, escribe \"¡ Proceso interrumpido !\" y sale con 128 más el número de la señal;\n"
    "una segunda señal lo termina en el acto.\n";

} // namespace

int ErrorDeUso(const std::string& mensaje) {
    std::fprintf(stderr, "quimbel-cli: %s\n\n%s", mensaje.c_str(), Uso);
    return SalidaUso;
}

} // namespace quimbel

namespace {

int Ejecutar(int argc, char** argv) {
    using namespace quimbel;
    const BibliotecasCargadas bibliotecas;
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return ErrorDeUso("falta la orden");
    if (args[0] == "--version") {
        std::puts("quimbel-cli " QUIMBEL_VERSION);
        return SalidaBien;
    }
    const auto pideAyuda = [](const std::string& a) { return a == "--help" || a == "-h"; };
    if (args[0] == "ayuda" || std::any_of(args.begin(), args.end(), pideAyuda)) {
        std::fputs(Uso, stdout);
        return SalidaBien;
    }
    const std::string orden = args[0];
    const std::span<const std::string> resto(args.data() + 1, args.size() - 1);
    if (orden == "cortar") return OrdenCortar(resto);
    if (orden == "crc") return OrdenCrc(resto);
    if (orden == "unir") return OrdenUnir(resto);
    if (orden == "verificar") return OrdenVerificar(resto);
    if (orden == "reparar") return OrdenReparar(resto);
    return ErrorDeUso("orden desconocida: " + orden);
}

} // namespace

int main(int argc, char** argv) {
    quimbel::InstalarSenales();
    // A run that cannot get memory stops with a message, its files closed, never with an abort.
    try {
        const int salida = Ejecutar(argc, argv);
        // A run that stopped for a signal ends as the shell expects of one.
        if (quimbel::RunInterrumpida()) return 128 + quimbel::SenalRecibida();
        return salida;
    } catch (const std::bad_alloc&) {
        std::fputs("¡ Error: memoria insuficiente !\n", stderr);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "¡ Error: %s !\n", error.what());
    }
    return quimbel::SalidaFallo;
}
