// SPDX-License-Identifier: GPL-3.0-or-later
#include "Consola.h"

#include "Senales.h"
#include "files/Interrupcion.h"

#include <string>

namespace quimbel {

namespace {
// A message's CR (alone or before an LF) is a line end on a terminal, as in a box;
// written raw, it would send the cursor back over the text already printed.
void Escribir(std::FILE* f, std::string_view texto) {
    size_t cr;
    while ((cr = texto.find('\r')) != std::string_view::npos) {
        std::fwrite(texto.data(), 1, cr, f);
        const bool conLf = cr + 1 < texto.size() && texto[cr + 1] == '\n';
        std::fputc('\n', f);
        texto.remove_prefix(cr + (conLf ? 2 : 1));
    }
    std::fwrite(texto.data(), 1, texto.size(), f);
    std::fputc('\n', f);
}
} // namespace

void Consola::AnadirLinea(Memo, std::string_view linea) {
    if (linea == ProcesoInterrumpido) MarcarRunInterrumpida();
    Escribir(salida_, linea);
}

bool Consola::Interrumpido() const {
    return SenalRecibida() != 0;
}

void Consola::Error(std::string_view texto) {
    ++errores_mostrados_;
    std::fflush(salida_);
    Escribir(errores_, texto);
}

void Consola::Informacion(std::string_view texto) {
    std::fflush(salida_);
    Escribir(errores_, texto);
}

Respuesta Consola::Pregunta(std::string_view texto) {
    Escribir(errores_, texto);
    return Respuesta::No;
}

bool Consola::Reemplazar(std::string_view ruta) {
    if (reemplazar_) return true;
    Error("¡ El fichero " + std::string(ruta) + " ya existe; use --reemplazar !");
    return false;
}

bool Consola::RepararYUnir(std::string_view) {
    return reparar_;
}

void Consola::ProcesarMensajes() {
    std::fflush(salida_);
}

} // namespace quimbel
