// SPDX-License-Identifier: GPL-3.0-or-later
#include "Entorno.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>

namespace quimbel {

EntornoPrograma EntornoReal() {
    EntornoPrograma e;
    const QFileInfo ejecutable(QCoreApplication::applicationFilePath());
    e.carpetaEjecutable = ejecutable.absolutePath() + QLatin1Char('/');
    e.nombreEjecutable = ejecutable.fileName();
    e.carpetaConfiguracion = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    e.enCarpetaDeCompilacion = QFileInfo::exists(e.carpetaEjecutable + QStringLiteral("../CMakeCache.txt"));
    return e;
}

} // namespace quimbel
