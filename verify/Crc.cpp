#include "Crc.h"

#include <memory>
#include <new>

#include "files/Ficheros.h"
#include "verify/Crc32Contrato.h"

namespace quimbel {

namespace {

bool cargada = false;
ManejadorBiblioteca biblioteca = nullptr;
Crc32Funcion funcion = nullptr;
int32_t fallo = 0;

uint32_t Fallar() {
    fallo = -1;
    return 0;
}

} // namespace

void CargarCrc(const std::string& carpetaPrimero) {
    LiberarCrc();
    biblioteca = CargarBiblioteca(NombreBibliotecaCrc, carpetaPrimero);
    if (biblioteca == nullptr) return;
    cargada = true;
    funcion = BuscarFuncion<Crc32Funcion>(biblioteca, "crc32");
}

void LiberarCrc() {
    funcion = nullptr;
    LiberarBiblioteca(biblioteca);
    biblioteca = nullptr;
    cargada = false;
}

bool CrcCargada() {
    return cargada;
}

int32_t FalloCrc() {
    return fallo;
}

uint32_t CrcFichero(const std::string& ruta, Avance* avance) {
    fallo = 0;
    if (funcion == nullptr) return Fallar();
    Fichero fichero;
    if (!AbrirFichero(fichero, ruta).Bien()) return Fallar();
    // Allocated per call: nothing survives from one file to the next.
    const std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[BloqueCrc]);
    if (!buffer) return Fallar();

    uint32_t valor = funcion(0, nullptr, 0);
    int64_t leidos = fichero.Leer(buffer.get(), BloqueCrc);
    if (leidos < 0) return Fallar();
    if (leidos > 0) valor = funcion(valor, buffer.get(), static_cast<uint32_t>(leidos));
    if (avance) avance->Sumar(leidos);
    // After a full block comes another read, folded in even when it brought nothing.
    while (leidos == static_cast<int64_t>(BloqueCrc)) {
        leidos = fichero.Leer(buffer.get(), BloqueCrc);
        if (leidos < 0) return Fallar();
        valor = funcion(valor, buffer.get(), static_cast<uint32_t>(leidos));
        if (avance) avance->Sumar(leidos);
    }
    return valor;
}

} // namespace quimbel
