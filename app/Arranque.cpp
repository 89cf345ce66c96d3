// SPDX-License-Identifier: GPL-3.0-or-later
#include "Arranque.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

// The built-in icon lives in this static library: a program linking it must register it.
static void RegistrarIcono() {
    Q_INIT_RESOURCE(icono);
}

namespace quimbel {

const char* IdEscritorio() {
    return QUIMBEL_ID;
}

void PrepararAplicacion(QApplication& aplicacion) {
    QApplication::setApplicationName(QStringLiteral("Quimbel"));
    const QString id = QString::fromLatin1(IdEscritorio());
    QGuiApplication::setDesktopFileName(id);
    // The picture in the resources is the very file that is installed.
    RegistrarIcono();
    aplicacion.setWindowIcon(
        QIcon::fromTheme(id, QIcon(QStringLiteral(":/icono/") + id + QStringLiteral(".svg"))));
}

bool CargarTraduccionesQt(QCoreApplication& aplicacion, const QLocale& idioma) {
    if (idioma.language() != QLocale::Spanish) return false;
    auto* traductor = new QTranslator(&aplicacion);
    if (!traductor->load(QStringLiteral("qtbase_es"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete traductor;
        return false;
    }
    QCoreApplication::installTranslator(traductor);
    return true;
}

} // namespace quimbel
