#pragma once
// What the window learns from the process it runs in. Tests hand in their own.
#include <QSize>
#include <QString>
#include <optional>

namespace quimbel {

struct EntornoPrograma {
    QString carpetaEjecutable;     // the executable's folder, ending in "/"
    QString nombreEjecutable;      // its file name ("quimbel")
    std::optional<QSize> pantalla; // the screen size to centre on; the primary screen's when none
    // Where the settings go when the executable's folder cannot be written.
    QString carpetaConfiguracion;
};

// The environment of the running executable.
EntornoPrograma EntornoReal();

} // namespace quimbel
