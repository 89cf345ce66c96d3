// SPDX-License-Identifier: GPL-3.0-or-later
// The window during long work: while one piece or one file takes about 2 s it paints and its
// progress bar moves, but a click the user makes meanwhile waits for the end of the piece;
// the memo and the files are exactly as they would be without the slowness.
#include <QtTest>
#include <qpa/qwindowsysteminterface.h>

#include <chrono>

#include "Ventana.h"
#include "files/Avance.h"
#include "parity/Par.h"
#include "verify/Crc.h"

using namespace quimbel;
using quimbel::prueba::VentanaDePrueba;

namespace {

constexpr qint64 Mega = 1000000;

// Counts the paint events of the window's widgets.
class Pintura : public QObject {
  public:
    bool eventFilter(QObject* objeto, QEvent* evento) override {
        if (evento->type() == QEvent::Paint) ++pintadas;
        return QObject::eventFilter(objeto, evento);
    }
    int pintadas = 0;
};

// A click as the user makes it: queued by the window system, not delivered on the spot.
void ClicEncolado(QWidget* control) {
    QWindow* ventana = control->window()->windowHandle();
    const QPointF local = control->mapTo(control->window(), QPointF(control->rect().center()));
    const QPointF global = control->mapToGlobal(QPointF(control->rect().center()));
    using Sistema = QWindowSystemInterface;
    Sistema::handleMouseEvent<Sistema::AsynchronousDelivery>(ventana, local, global, Qt::LeftButton,
                                                             Qt::LeftButton, QEvent::MouseButtonPress);
    Sistema::handleMouseEvent<Sistema::AsynchronousDelivery>(ventana, local, global, Qt::NoButton,
                                                             Qt::LeftButton, QEvent::MouseButtonRelease);
}

// What the window shows during a run, sampled by a timer that runs whenever it paints.
struct Muestras {
    QList<int> valores; // of the progress bar, while shown
    int pintadas = 0;   // paint events up to the last sample
};

} // namespace

class VivaTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { CargarCrc(CARPETA_BIN); }
    void cleanupTestCase() { LiberarCrc(); }
    void init() { RalentizarAvance(std::chrono::milliseconds(100)); } // 1 MB blocks: 2 s for 20 MB
    void cleanup() { RalentizarAvance(std::chrono::milliseconds(0)); }
    void cortarPintaYLosClicsEsperan();
    void unirYVerificarPintan();
    void lasLineasDelParLleganMientrasTrabaja();
};

void VivaTest::cortarPintaYLosClicsEsperan() {
    VentanaDePrueba v;
    TFormMain& f = v.CrearActiva();
    const QByteArray datos = QByteArray(20 * Mega, 'a') + QByteArray(1000, 'b');
    v.Escribir("grande.bin", datos);
    f.FilenameEditFicheroCortar->setText(v.Ruta("grande.bin"));
    f.ComboBoxSizes->setEditText(QString::number(20 * Mega));
    Pintura pintura;
    qApp->installEventFilter(&pintura);
    Muestras m;
    QTimer muestreo;
    connect(&muestreo, &QTimer::timeout, [&] {
        if (f.ProgressBarAvance->isVisible()) m.valores << f.ProgressBarAvance->value();
        m.pintadas = pintura.pintadas;
    });
    // Half a second into the first piece the user clicks a scheme button and "Cortar".
    int valorAlCambiarEsquema = -1, valorAlPulsarCortar = -1;
    connect(f.RadioButtonCortarCA, &QRadioButton::toggled, [&] {
        valorAlCambiarEsquema = f.ProgressBarAvance->isVisible() ? f.ProgressBarAvance->value() : 0;
    });
    int pulsacionesCortar = 0;
    connect(f.ExplorerButtonCortar, &QToolButton::clicked, [&] {
        ++pulsacionesCortar;
        if (valorAlPulsarCortar == -1 && f.ProgressBarAvance->isVisible())
            valorAlPulsarCortar = f.ProgressBarAvance->value();
    });
    QTimer::singleShot(500, [&] {
        ClicEncolado(f.RadioButtonCortarCA);
        ClicEncolado(f.ExplorerButtonCortar);
    });
    muestreo.start(100);
    f.ExplorerButtonCortar->click();
    muestreo.stop();
    qApp->removeEventFilter(&pintura);
    const QStringList memo = f.MemoResultadoCortar->Lineas();

    // Painted and moving during the first piece, which is 20 MB of 20.001 MB.
    QVERIFY2(m.valores.size() >= 10, qPrintable(QString::number(m.valores.size())));
    QVERIFY(m.valores.first() < 500 && m.valores[m.valores.size() / 2] > m.valores.first());
    QVERIFY(m.pintadas >= 10);
    // The files and the memo of a normal split (the scheme taken when it started).
    QCOMPARE(v.Leer("grande.001") + v.Leer("grande.002"), datos);
    QCOMPARE(memo, (QStringList{"Creando trozos...", "Creando trozo 1 : " + v.Ruta("grande.001"),
                                "Creando trozo 2 : " + v.Ruta("grande.002"), "", ""}));
    QVERIFY(f.ProgressBarAvance->isHidden());

    // The clicks waited in the window system's queue: never handled during the piece, they are
    // once the window processes its messages again, in order: the scheme, then a new split.
    RalentizarAvance(std::chrono::milliseconds(0));
    QTRY_COMPARE(pulsacionesCortar, 2); // the test's own and the user's
    QVERIFY2(valorAlCambiarEsquema == 0 || valorAlCambiarEsquema >= 999,
             qPrintable(QString::number(valorAlCambiarEsquema)));
    QVERIFY2(valorAlPulsarCortar == -1 || valorAlPulsarCortar >= 999,
             qPrintable(QString::number(valorAlPulsarCortar)));
    QVERIFY(f.RadioButtonCortarCA->isChecked());
    QTRY_VERIFY(QFile::exists(v.Ruta("grande.fin")));
}

void VivaTest::unirYVerificarPintan() {
    VentanaDePrueba v;
    TFormMain& f = v.CrearActiva();
    v.Escribir("t.001", QByteArray(20 * Mega, 'x'));
    v.Escribir("t.002", "fin");
    v.Escribir("lista.sfv", "t.001 b5a1f4f5\r\n");
    Pintura pintura;
    qApp->installEventFilter(&pintura);
    QList<int> valores;
    int unirPulsado = -1;
    QTimer muestreo;
    connect(&muestreo, &QTimer::timeout, [&] {
        if (f.ProgressBarAvance->isVisible()) valores << f.ProgressBarAvance->value();
    });
    int pulsacionesUnir = 0;
    connect(f.ExplorerButtonUnir, &QToolButton::clicked, [&] {
        ++pulsacionesUnir;
        if (unirPulsado == -1 && f.ProgressBarAvance->isVisible()) unirPulsado = f.ProgressBarAvance->value();
    });

    f.PageControlQuimbel->setCurrentWidget(f.TabSheetUnir);
    v.dialogos.ficheros.push_back(v.Ruta("t.001"));
    f.FilenameEditFicheroUnir->Examinar();
    f.FilenameEditFicheroUnido->setText(v.Ruta("t.bin"));
    v.dialogos.reemplazos = {true}; // the second run replaces what the first wrote
    QTimer::singleShot(500, [&] { ClicEncolado(f.ExplorerButtonUnir); });
    muestreo.start(100);
    f.ExplorerButtonUnir->click();
    QVERIFY2(valores.size() >= 10, qPrintable(QString::number(valores.size())));
    QTest::qWait(200);
    QVERIFY(unirPulsado == -1 || unirPulsado >= 999);
    QCOMPARE(pulsacionesUnir, 2);
    QCOMPARE(v.dialogos.confirmaciones.size(), size_t(1));
    QCOMPARE(v.Leer("t.bin"), QByteArray(20 * Mega, 'x') + "fin");
    QCOMPARE(f.MemoResultadoUnir->Lineas().size(), 4);

    valores.clear();
    const int antes = pintura.pintadas;
    f.PageControlQuimbel->setCurrentWidget(f.TabSheetVerificar);
    f.FilenameEditFicheroVerificar->setText(v.Ruta("lista.sfv"));
    f.ExplorerButtonVerificar->click();
    muestreo.stop();
    qApp->removeEventFilter(&pintura);
    QVERIFY2(valores.size() >= 10, qPrintable(QString::number(valores.size())));
    QVERIFY(pintura.pintadas - antes >= 10);
    QCOMPARE(f.MemoResultadoVerificar->Lineas(),
             (QStringList{"Verificando SFV: " + v.Ruta("lista.sfv"), " Error CRC: " + v.Ruta("t.001")}));
}

void VivaTest::lasLineasDelParLleganMientrasTrabaja() {
    RalentizarAvance(std::chrono::milliseconds(0));
    CargarPar(CARPETA_PAR_LENTO);
    VentanaDePrueba v;
    TFormMain& f = v.CrearActiva();
    v.Escribir("p.bin", QByteArray(30, 'p'));
    f.FilenameEditFicheroCortar->setText(v.Ruta("p.bin"));
    f.ComboBoxSizes->setEditText("10");
    f.CheckBoxCortarPar->setChecked(true);
    // Sampled only where the window paints: during the job, at each of its texts.
    QStringList ultimas;
    QList<int> valores;
    QTimer muestreo;
    connect(&muestreo, &QTimer::timeout, [&] {
        ultimas << f.MemoResultadoCortar->Lineas().value(f.MemoResultadoCortar->Lineas().size() - 1);
        valores << f.ProgressBarAvance->value();
    });
    muestreo.start(50);
    f.ExplorerButtonCortar->click();
    muestreo.stop();
    LiberarPar();
    QVERIFY2(ultimas.contains(QStringLiteral("Calculando: 50 %")), qPrintable(ultimas.join('|')));
    // The job's share is half of the run's bytes (the pieces, then the job): 50 % of it is 750.
    QVERIFY(valores.contains(750));
    QCOMPARE(f.MemoResultadoCortar->Lineas().mid(6),
             (QStringList{"Creando PAR: " + v.Ruta("p.par"), "Calculando: 0 %", "Calculando: 50 %",
                          "Calculando: 100 %"}));
}

QTEST_MAIN(VivaTest)
#include "VivaTest.moc"
