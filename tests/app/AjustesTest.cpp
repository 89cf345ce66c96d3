// SPDX-License-Identifier: GPL-3.0-or-later
// Window placement in the ini file and the size list in Sizes.txt, across starts.
#include <QtTest>

#include "Ventana.h"

using namespace quimbel;
using quimbel::prueba::VentanaDePrueba;

class AjustesTest : public QObject {
    Q_OBJECT
  private slots:
    void primerArranqueCentrado();
    void sinSeccionMain();
    void faltaUnaClave();
    void estadoMalEscrito();
    void valorNoEntero();
    void cierreMaximizada();
    void listaDeTamanos();
    void tamanosConLineaVaciaYPalabra();
    void ficherosQueNoSePuedenEscribir();
    void errorDeAplicacionConPunto();
};

void AjustesTest::primerArranqueCentrado() {
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    QCOMPARE(f.pos(), QPoint(273, 159));
    QCOMPARE(f.size(), QSize(478, 450));
    QCOMPARE(f.FicheroIni(), v.Ruta("quimbel.ini"));
    QCOMPARE(f.FicheroSizes(), v.Ruta("Sizes.txt"));
    QCOMPARE(v.Leer("quimbel.ini"), QByteArray("[Main]\r\nFormLeft=273\r\nFormTop=159\r\nFormHeight=450\r\n"
                                               "FormWidth=478\r\nWindowState=wsNormal\r\n"));
    QVERIFY(v.dialogos.cajas.empty());
}

void AjustesTest::sinSeccionMain() {
    VentanaDePrueba v;
    v.Escribir("quimbel.ini", "[Otra]\r\nclave=1\r\n");
    TFormMain& f = v.Crear();
    QCOMPARE(f.pos(), QPoint(306, 116));
    QCOMPARE(f.size(), QSize(478, 450));
    QCOMPARE(v.Leer("quimbel.ini"),
             QByteArray("[Otra]\r\nclave=1\r\n[Main]\r\nFormLeft=306\r\nFormTop=116\r\n"
                        "FormHeight=450\r\nFormWidth=478\r\nWindowState=wsNormal\r\n"));
}

void AjustesTest::faltaUnaClave() {
    VentanaDePrueba v;
    v.areas = {QRect(-100, -100, 1124, 868)}; // a screen reaching above the origin
    v.Escribir("quimbel.ini",
               "[main]\r\nformleft=10\r\nFORMTOP=-20\r\nFormHeight=400\r\nWindowState=wsNormal\r\n");
    TFormMain& f = v.Crear();
    QCOMPARE(f.pos(), QPoint(10, -20));
    QCOMPARE(f.size(), QSize(478, 400));
    QCOMPARE(v.Leer("quimbel.ini"), QByteArray("[main]\r\nformleft=10\r\nFORMTOP=-20\r\nFormHeight=400\r\n"
                                               "WindowState=wsNormal\r\nFormWidth=478\r\n"));
}

void AjustesTest::estadoMalEscrito() {
    VentanaDePrueba v;
    v.Escribir("quimbel.ini", "[Main]\r\nFormLeft=1\r\nFormTop=2\r\nFormHeight=400\r\nFormWidth=500\r\n"
                              "WindowState=wsmaximized\r\n");
    TFormMain& f = v.Crear();
    QVERIFY(!f.windowState().testFlag(Qt::WindowMaximized));
    VentanaDePrueba w;
    w.Escribir("quimbel.ini", "[Main]\r\nWindowState=wsMaximized\r\n");
    QVERIFY(w.Crear().windowState().testFlag(Qt::WindowMaximized));
}

void AjustesTest::valorNoEntero() {
    VentanaDePrueba v;
    v.Escribir("quimbel.ini", "[Main]\r\nFormLeft=abc\r\nFormTop=20\r\nFormHeight=400\r\nFormWidth=500\r\n");
    v.Escribir("Sizes.txt", "123\r\n");
    TFormMain& f = v.Crear();
    QCOMPARE(v.dialogos.cajas.size(), size_t{1});
    QCOMPARE(v.dialogos.cajas[0].titulo, QStringLiteral("Quimbel"));
    QCOMPARE(v.dialogos.cajas[0].icono, ServicioDialogos::Icono::Error);
    QCOMPARE(v.dialogos.cajas[0].texto, QStringLiteral("'abc' is not a valid integer value."));
    // The rest of the start-up still runs.
    QCOMPARE(f.y(), 20);
    QCOMPARE(f.size(), QSize(500, 400));
    QCOMPARE(f.FicheroSizes(), v.Ruta("Sizes.txt"));
    QCOMPARE(f.ComboBoxSizes->count(), 1);
    QVERIFY(v.Leer("quimbel.ini").endsWith("WindowState=wsNormal\r\n"));
}

void AjustesTest::cierreMaximizada() {
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    f.showMaximized();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QTRY_VERIFY(f.isMaximized());
    f.close();
    const QByteArray ini = v.Leer("quimbel.ini");
    QVERIFY2(ini.contains("WindowState=wsMaximized\r\n"), ini.constData());
    QVERIFY(ini.contains(QStringLiteral("FormWidth=%1\r\n").arg(f.width()).toLatin1()));

    // Minimized from normal: what it had before.
    VentanaDePrueba w;
    TFormMain& g = w.Crear();
    g.show();
    QVERIFY(QTest::qWaitForWindowExposed(&g));
    g.showMinimized();
    g.close();
    QVERIFY(w.Leer("quimbel.ini").contains("WindowState=wsNormal\r\n"));
    QVERIFY(w.Leer("quimbel.ini").contains("FormWidth=478\r\n"));
}

void AjustesTest::listaDeTamanos() {
    VentanaDePrueba v;
    {
        TFormMain& f = v.Crear();
        f.close();
    }
    QCOMPARE(v.Leer("Sizes.txt"), QByteArray("4900000\r\n5000000\r\n9000000\r\n10000000\r\n"));
    TFormMain& g = v.Crear();
    QStringList items;
    for (int i = 0; i < g.ComboBoxSizes->count(); ++i)
        items << g.ComboBoxSizes->itemText(i);
    QCOMPARE(items, (QStringList{"10000000", "4900000", "5000000", "9000000"}));
    QCOMPARE(g.ComboBoxSizes->currentText(), QString());
}

void AjustesTest::tamanosConLineaVaciaYPalabra() {
    VentanaDePrueba v;
    v.Escribir("Sizes.txt", "700\nhola\r\n\r\n5");
    TFormMain& f = v.Crear();
    QStringList items;
    for (int i = 0; i < f.ComboBoxSizes->count(); ++i)
        items << f.ComboBoxSizes->itemText(i);
    QCOMPARE(items, (QStringList{"", "5", "700", "hola"}));
}

void AjustesTest::ficherosQueNoSePuedenEscribir() {
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    // Both files become folders: neither can be written.
    QFile::remove(v.Ruta("quimbel.ini"));
    QDir(v.carpeta.path()).mkdir(QStringLiteral("quimbel.ini"));
    QDir(v.carpeta.path()).mkdir(QStringLiteral("Sizes.txt"));
    f.show();
    QVERIFY(f.close());
    QCOMPARE(v.dialogos.Textos(),
             (QStringList{QStringLiteral("Cannot create file %1.").arg(v.Ruta("Sizes.txt")),
                          QStringLiteral("Unable to write to %1.").arg(v.Ruta("quimbel.ini"))}));
    QVERIFY2(!f.isVisible(), "the window closes all the same");
}

void AjustesTest::errorDeAplicacionConPunto() {
    QCOMPARE(ConPuntoFinal(QStringLiteral("Error")), QStringLiteral("Error."));
    QCOMPARE(ConPuntoFinal(QStringLiteral("Hecho.")), QStringLiteral("Hecho."));
    QCOMPARE(ConPuntoFinal(QStringLiteral("¡ Ya !")), QStringLiteral("¡ Ya !"));
    QCOMPARE(ConPuntoFinal(QStringLiteral("a,")), QStringLiteral("a,"));
    QCOMPARE(ConPuntoFinal(QStringLiteral("a/")), QStringLiteral("a/."));
}

QTEST_MAIN(AjustesTest)
#include "AjustesTest.moc"
