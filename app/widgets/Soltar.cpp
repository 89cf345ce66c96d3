// SPDX-License-Identifier: GPL-3.0-or-later
#include "Soltar.h"

#include <QDir>
#include <QMimeData>
#include <QUrl>

namespace quimbel {

std::optional<QString> RutaSoltada(const QMimeData* datos) {
    if (!datos || !datos->hasUrls()) return std::nullopt;
    const QList<QUrl> urls = datos->urls();
    if (urls.isEmpty() || !urls.constFirst().isLocalFile()) return std::nullopt;
    const QString ruta = urls.constFirst().toLocalFile();
    if (ruta.isEmpty()) return std::nullopt;
    return QDir::cleanPath(ruta);
}

QString TextoErrorAbrir(const QString& ruta) {
    return QStringLiteral("¡ Error al abrir fichero ") + ruta + QStringLiteral(" !");
}

} // namespace quimbel
