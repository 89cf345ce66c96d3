#include "Consola.h"

namespace quimbel {

namespace {
void Escribir(std::FILE* f, std::string_view texto) {
    std::fwrite(texto.data(), 1, texto.size(), f);
    std::fputc('\n', f);
}
} // namespace

void Consola::AnadirLinea(Memo, std::string_view linea) {
    Escribir(salida_, linea);
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

void Consola::ProcesarMensajes() {
    std::fflush(salida_);
}

} // namespace quimbel
