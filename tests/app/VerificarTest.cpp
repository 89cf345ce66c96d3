// SPDX-License-Identifier: GPL-3.0-or-later
// The "Verificar" page, the SFV and PAR boxes of "Cortar", and the extension box.
#include <QtTest>

#include "Ventana.h"
#include "parity/Par.h"
#include "verify/Crc.h"

using namespace quimbel;
using quimbel::prueba::VentanaDePrueba;

class VerificarTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { CargarCrc(CARPETA_BIN); }
    void cleanupTestCase() { LiberarCrc(); }
    void cortarConSfvYVerificar();
    void filtrosYRenombrar();
    void extensionNoValidaVuelveALaAnterior();
    void parSinBiblioteca();
};

namespace {
// datos.bin of 25 bytes in the source box, pieces of 10 in the size box.
void FuenteDeTresTrozos(VentanaDePrueba& v, TFormMain& f) {
    v.Escribir("datos.bin", QByteArray(25, 'q'));
    f.FilenameEditFicheroCortar->setText(v.Ruta("datos.bin"));
    f.ComboBoxSizes->setEditText("10");
}
} // namespace

void VerificarTest::cortarConSfvYVerificar() {
    VentanaDePrueba v;
    TFormMain& f = v.CrearActiva();
    FuenteDeTresTrozos(v, f);
    f.CheckBoxCortarSfv->setChecked(true);
    f.ExplorerButtonCortar->click();
    const QStringList memo = f.MemoResultadoCortar->Lineas();
    QCOMPARE(memo.value(5), "Creando SFV: " + v.Ruta("datos.sfv"));
    QCOMPARE(memo.value(6), "Calculando crc: " + v.Ruta("datos.001"));
    QCOMPARE(memo.last(), QString());
    QVERIFY(v.Leer("datos.sfv").contains("datos.003 "));

    // One piece damaged, one missing.
    v.Escribir("datos.002", QByteArray(10, 'x'));
    QFile::remove(v.Ruta("datos.003"));
    f.PageControlQuimbel->setCurrentWidget(f.TabSheetVerificar);
    v.dialogos.ficheros.push_back(v.Ruta("datos.sfv"));
    f.FilenameEditFicheroVerificar->Examinar();
    f.FilenameEditFicheroVerificar->setFocus();
    f.DirectoryEditFicheroVerificar->setFocus();
    QCOMPARE(f.DirectoryEditFicheroVerificar->text(), v.Ruta(""));
    v.dialogos.cajas.clear();
    f.ExplorerButtonVerificar->click();
    QCOMPARE(f.MemoResultadoVerificar->Lineas(),
             (QStringList{"Verificando SFV: " + v.Ruta("datos.sfv"), "  Correcto: " + v.Ruta("datos.001"),
                          " Error CRC: " + v.Ruta("datos.002"), " No existe: " + v.Ruta("datos.003")}));
    QCOMPARE(v.dialogos.Textos(), QStringList{QStringLiteral("¡ Proceso finalizado !")});
}

void VerificarTest::filtrosYRenombrar() {
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    f.CheckBoxMostrarErrorCrc->click();
    f.CheckBoxMostrarInexistentes->click();
    QVERIFY(f.ExplorerButtonVerificar->isEnabled());
    f.CheckBoxMostrarCorrectos->click();
    QVERIFY(!f.ExplorerButtonVerificar->isEnabled());
    f.CheckBoxMostrarInexistentes->click();
    QVERIFY(f.ExplorerButtonVerificar->isEnabled());

    f.CheckBoxVerificarRenombrar->click();
    QVERIFY(f.EditVerificarExtension->isEnabled() && f.GroupBoxTipoExtension->isEnabled());
    QVERIFY(f.RadioButtonRenombrarLetra->isEnabled());
    f.CheckBoxVerificarRenombrar->click();
    QVERIFY(!f.EditVerificarExtension->isEnabled() && !f.GroupBoxTipoExtension->isEnabled());

    // A wrong file renamed with a letter, read from the page when its line is handled.
    f.CheckBoxMostrarErrorCrc->click();
    f.CheckBoxVerificarRenombrar->click();
    f.RadioButtonRenombrarLetra->setChecked(true);
    v.Escribir("a.001", "contenido");
    v.Escribir("l.sfv", "a.001 00000000\r\n");
    f.FilenameEditFicheroVerificar->setText(v.Ruta("l.sfv"));
    f.ExplorerButtonVerificar->click();
    QCOMPARE(f.MemoResultadoVerificar->Lineas().value(2),
             " Renombrando: " + v.Ruta("a.001") + " -> " + v.Ruta("a.001.mala"));
    QVERIFY(QFile::exists(v.Ruta("a.001.mala")));
}

void VerificarTest::extensionNoValidaVuelveALaAnterior() {
    VentanaDePrueba v;
    TFormMain& f = v.CrearActiva();
    f.PageControlQuimbel->setCurrentWidget(f.TabSheetVerificar);
    f.CheckBoxVerificarRenombrar->click();
    f.EditVerificarExtension->setFocus();
    f.EditVerificarExtension->setText(QStringLiteral("mal?"));
    f.CheckBoxMostrarCorrectos->setFocus();
    QCOMPARE(v.dialogos.Textos(), QStringList{QStringLiteral("¡ Extensión no válida !")});
    QCOMPARE(f.EditVerificarExtension->text(), QStringLiteral("mal"));
    QVERIFY(f.EditVerificarExtension->hasFocus());
    f.EditVerificarExtension->setText(QString());
    f.CheckBoxMostrarCorrectos->setFocus();
    QCOMPARE(v.dialogos.cajas.size(), size_t{1}); // an empty extension is accepted
}

void VerificarTest::parSinBiblioteca() {
    LiberarPar();
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    FuenteDeTresTrozos(v, f);
    f.CheckBoxCortarPar->setChecked(true);
    f.EditCortarNumeroPar->setText("2");
    const QString antes = QDir::currentPath();
    f.ExplorerButtonCortar->click();
    QDir::setCurrent(antes);
    QCOMPARE(f.MemoResultadoCortar->Lineas().last(), "Creando PAR: " + v.Ruta("datos.par"));
    QCOMPARE(v.dialogos.Textos(), (QStringList{QStringLiteral("¡ Error en la DLL Par.dll !"),
                                               QStringLiteral("¡ Proceso finalizado !")}));
    QCOMPARE(v.dialogos.cajas[0].titulo, QStringLiteral("Information"));
}

QTEST_MAIN(VerificarTest)
#include "VerificarTest.moc"
