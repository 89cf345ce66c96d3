// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// New names for files whose CRC is wrong, so that they stay on disk beside the name
// they no longer deserve.
#include <string>
#include <string_view>

#include "files/Carpeta.h"
#include "files/Ventana.h"

namespace quimbel {

// Whether a text may be the added extension: it holds none of * ? / \ | < > : and the
// double quote. Empty texts, blanks and dots are accepted; nothing is trimmed.
bool ExtensionValida(std::string_view extension);

// The new name for attempt i (1, 2, ...): ruta, ".", the extension, then i in decimal,
// or the i-th lower-case letter when letra is set (1 = a).
std::string NombreErroneo(std::string_view ruta, std::string_view extension, bool letra, int i);

// Gives the file that `relativa` names beneath carpeta (shown as ruta) the first free name of
// NombreErroneo for i = 1..1000 (1..26 with letra), in its own folder; any failed rename moves
// on to the next name, and no existing file is ever replaced. Adds " Renombrando: " ruta " -> "
// new name to the "Verificar" memo; when every attempt fails, shows "¡ Error al renombrar " ruta
// " a " the last name tried " !" and the file keeps its name. A name that the kernel cannot
// resolve beneath carpeta (absolute, "..", a link leading out) is never renamed: the box names
// the first new name. An invalid extension renames nothing and shows "¡ Extensión no válida !".
// True when the file got a new name.
bool RenombrarErroneo(Ventana& ventana, const Carpeta& carpeta, std::string_view relativa,
                      const std::string& ruta, std::string_view extension, bool letra);

// The same for a path the user chose: the file-name part of ruta in its folder.
bool RenombrarErroneo(Ventana& ventana, const std::string& ruta, std::string_view extension, bool letra);

} // namespace quimbel
