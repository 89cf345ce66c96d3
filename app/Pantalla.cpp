// SPDX-License-Identifier: GPL-3.0-or-later
#include "Pantalla.h"

#include <QByteArray>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace quimbel {

namespace {

struct Retenido {
    QtMsgType tipo;
    QByteArray categoria;
    QString texto;
};

QtMessageHandler anterior = nullptr;
std::vector<Retenido> retenidos;

void Retener(QtMsgType tipo, const QMessageLogContext& contexto, const QString& texto) {
    if (tipo == QtFatalMsg) {
        std::fputs(TextoSinPantalla(NombrePantalla()).toLocal8Bit().constData(), stderr);
        std::fflush(stderr);
        // Nothing of the half-built application may run any more.
        std::_Exit(1);
    }
    retenidos.push_back({tipo, QByteArray(contexto.category ? contexto.category : "default"), texto});
}

} // namespace

QString NombrePantalla() {
    if (qEnvironmentVariable("QT_QPA_PLATFORM").startsWith(QLatin1String("wayland"))) {
        const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
        return wayland.isEmpty() ? QStringLiteral("wayland-0") : wayland;
    }
    return qEnvironmentVariable("DISPLAY");
}

QString TextoSinPantalla(const QString& nombre) {
    return QStringLiteral("quimbel: no se puede abrir la pantalla ") + nombre +
           QStringLiteral("; sin pantalla, use: xvfb-run -a quimbel\n");
}

GuardaPantalla::GuardaPantalla() {
    retenidos.clear();
    anterior = qInstallMessageHandler(Retener);
}

GuardaPantalla::~GuardaPantalla() {
    qInstallMessageHandler(anterior);
    for (const Retenido& r : retenidos) {
        const QMessageLogContext contexto(nullptr, 0, nullptr, r.categoria.constData());
        qt_message_output(r.tipo, contexto, r.texto);
    }
    retenidos.clear();
}

} // namespace quimbel
