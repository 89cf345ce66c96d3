// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the application tells the desktop about itself, and the translations it speaks.
#include <QLocale>

class QApplication;
class QCoreApplication;

namespace quimbel {

// The ID of the desktop entry, the icon and the metainfo: io.github.quimbel.Quimbel.
const char* IdEscritorio();

// Names the application "Quimbel", sets the desktop file name to the entry's ID, so that
// docks match its windows with the launcher, and gives every window the installed icon of
// that name from the icon theme; where the theme has none, the same picture built into the
// program.
void PrepararAplicacion(QApplication& aplicacion);

// For a locale whose language is Spanish, installs Qt's own Spanish translations (qtbase_es
// from Qt's translations folder) into the application, so that its file dialogs and context
// menus speak Spanish; the program's own boxes keep their fixed texts. True when installed;
// false for another language or when the translations are not there.
bool CargarTraduccionesQt(QCoreApplication& aplicacion, const QLocale& idioma = QLocale::system());

} // namespace quimbel
