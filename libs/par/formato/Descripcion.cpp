// SPDX-License-Identifier: GPL-3.0-or-later
#include "Descripcion.h"

#include "Avisos.h"
#include "LecturaJuego.h"

namespace quimbel::par {

namespace {

// Whether every file of the set is described with its slices' checksums.
bool Completo(const JuegoLeido& juego) {
    for (const FicheroJuego& f : juego.ficheros)
        if (!f.descrito || f.huellas.size() != f.rebanadas) return false;
    return juego.numerado;
}

// The set read from the named file alone or, when that leaves it incomplete, from every file of it.
Fallo Leer(const quimbel::Carpeta& carpeta, const std::string& indice, JuegoLeido& juego) {
    Avisos silencio([](const char*) {});
    {
        Recogida recogida;
        FicherosPar leidos;
        JuegoLeido solo;
        if (!LeerIndicePar(carpeta, indice, Limites{}, silencio, recogida, leidos) &&
            !ArmarJuego(recogida, indice, solo) && Completo(solo)) {
            juego = std::move(solo);
            return std::nullopt;
        }
    }
    Recogida recogida;
    FicherosPar leidos;
    if (Fallo fallo = LeerFicherosPar(carpeta, indice, Limites{}, silencio, recogida, leidos)) return fallo;
    return ArmarJuego(recogida, indice, juego);
}

} // namespace

int DescribirJuego(const quimbel::Carpeta& carpeta, const std::string& indice,
                   const std::function<void(const FicheroJuego&, uint64_t tamanoRebanada)>& fichero) {
    JuegoLeido juego;
    if (const Fallo fallo = Leer(carpeta, indice, juego))
        return fallo->codigo == CodigoFallo::SinJuego || fallo->codigo == CodigoFallo::JuegoNoValido ? 2 : 1;
    for (const FicheroJuego& f : juego.ficheros)
        if (f.descrito) fichero(f, juego.tamanoRebanada);
    return 0;
}

} // namespace quimbel::par
