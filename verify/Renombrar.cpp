// SPDX-License-Identifier: GPL-3.0-or-later
#include "Renombrar.h"

#include "files/Rutas.h"

namespace quimbel {

namespace {
constexpr int MaxNumeros = 1000;
constexpr std::string_view Letras = "abcdefghijklmnopqrstuvwxyz";
} // namespace

bool ExtensionValida(std::string_view extension) {
    return extension.find_first_of("*?/\\|<>:\"") == std::string_view::npos;
}

std::string NombreErroneo(std::string_view ruta, std::string_view extension, bool letra, int i) {
    std::string nombre(ruta);
    nombre += '.';
    nombre += extension;
    if (letra)
        nombre += Letras[static_cast<size_t>(i - 1)];
    else
        nombre += std::to_string(i);
    return nombre;
}

bool RenombrarErroneo(Ventana& v, const Carpeta& carpeta, std::string_view relativa, const std::string& ruta,
                      std::string_view extension, bool letra) {
    // The box is checked when it is left, but a run reads it while it may be typed into;
    // a "/" here would move the file into another folder.
    if (!ExtensionValida(extension)) {
        v.Error("¡ Extensión no válida !");
        return false;
    }
    Carpeta padre;
    std::string hoja;
    if (!ResolverBajo(carpeta, relativa, padre, hoja).Bien()) {
        v.Error("¡ Error al renombrar " + ruta + " a " + NombreErroneo(ruta, extension, letra, 1) + " !");
        return false;
    }
    const int limite = letra ? static_cast<int>(Letras.size()) : MaxNumeros;
    int tomado = 0;
    const auto nuevo = RenombrarAlPrimerLibre(padre, hoja, limite, [&](int i) {
        tomado = i;
        return NombreErroneo(hoja, extension, letra, i);
    });
    if (nuevo) {
        v.AnadirLinea(Memo::Verificar,
                      " Renombrando: " + ruta + " -> " + NombreErroneo(ruta, extension, letra, tomado));
        return true;
    }
    v.Error("¡ Error al renombrar " + ruta + " a " + NombreErroneo(ruta, extension, letra, limite) + " !");
    return false;
}

bool RenombrarErroneo(Ventana& v, const std::string& ruta, std::string_view extension, bool letra) {
    Carpeta carpeta;
    AbrirCarpeta(carpeta, CarpetaDeRuta(ruta));
    return RenombrarErroneo(v, carpeta, NombreDeRuta(ruta), ruta, extension, letra);
}

} // namespace quimbel
