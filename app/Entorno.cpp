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
    return e;
}

} // namespace quimbel
