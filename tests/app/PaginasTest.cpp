// SPDX-License-Identifier: GPL-3.0-or-later
// The window as it starts: its pages, controls, texts and initial states.
#include <QApplication>
#include <QClipboard>
#include <QTabBar>
#include <QtTest>

#include "Ventana.h"

using namespace quimbel;
using quimbel::prueba::VentanaDePrueba;

class PaginasTest : public QObject {
    Q_OBJECT
  private slots:
    void estadoInicial();
    void textosYFiltros();
    void cajasNoEscribibles();
    void memosCrecenConLaVentana();
    void dialogoDeCarpeta();
};

void PaginasTest::estadoInicial() {
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    QCOMPARE(f.windowTitle(), QStringLiteral("Quimbel v0.2.492"));
    QTabWidget* paginas = f.PageControlQuimbel;
    QCOMPARE(paginas->currentWidget(), f.TabSheetCortar);
    QVERIFY(!paginas->isTabVisible(paginas->indexOf(f.TabSheetExtraer)));
    QVERIFY(paginas->isTabVisible(paginas->indexOf(f.TabSheetVerificar)));
    QVERIFY(!f.ExplorerButtonCortarElegir->isEnabled());
    f.show();
    QVERIFY(!f.ExplorerButtonCancelar->isVisible());
    QVERIFY(f.ExplorerButtonSalir->isVisible());
    // The hidden page can still be made active.
    paginas->setCurrentWidget(f.TabSheetExtraer);
    QVERIFY(f.TabSheetExtraer->isVisible());

    QVERIFY(f.RadioButtonCortarNormal->isChecked());
    QVERIFY(!f.CheckBoxCortarSfv->isChecked() && !f.CheckBoxCortarPar->isChecked());
    QVERIFY(f.CheckBoxMostrarErrorCrc->isChecked() && f.CheckBoxMostrarInexistentes->isChecked() &&
            f.CheckBoxMostrarCorrectos->isChecked());
    QVERIFY(!f.CheckBoxVerificarRenombrar->isChecked());
    QCOMPARE(f.EditVerificarExtension->text(), QStringLiteral("mal"));
    QVERIFY(!f.EditVerificarExtension->isEnabled());
    QVERIFY(!f.GroupBoxTipoExtension->isEnabled());
    QVERIFY(f.RadioButtonRenombrarNumero->isChecked());
    QVERIFY(f.LabelTamFicUnidoTeoricoDes->isHidden() && f.LabelTamFicUnidoTeorico->isHidden());

    QStringList items;
    for (int i = 0; i < f.ComboBoxSizes->count(); ++i)
        items << f.ComboBoxSizes->itemText(i);
    QCOMPARE(items, (QStringList{"4900000", "5000000", "9000000", "10000000"}));
    QCOMPARE(f.ComboBoxSizes->currentText(), QString());
    QCOMPARE(f.MemoResultadoCortar->Lineas(), QStringList{QString()});
    QVERIFY(f.MemoResultadoUnir->Lineas().isEmpty());
    QCOMPARE(f.EditCortarNumeroPar->text(), QString());
}

void PaginasTest::textosYFiltros() {
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    const QList<QPair<TExplorerButton*, QString>> botones{
        {f.ExplorerButtonCortar, "  Cortar"},        {f.ExplorerButtonCortarElegir, "  Elegir"},
        {f.ExplorerButtonUnir, "   Unir"},           {f.ExplorerButtonVerificar, " Verificar"},
        {f.ExplorerButtonExtraerTodos, "  Todos"},   {f.ExplorerButtonExtraerNinguno, " Ninguno"},
        {f.ExplorerButtonExtraerVolver, "  Volver"}, {f.ExplorerButtonSalir, "  Salir"},
        {f.ExplorerButtonCancelar, "Cancelar"}};
    for (const auto& [boton, texto] : botones) {
        QCOMPARE(boton->text(), texto);
        QCOMPARE(boton->size(), QSize(90, 36));
        QCOMPARE(boton->focusPolicy(), Qt::NoFocus);
    }
    QCOMPARE(f.ExplorerButtonSalir->toolTip(), QStringLiteral("Salir del programa"));
    QCOMPARE(f.RadioButtonCortarCA->text(), QStringLiteral("CortaArchivos (1..N-1..fin)"));
    QCOMPARE(f.RadioButtonCortarHacha->text(), QStringLiteral("Hacha (0..N-1)"));

    QCOMPARE(f.FilenameEditFicheroCortar->Opciones().titulo,
             QStringLiteral("Seleccionar fichero para cortar"));
    QCOMPARE(f.FilenameEditFicheroCortar->Edit()->toolTip(), QStringLiteral("Fichero a Cortar"));
    QCOMPARE(f.FilenameEditFicheroCortar->Boton()->toolTip(), QStringLiteral("Seleccionar fichero a Cortar"));
    QCOMPARE(
        f.FilenameEditFicheroUnir->Opciones().filtro,
        QStringLiteral("CortaArchivos (*.fin)|*.fin|Estandar (*.001)|*.001|Hacha (*.0)|*.0|Todos (*.*)|*.*"));
    QCOMPARE(f.FilenameEditFicheroUnir->Opciones().titulo, QStringLiteral("Seleccionar fichero a unir"));
    QCOMPARE(f.FilenameEditFicheroUnido->Opciones().filtro,
             QStringLiteral("Avi (*.avi)|*.avi|Mpeg (*.mpg)|*.mpg|Todos (*.*)|*.*"));
    QVERIFY(f.FilenameEditFicheroUnido->Opciones().guardar);
    QCOMPARE(f.FilenameEditFicheroUnido->Opciones().titulo, QStringLiteral("Introducir fichero a crear"));
    QCOMPARE(f.FilenameEditFicheroVerificar->Opciones().filtro, QStringLiteral("___ _____ (*.sfv)|*.sfv"));
    QCOMPARE(f.FilenameEditFicheroVerificar->Opciones().titulo,
             QStringLiteral("Seleccionar fichero SFV a verificar"));
    QCOMPARE(f.DirectoryEditFicheroCortar->TextoDialogo(), QStringLiteral("Carpeta destino para los trozos"));
    QCOMPARE(f.DirectoryEditFicheroVerificar->TextoDialogo(),
             QStringLiteral("Carpeta origen de los ficheros"));
    // "*.*" matches names without a dot too.
    QCOMPARE(FiltroQt(QStringLiteral("Todos (*.*)|*.*|Hacha (*.0)|*.0")),
             QStringLiteral("Todos (*.*) (*);;Hacha (*.0) (*.0)"));
}

void PaginasTest::cajasNoEscribibles() {
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    f.show();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QApplication::clipboard()->setText(QStringLiteral("/tmp/pegado"));
    for (TFilenameEdit* caja :
         {f.FilenameEditFicheroCortar, f.FilenameEditFicheroUnir, f.FilenameEditFicheroVerificar}) {
        f.PageControlQuimbel->setCurrentWidget(caja->parentWidget());
        caja->setText(QStringLiteral("/tmp/previo"));
        caja->setFocus();
        QVERIFY(caja->Edit()->hasFocus());
        QTest::keyClicks(caja->Edit(), QStringLiteral("abc"));
        QTest::keyClick(caja->Edit(), Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(caja->Edit(), Qt::Key_Backspace);
        caja->Edit()->selectAll();
        QTest::keyClick(caja->Edit(), Qt::Key_X, Qt::ControlModifier);
        QTest::keyClick(caja->Edit(), Qt::Key_Insert, Qt::ShiftModifier);
        QTest::keyClick(caja->Edit(), Qt::Key_Delete, Qt::ShiftModifier);
        QTest::mouseClick(caja->Edit(), Qt::MiddleButton);
        QCOMPARE(caja->text(), QStringLiteral("/tmp/previo"));
    }
    // The destination box of the join is typable.
    f.PageControlQuimbel->setCurrentWidget(f.TabSheetUnir);
    f.FilenameEditFicheroUnido->setFocus();
    f.FilenameEditFicheroUnido->setText(QString()); // leaving the base box proposed a name
    QTest::keyClicks(f.FilenameEditFicheroUnido->Edit(), QStringLiteral("x.avi"));
    QCOMPARE(f.FilenameEditFicheroUnido->text(), QStringLiteral("x.avi"));
}

void PaginasTest::memosCrecenConLaVentana() {
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    const QSize antes = f.MemoResultadoCortar->size();
    f.resize(f.width() + 200, f.height() + 150);
    QTRY_VERIFY(f.MemoResultadoCortar->height() > antes.height() + 100);
    QVERIFY(f.MemoResultadoCortar->width() > antes.width() + 150);
    f.resize(100, 100);
    QTRY_VERIFY(f.PageControlQuimbel->width() >= 470);
    QVERIFY(f.PageControlQuimbel->height() >= 330);
}

void PaginasTest::dialogoDeCarpeta() {
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    v.dialogos.carpetas.push_back(QStringLiteral("/tmp/elegida"));
    f.DirectoryEditFicheroCortar->Examinar();
    QCOMPARE(f.DirectoryEditFicheroCortar->text(), QStringLiteral("/tmp/elegida"));
    f.DirectoryEditFicheroCortar->Examinar(); // cancelled: nothing changes
    QCOMPARE(f.DirectoryEditFicheroCortar->text(), QStringLiteral("/tmp/elegida"));
    QCOMPARE(v.dialogos.textosCarpeta.first(), QStringLiteral("Carpeta destino para los trozos"));
}

QTEST_MAIN(PaginasTest)
#include "PaginasTest.moc"
