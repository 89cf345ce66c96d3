// SPDX-License-Identifier: GPL-3.0-or-later
// An error that no handler catches ends only that handler and is shown in the
// application's box titled "Quimbel".
#include <QtTest>
#include <cstdio>
#include <stdexcept>
#include <unistd.h>

#include "Ventana.h"
#include "app/Aplicacion.h"

using namespace quimbel;
using quimbel::prueba::VentanaDePrueba;

namespace {
class Lanzador : public QObject {
  public:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) throw std::runtime_error("Cannot create file /x/Sizes.txt");
        return QObject::event(e);
    }
};
} // namespace

class AplicacionTest : public QObject {
    Q_OBJECT
  private slots:
    void errorNoCapturado() {
        VentanaDePrueba v;
        TFormMain& f = v.Crear();
        auto* app = static_cast<Aplicacion*>(QCoreApplication::instance());
        app->PonerManejadorError([&](const QString& texto) { f.ErrorAplicacion(texto); });
        Lanzador l;
        QEvent evento(QEvent::User);
        QCoreApplication::sendEvent(&l, &evento);
        QCOMPARE(v.dialogos.Textos(), QStringList{QStringLiteral("Cannot create file /x/Sizes.txt.")});
        QCOMPARE(v.dialogos.cajas[0].titulo, QStringLiteral("Quimbel"));
        QCOMPARE(v.dialogos.cajas[0].icono, ServicioDialogos::Icono::Error);
        // The application goes on.
        f.ExplorerButtonCortar->click();
        QCOMPARE(v.dialogos.Textos().size(), 2);
    }

    // A session ends (SIGTERM) while a run waits on its final box: the run ends as it would,
    // later boxes are not shown, the window closes and keeps its settings; settings that cannot
    // be written are one line on standard error and exit status 1.
    void senalConUnaCajaAbierta() {
        VentanaDePrueba v;
        TFormMain& f = v.CrearActiva();
        v.Escribir("f.bin", QByteArray(25, 'y'));
        f.FilenameEditFicheroCortar->setText(v.Ruta("f.bin"));
        f.ComboBoxSizes->setEditText("10");
        // Sizes.txt cannot be written where a folder stands.
        QVERIFY(QDir(v.carpeta.path()).mkdir("Sizes.txt"));
        v.dialogos.alMostrar = [&](const prueba::Caja& caja) {
            if (caja.texto == QStringLiteral("¡ Proceso finalizado !")) f.TerminarPorSenal();
        };
        const QString errores = v.Ruta("errores");
        const int guardado = dup(2);
        FILE* nuevo = std::freopen(qPrintable(errores), "w", stderr);
        QVERIFY(nuevo != nullptr);
        f.ExplorerButtonCortar->click();
        std::fflush(stderr);
        dup2(guardado, 2);
        close(guardado);
        QVERIFY(!f.isVisible());
        QCOMPARE(f.CodigoSalida(), 1);
        QCOMPARE(v.Leer("f.003"), QByteArray(5, 'y'));
        QCOMPARE(v.dialogos.Textos(), QStringList{QStringLiteral("¡ Proceso finalizado !")});
        QVERIFY(v.dialogos.sinMostrar.isEmpty());
        QCOMPARE(v.Leer("errores"), ("quimbel: Cannot create file " + v.Ruta("Sizes.txt") + ".\n").toUtf8());
        QVERIFY(v.Leer("quimbel.ini").contains("WindowState=wsNormal"));
    }

    // The real boxes and dialogs close as Cancel when nobody can answer them.
    void dialogosRealesSeCierranComoCancelar() {
        DialogosQt dialogos;
        QTimer::singleShot(50, [&] { dialogos.Terminar(); });
        QCOMPARE(dialogos.Mensaje(ServicioDialogos::Icono::Error, "Error", "¿ Seguro ?", true),
                 Respuesta::Cancelar);
        QCOMPARE(dialogos.Mensaje(ServicioDialogos::Icono::Informacion, "Information", "x", false),
                 Respuesta::Si);
        QVERIFY(!dialogos.ElegirFichero({"Fichero", "Todos (*.*)|*.*", "", false}));
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }
};

int main(int argc, char** argv) {
    Aplicacion app(argc, argv);
    AplicacionTest prueba;
    return QTest::qExec(&prueba, argc, argv);
}
#include "AplicacionTest.moc"
