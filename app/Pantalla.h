// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Bringing the application up on a display that cannot be opened: instead of the
// toolkit's abort, one line on standard error and exit status 1.
#include <QString>

namespace quimbel {

// The display the application will try: WAYLAND_DISPLAY on a Wayland platform, DISPLAY
// otherwise.
QString NombrePantalla();

// The one line for a display that cannot be opened, ending in a line end.
QString TextoSinPantalla(const QString& nombre);

// While alive, the toolkit's messages are held back; a fatal one (the display cannot be
// opened) prints TextoSinPantalla and ends the process with status 1. At the end of its
// life the messages held back are passed on as they came.
class GuardaPantalla {
  public:
    GuardaPantalla();
    ~GuardaPantalla();
    GuardaPantalla(const GuardaPantalla&) = delete;
    GuardaPantalla& operator=(const GuardaPantalla&) = delete;
};

} // namespace quimbel
