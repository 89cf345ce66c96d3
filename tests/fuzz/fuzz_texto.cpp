// Fuzz target for the text reader: any bytes as a file read line by line. Every line is
// bounded, holds no line end, and the lines with their ends never outgrow the file.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "Exigir.h"
#include "files/Texto.h"

using quimbel::fuzz::Exigir;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t n) {
    using namespace quimbel;
    static const std::string ruta = [] {
        char plantilla[] = "/tmp/quimbel-fuzz-texto-XXXXXX";
        const int fd = mkstemp(plantilla);
        if (fd < 0) std::abort();
        close(fd);
        return std::string(plantilla);
    }();
    {
        std::ofstream f(ruta, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(datos), static_cast<std::streamsize>(n));
    }
    TextoEntrada texto;
    Exigir(AbrirTexto(texto, ruta) == 0);
    std::string linea;
    size_t total = 0;
    while (texto.LeerLinea(linea)) {
        Exigir(linea.size() <= MaxLinea);
        Exigir(linea.find_first_of("\r\n\x1A") == std::string::npos);
        total += linea.size() + 1;
    }
    Exigir(texto.Error() == 0);
    // The last line may end with the file rather than with a line end.
    Exigir(total <= n + 1);
    return 0;
}
