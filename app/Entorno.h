// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the window learns from the process it runs in. Tests hand in their own.
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <optional>

namespace quimbel {

struct EntornoPrograma {
    QString carpetaEjecutable;     // the executable's folder, ending in "/"
    QString nombreEjecutable;      // its file name ("quimbel")
    std::optional<QSize> pantalla; // the screen size to centre on; the primary screen's when none
    // The available area of each screen, the primary first, that the window must open within;
    // the system's screens when empty.
    QList<QRect> areasPantalla;
    // Where an installed program keeps its settings ($XDG_CONFIG_HOME/Quimbel), and any
    // program whose folder cannot be written.
    QString carpetaConfiguracion;
    // A program run from its build folder keeps its settings beside itself.
    bool enCarpetaDeCompilacion = true;
};

// The environment of the running executable; it runs from its build folder when the
// folder above its own holds the build's CMakeCache.txt.
EntornoPrograma EntornoReal();

} // namespace quimbel
