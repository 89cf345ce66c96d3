// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which page's file box a file opened from outside the window (command line, desktop
// entry, a drop on the window) goes to, by its name alone. One more kind of file is
// one more case here.
#include <QString>

namespace quimbel {

enum class PaginaFichero { Cortar, Unir, Verificar, Reparar };

// ".sfv" (any case): Verificar. ".par2" (any case): Reparar. A name ending in ".fin", or in "." and digits
// only
// (".0", ".001"; any case): Unir, a piece of a set. Anything else: Cortar.
PaginaFichero PaginaDeFichero(const QString& ruta);

} // namespace quimbel
