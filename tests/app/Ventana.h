// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A main window over a temporary program folder, with the test dialog service.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "DialogosPrueba.h"
#include "app/FormMain.h"

namespace quimbel::prueba {

struct VentanaDePrueba {
    QTemporaryDir carpeta;
    DialogosPrueba dialogos;
    std::unique_ptr<TFormMain> form;
    // The screens' available areas; none: the one screen the window is centred on.
    QList<QRect> areas;

    QString Ruta(const QString& nombre) const { return carpeta.path() + QLatin1Char('/') + nombre; }

    // Builds the window (and runs FormCreate unless told not to).
    TFormMain& Crear(bool formCreate = true, QSize pantalla = QSize(1024, 768)) {
        EntornoPrograma e;
        e.carpetaEjecutable = carpeta.path() + QLatin1Char('/');
        e.nombreEjecutable = QStringLiteral("quimbel");
        e.pantalla = pantalla;
        e.areasPantalla = areas.isEmpty() ? QList<QRect>{QRect(QPoint(0, 0), pantalla)} : areas;
        form = std::make_unique<TFormMain>(e, dialogos);
        if (formCreate) form->FormCreate();
        return *form;
    }

    // The window built, shown and active, so that focus moves run the exit handlers.
    TFormMain& CrearActiva() {
        TFormMain& f = Crear();
        f.show();
        if (!QTest::qWaitForWindowActive(&f)) qWarning("window not active");
        return f;
    }

    void Escribir(const QString& nombre, const QByteArray& contenido) const {
        QFile f(Ruta(nombre));
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(contenido);
    }
    QByteArray Leer(const QString& nombre) const {
        QFile f(Ruta(nombre));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
};

} // namespace quimbel::prueba
