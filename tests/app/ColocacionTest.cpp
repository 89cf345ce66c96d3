// SPDX-License-Identifier: GPL-3.0-or-later
// The saved placement brought into the screens there are: kept where it fits, moved and
// shrunk into the screen it belongs on where it does not; and the window opening there.
#include <QtTest>

#include "Ventana.h"
#include "app/Colocacion.h"

using namespace quimbel;
using quimbel::prueba::VentanaDePrueba;

class ColocacionTest : public QObject {
    Q_OBJECT
  private slots:
    void colocar_data();
    void colocar();
    void ventanaFueraDeLaPantalla();
};

void ColocacionTest::colocar_data() {
    QTest::addColumn<QRect>("guardada");
    QTest::addColumn<QList<QRect>>("areas");
    QTest::addColumn<QRect>("esperada");
    const QSize minimo(470, 368);
    const QRect unica(0, 0, 1920, 1040);
    const QList<QRect> dos{unica, QRect(1920, 0, 1280, 1024)};
    QTest::newRow("fits") << QRect(100, 50, 478, 450) << QList<QRect>{unica} << QRect(100, 50, 478, 450);
    QTest::newRow("across two screens") << QRect(1700, 100, 600, 450) << dos << QRect(1700, 100, 600, 450);
    QTest::newRow("second screen unplugged")
        << QRect(2500, 300, 478, 450) << QList<QRect>{unica} << QRect(1442, 300, 478, 450);
    QTest::newRow("off the top and left")
        << QRect(-300, -40, 478, 450) << QList<QRect>{unica} << QRect(0, 0, 478, 450);
    QTest::newRow("larger than the screen after a scale change")
        << QRect(200, 100, 2400, 1500) << QList<QRect>{QRect(0, 0, 1280, 690)} << QRect(0, 0, 1280, 690);
    QTest::newRow("below the least size")
        << QRect(10, 10, 47, 27) << QList<QRect>{unica} << QRect(QPoint(10, 10), minimo);
    QTest::newRow("under a panel at the top")
        << QRect(50, 0, 478, 450) << QList<QRect>{QRect(0, 32, 1024, 736)} << QRect(50, 32, 478, 450);
    QTest::newRow("partly on the second screen, mostly off it")
        << QRect(3000, 900, 478, 450) << dos << QRect(2722, 574, 478, 450);
    QTest::newRow("on no screen: the nearest")
        << QRect(-5000, 200, 478, 450) << QList<QRect>{QRect(0, 0, 1024, 768), QRect(-1280, 0, 1280, 1024)}
        << QRect(-1280, 200, 478, 450);
    QTest::newRow("a screen smaller than the least size")
        << QRect(100, 100, 478, 450) << QList<QRect>{QRect(0, 0, 400, 300)} << QRect(QPoint(0, 0), minimo);
}

void ColocacionTest::colocar() {
    QFETCH(QRect, guardada);
    QFETCH(QList<QRect>, areas);
    QFETCH(QRect, esperada);
    QCOMPARE(Colocar(guardada, areas, QSize(470, 368)), esperada);
}

void ColocacionTest::ventanaFueraDeLaPantalla() {
    VentanaDePrueba v;
    v.Escribir("quimbel.ini", "[Main]\r\nFormLeft=3000\r\nFormTop=2000\r\nFormHeight=27\r\nFormWidth=47\r\n"
                              "WindowState=wsNormal\r\n");
    TFormMain& f = v.Crear();
    const QSize minimo = f.minimumSizeHint();
    QCOMPARE(f.size(), minimo);
    QCOMPARE(f.pos(), QPoint(1024 - minimo.width(), 768 - minimo.height()));
    QVERIFY(v.dialogos.cajas.empty());
    // Where it fits, the placement read is the placement shown.
    VentanaDePrueba w;
    w.Escribir("quimbel.ini", "[Main]\r\nFormLeft=30\r\nFormTop=20\r\nFormHeight=500\r\nFormWidth=600\r\n");
    TFormMain& g = w.Crear();
    QCOMPARE(QRect(g.pos(), g.size()), QRect(30, 20, 600, 500));
}

QTEST_MAIN(ColocacionTest)
#include "ColocacionTest.moc"
