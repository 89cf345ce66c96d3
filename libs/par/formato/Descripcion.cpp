// SPDX-License-Identifier: GPL-3.0-or-later
#include "Descripcion.h"

#include "Avisos.h"
#include "LecturaJuego.h"

namespace quimbel::par {

int DescribirJuego(const quimbel::Carpeta& carpeta, const std::string& indice,
                   const std::function<void(const FicheroJuego&, uint64_t tamanoRebanada)>& fichero) {
    Avisos silencio([](const char*) {});
    Recogida recogida;
    FicherosPar leidos;
    JuegoLeido juego;
    Fallo fallo = LeerFicherosPar(carpeta, indice, Limites{}, silencio, recogida, leidos);
    if (!fallo) fallo = ArmarJuego(recogida, indice, juego);
    if (fallo)
        return fallo->codigo == CodigoFallo::SinJuego || fallo->codigo == CodigoFallo::JuegoNoValido ? 2 : 1;
    for (const FicheroJuego& f : juego.ficheros)
        if (f.descrito) fichero(f, juego.tamanoRebanada);
    return 0;
}

} // namespace quimbel::par
