// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the fuzz targets share: a check that stops the process (so that libFuzzer and the
// corpus replay both report it), a file that holds the input, and a window that records nothing.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "files/Ventana.h"

namespace quimbel::fuzz {

inline void Exigir(bool condicion) {
    if (!condicion) std::abort();
}

// A file of this process's own, made on first use, that holds the input being tried.
inline const std::string& FicheroDeEntrada(const std::uint8_t* datos, size_t n) {
    static const std::string ruta = [] {
        char plantilla[] = "/tmp/quimbel-fuzz-XXXXXX";
        const int fd = mkstemp(plantilla);
        if (fd < 0) std::abort();
        close(fd);
        return std::string(plantilla);
    }();
    std::ofstream f(ruta, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(datos), static_cast<std::streamsize>(n));
    return ruta;
}

// Answers every question with Cancel, as nobody is there.
class VentanaMuda : public Ventana {
  public:
    void AnadirLinea(Memo, std::string_view) override {}
    void Error(std::string_view) override { ++errores; }
    void Informacion(std::string_view) override {}
    Respuesta Pregunta(std::string_view) override { return Respuesta::Cancelar; }
    bool Reemplazar(std::string_view) override { return false; }
    int errores = 0;
};

} // namespace quimbel::fuzz
