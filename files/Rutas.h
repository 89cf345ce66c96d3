// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Splitting a path into folder, file name and extension. The folder separator
// is "/" only; ":" is an ordinary file-name character.
#include <string>
#include <string_view>

namespace quimbel {

// The file-name part: everything after the last "/".
std::string NombreDeRuta(std::string_view ruta);

// The folder part: everything up to and including the last "/"; empty when there is none.
std::string CarpetaDeRuta(std::string_view ruta);

// The extension with its dot: from the last "." that comes after the last "/" to the end;
// empty when the file name has no ".".
std::string Extension(std::string_view ruta);

// Replaces the extension (as Extension finds it) by nueva, or appends nueva when there is none.
std::string CambiarExtension(std::string_view ruta, std::string_view nueva);

// The folder with one "/" at its end: unchanged when it already ends in "/". Never given "".
std::string ConBarraFinal(std::string_view carpeta);

// Removes one double quote at each end of a typed or pasted path; nothing else.
std::string QuitarComillas(std::string_view texto);

// A bare name in a folder: not empty, not "." or "..", no "/".
bool NombreSimple(std::string_view nombre);

// Makes a relative path absolute against the current folder (no other change).
std::string RutaAbsoluta(std::string_view ruta);

} // namespace quimbel
