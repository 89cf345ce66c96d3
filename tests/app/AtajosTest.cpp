// SPDX-License-Identifier: GPL-3.0-or-later
// The keyboard way to the action buttons: Ctrl+Return, Ctrl+E and Ctrl+Q do what a click
// on their button does, only while it is enabled, and leave the focus where it was.
#include <QtTest>

#include "Ventana.h"

using namespace quimbel;
using quimbel::prueba::VentanaDePrueba;

class AtajosTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void cortarComoUnClic_data();
    void cortarComoUnClic();
    void cadaPaginaSuBoton();
    void elegirSoloActivoYEnCortar();
    void salir();
};

namespace {

void Pulsar(TFormMain& f, int tecla) {
    QWidget* destino = QApplication::focusWidget() ? QApplication::focusWidget() : &f;
    QTest::keyClick(destino, static_cast<Qt::Key>(tecla), Qt::ControlModifier);
}

// What a person sees after a run: the boxes shown, the log, the size list, the focus,
// the files written.
QStringList Visto(const VentanaDePrueba& v, const TFormMain& f) {
    QStringList visto = v.dialogos.Textos();
    visto << f.MemoResultadoCortar->Lineas();
    for (int i = 0; i < f.ComboBoxSizes->count(); ++i)
        visto << f.ComboBoxSizes->itemText(i);
    visto << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString());
    visto << QDir(v.carpeta.path()).entryList(QDir::Files, QDir::Name);
    return visto.replaceInStrings(v.carpeta.path(), QStringLiteral("<carpeta>"));
}

} // namespace

void AtajosTest::cortarComoUnClic_data() {
    QTest::addColumn<QString>("tamano");
    QTest::newRow("size typed, focus still in its box") << QStringLiteral("700");
    QTest::newRow("no size") << QString();
}

void AtajosTest::cortarComoUnClic() {
    QFETCH(QString, tamano);
    QStringList vistos[2];
    for (int intento = 0; intento < 2; ++intento) {
        VentanaDePrueba v;
        TFormMain& f = v.CrearActiva();
        v.Escribir("p.avi", QByteArray(2000, 'x'));
        f.FilenameEditFicheroCortar->setText(v.Ruta("p.avi"));
        f.DirectoryEditFicheroCortar->setText(v.carpeta.path());
        // Typed and not yet confirmed: no exit handler has run on the size.
        f.ComboBoxSizes->setFocus();
        QTest::keyClicks(f.ComboBoxSizes->lineEdit(), tamano);
        if (intento == 0)
            QTest::mouseClick(f.ExplorerButtonCortar, Qt::LeftButton);
        else
            Pulsar(f, Qt::Key_Return);
        QVERIFY(!v.dialogos.cajas.empty());
        vistos[intento] = Visto(v, f);
    }
    QCOMPARE(vistos[1], vistos[0]);
    if (!tamano.isEmpty()) {
        QVERIFY(vistos[1].contains(QStringLiteral("ComboBoxSizes"))); // the focus stayed
        QVERIFY(vistos[1].contains(QStringLiteral("p.003")));         // the pieces were written
    }
}

void AtajosTest::cadaPaginaSuBoton() {
    VentanaDePrueba v;
    TFormMain& f = v.CrearActiva();
    f.PageControlQuimbel->setCurrentWidget(f.TabSheetUnir);
    f.FilenameEditFicheroUnido->setFocus();
    Pulsar(f, Qt::Key_Return);
    QCOMPARE(v.dialogos.Textos(), QStringList{QStringLiteral("¡ Debes indicar el fichero base para unir !")});

    f.PageControlQuimbel->setCurrentWidget(f.TabSheetVerificar);
    Pulsar(f, Qt::Key_Enter); // the keypad's
    QCOMPARE(v.dialogos.Textos().constLast(), QStringLiteral("¡ Debes indicar el fichero a verificar !"));

    // A disabled button is not clicked by its shortcut either.
    for (QCheckBox* c :
         {f.CheckBoxMostrarErrorCrc, f.CheckBoxMostrarInexistentes, f.CheckBoxMostrarCorrectos})
        c->click();
    QVERIFY(!f.ExplorerButtonVerificar->isEnabled());
    const size_t cajas = v.dialogos.cajas.size();
    Pulsar(f, Qt::Key_Return);
    QCOMPARE(v.dialogos.cajas.size(), cajas);

    // On "Reparar", its check, never the hidden "Cortar" page's split.
    v.Escribir("p.avi", QByteArray(30, 'p'));
    f.FilenameEditFicheroCortar->setText(v.Ruta("p.avi"));
    f.ComboBoxSizes->setEditText(QStringLiteral("10"));
    f.PageControlQuimbel->setCurrentWidget(f.TabSheetReparar);
    Pulsar(f, Qt::Key_Return);
    QCOMPARE(v.dialogos.Textos().constLast(), QStringLiteral("¡ Debes indicar el fichero PAR2 !"));
    QVERIFY(!QFile::exists(v.Ruta("p.001")));

    // On "Extraer", "Volver".
    f.PageControlQuimbel->setCurrentWidget(f.TabSheetExtraer);
    Pulsar(f, Qt::Key_Return);
    QCOMPARE(f.PageControlQuimbel->currentWidget(), f.TabSheetCortar);
    QCOMPARE(v.dialogos.cajas.size(), cajas + 1);
}

void AtajosTest::elegirSoloActivoYEnCortar() {
    VentanaDePrueba v;
    TFormMain& f = v.CrearActiva();
    Pulsar(f, Qt::Key_E); // "Elegir" is disabled
    QCOMPARE(f.PageControlQuimbel->currentWidget(), f.TabSheetCortar);

    v.Escribir("p.avi", QByteArray(2500000, 'x'));
    f.ComboBoxSizes->setEditText(QStringLiteral("1000000"));
    f.AbrirFichero(v.Ruta("p.avi"));
    QVERIFY(f.ExplorerButtonCortarElegir->isEnabled());
    f.PageControlQuimbel->setCurrentWidget(f.TabSheetUnir);
    Pulsar(f, Qt::Key_E); // not on this page
    QCOMPARE(f.PageControlQuimbel->currentWidget(), f.TabSheetUnir);

    f.PageControlQuimbel->setCurrentWidget(f.TabSheetCortar);
    // An edit's own Ctrl+E (end of line) gives way to the window's.
    f.ComboBoxSizes->setFocus();
    QCOMPARE(QApplication::focusWidget(), f.ComboBoxSizes);
    Pulsar(f, Qt::Key_E);
    QCOMPARE(f.PageControlQuimbel->currentWidget(), f.TabSheetExtraer);
    QCOMPARE(f.RxCheckListBoxCortarExtraer->Cuenta(), 3);
    // The size box's exit ran as the focus left it for the list, as after a click.
    QVERIFY(f.ComboBoxSizes->findText(QStringLiteral("1000000")) >= 0);
    QVERIFY(v.dialogos.cajas.empty());
}

void AtajosTest::salir() {
    VentanaDePrueba v;
    TFormMain& f = v.CrearActiva();
    f.EditCortarNumeroPar->setFocus();
    Pulsar(f, Qt::Key_Q);
    QVERIFY(!f.isVisible());
    // Closed as "Salir" closes: the settings written.
    QVERIFY(v.Leer("Sizes.txt").startsWith("4900000\r\n"));
    QVERIFY(v.Leer("quimbel.ini").contains("WindowState=wsNormal"));
}

QTEST_MAIN(AtajosTest)
#include "AtajosTest.moc"
