// SPDX-License-Identifier: GPL-3.0-or-later
// The "Unir" page: the analysis of the chosen piece, its labels, the proposal and the join.
#include <QtTest>

#include "Ventana.h"

using namespace quimbel;
using quimbel::prueba::VentanaDePrueba;

class UnirTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void numeradoDeLaEleccionALaUnion();
    void analisisFallidoConservaElPlan();
    void hachaDaElNombreDelDestino();
    void tamanosDistintosYTeorico();
    void lasComillasSonCosaDeLasCajas();
    void unaPreguntaAntesDeReemplazar();
    void unHuecoSeDiceConLasEtiquetasPuestas();
};

namespace {

void Elegir(VentanaDePrueba& v, TFormMain& f, const QString& nombre) {
    v.dialogos.ficheros.push_back(v.Ruta(nombre));
    f.FilenameEditFicheroUnir->Examinar();
}
} // namespace

void UnirTest::numeradoDeLaEleccionALaUnion() {
    VentanaDePrueba v;
    TFormMain& f = v.CrearActiva();
    f.PageControlQuimbel->setCurrentWidget(f.TabSheetUnir);

    v.Escribir("pelicula.001", QByteArray(4000, 'a'));
    v.Escribir("pelicula.002", QByteArray(4000, 'b'));
    v.Escribir("pelicula.003", QByteArray(1500, 'c'));
    Elegir(v, f, "pelicula.001");
    QCOMPARE(f.FilenameEditFicheroUnir->text(), v.Ruta("pelicula.001"));
    QCOMPARE(f.LabelTamFicUnir->text(), QStringLiteral("4,000"));
    QCOMPARE(f.LabelNum_TrozosUnir->text(), QStringLiteral("3"));
    QCOMPARE(f.LabelTamFicUnido->text(), QStringLiteral("9,500"));
    QVERIFY(f.LabelTamFicUnidoTeorico->isHidden());
    QVERIFY(v.dialogos.cajas.empty());

    f.FilenameEditFicheroUnir->setFocus();
    f.FilenameEditFicheroUnido->setFocus();
    QCOMPARE(f.FilenameEditFicheroUnido->text(), v.Ruta("pelicula.avi"));
    f.ExplorerButtonUnir->click();
    QCOMPARE(v.Leer("pelicula.avi"), QByteArray(4000, 'a') + QByteArray(4000, 'b') + QByteArray(1500, 'c'));
    QCOMPARE(f.MemoResultadoUnir->Lineas(),
             (QStringList{"Uniendo trozos...", "Uniendo trozo 1 : " + v.Ruta("pelicula.001"),
                          "Uniendo trozo 2 : " + v.Ruta("pelicula.002"),
                          "Uniendo trozo 3 : " + v.Ruta("pelicula.003"), ""}));
    QCOMPARE(v.dialogos.Textos(), QStringList{QStringLiteral("¡ Proceso finalizado !")});
}

void UnirTest::analisisFallidoConservaElPlan() {
    VentanaDePrueba v;
    TFormMain& f = v.CrearActiva();
    f.PageControlQuimbel->setCurrentWidget(f.TabSheetUnir);

    v.Escribir("p.001", "uno");
    v.Escribir("p.002", "dos");
    v.Escribir("p.avi", "no es un trozo");
    Elegir(v, f, "p.001");
    Elegir(v, f, "p.avi");
    QCOMPARE(v.dialogos.Textos(),
             QStringList{"¡ Error obteniendo la numeración del fichero inicial " + v.Ruta("p.avi") + " !"});
    QCOMPARE(f.FilenameEditFicheroUnir->text(), v.Ruta("p.001"));
    QCOMPARE(f.LabelNum_TrozosUnir->text(), QStringLiteral("2"));
    f.FilenameEditFicheroUnido->setText(v.Ruta("junto"));
    f.ExplorerButtonUnir->click();
    QCOMPARE(v.Leer("junto"), QByteArray("unodos"));
    // Without any plan, "Unir" finds nothing to join.
    VentanaDePrueba w;
    TFormMain& g = w.Crear();
    g.FilenameEditFicheroUnido->setText(w.Ruta("x"));
    g.ExplorerButtonUnir->click();
    QCOMPARE(w.dialogos.Textos(), QStringList{QStringLiteral("¡ Debes indicar el fichero base para unir !")});
    QVERIFY(!QFile::exists(w.Ruta("x")));
}

void UnirTest::hachaDaElNombreDelDestino() {
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    v.Escribir("datos.bin", QByteArray("0123456789abcdefghijklmnopqrst"));
    f.FilenameEditFicheroCortar->setText(v.Ruta("datos.bin"));
    QDir(v.carpeta.path()).mkdir("trozos");
    f.DirectoryEditFicheroCortar->setText(v.Ruta("trozos"));
    f.ComboBoxSizes->setEditText("12");
    f.RadioButtonCortarHacha->setChecked(true);
    f.ExplorerButtonCortar->click();
    Elegir(v, f, "trozos/datos.0");
    QCOMPARE(f.FilenameEditFicheroUnido->text(), QStringLiteral("\"datos.bin\""));
    QCOMPARE(f.LabelNum_TrozosUnir->text(), QStringLiteral("3"));
    QCOMPARE(f.LabelTamFicUnir->text(), QStringLiteral("12"));
    QCOMPARE(f.LabelTamFicUnido->text(), QStringLiteral("30"));
    f.ExplorerButtonUnir->click();
    // A name without a folder goes beside the pieces.
    QCOMPARE(v.Leer("trozos/datos.bin"), QByteArray("0123456789abcdefghijklmnopqrst"));
}

void UnirTest::tamanosDistintosYTeorico() {
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    v.Escribir("t.001", QByteArray(10, 'x'));
    v.Escribir("t.002", QByteArray(9, 'x'));
    v.Escribir("t.003", QByteArray(10, 'x'));
    v.Escribir("t.004", QByteArray(3, 'x'));
    Elegir(v, f, "t.001");
    QCOMPARE(v.dialogos.Textos(), QStringList{"¡ Atención ! El trozo 2 en el fichero " + v.Ruta("t.002") +
                                              " tiene tamaño distinto al primero."});
    QCOMPARE(v.dialogos.cajas[0].titulo, QStringLiteral("Information"));
    QCOMPARE(f.LabelTamFicUnido->text(), QStringLiteral("32"));
    QVERIFY(!f.LabelTamFicUnidoTeorico->isHidden());
    QVERIFY(!f.LabelTamFicUnidoTeoricoDes->isHidden());
    QCOMPARE(f.LabelTamFicUnidoTeorico->text(), QStringLiteral("33"));
    // Cancelling the dialog analyses the box's file again, boxes included.
    f.FilenameEditFicheroUnir->Examinar();
    QCOMPARE(v.dialogos.cajas.size(), size_t{2});
    QCOMPARE(f.FilenameEditFicheroUnir->text(), v.Ruta("t.001"));
}

// The boxes' quotes are stripped by the window, never by the engines: quotes alone are no name,
// and a quoted path with a blank joins under its real names.
void UnirTest::lasComillasSonCosaDeLasCajas() {
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    QDir(v.carpeta.path()).mkdir("con blanco");
    v.Escribir("con blanco/p.001", "uno");
    v.Escribir("con blanco/p.002", "dos");
    Elegir(v, f, "con blanco/p.001");
    QCOMPARE(f.FilenameEditFicheroUnir->text(), "\"" + v.Ruta("con blanco/p.001") + "\"");
    f.FilenameEditFicheroUnido->setText("\"" + v.Ruta("con blanco/junto") + "\"");
    f.ExplorerButtonUnir->click();
    QCOMPARE(v.Leer("con blanco/junto"), QByteArray("unodos"));
    v.dialogos.cajas.clear();
    f.FilenameEditFicheroUnir->setText("\"\"");
    f.ExplorerButtonUnir->click();
    f.FilenameEditFicheroCortar->setText("\"\"");
    f.ComboBoxSizes->setEditText("10");
    f.ExplorerButtonCortar->click();
    f.FilenameEditFicheroVerificar->setText("\"\"");
    f.ExplorerButtonVerificar->click();
    QCOMPARE(v.dialogos.Textos(), (QStringList{"¡ Debes indicar el fichero base para unir !",
                                               "¡ Debes indicar el fichero a cortar !",
                                               "¡ Debes indicar el fichero a verificar !"}));
}

// The same question before a file at the destination is replaced, whether the name was
// proposed, typed or left from an earlier set: No keeps the file, Yes replaces it.
void UnirTest::unaPreguntaAntesDeReemplazar() {
    VentanaDePrueba v;
    TFormMain& f = v.CrearActiva();
    f.PageControlQuimbel->setCurrentWidget(f.TabSheetUnir);
    v.Escribir("pelicula.001", QByteArray(40, 'a'));
    v.Escribir("pelicula.002", QByteArray(10, 'b'));
    v.Escribir("pelicula.avi", "original");
    v.Escribir("otra.avi", "otra");
    Elegir(v, f, "pelicula.002");
    QCOMPARE(f.LabelNum_TrozosUnir->text(), QStringLiteral("2"));
    f.FilenameEditFicheroUnir->setFocus();
    f.FilenameEditFicheroUnido->setFocus(); // the proposal: the original source's name
    QCOMPARE(f.FilenameEditFicheroUnido->text(), v.Ruta("pelicula.avi"));
    f.ExplorerButtonUnir->click();
    QCOMPARE(v.Leer("pelicula.avi"), QByteArray("original"));
    f.FilenameEditFicheroUnido->setText(v.Ruta("otra.avi")); // typed
    f.ExplorerButtonUnir->click();
    QCOMPARE(v.Leer("otra.avi"), QByteArray("otra"));
    const QString pregunta = QStringLiteral("¿ Reemplazar el fichero %1 ?");
    QCOMPARE(v.dialogos.confirmaciones.size(), size_t(2));
    QCOMPARE(v.dialogos.confirmaciones[0],
             (std::pair<QString, QString>(QStringLiteral("Confirm"), pregunta.arg(v.Ruta("pelicula.avi")))));
    QCOMPARE(v.dialogos.confirmaciones[1].second, pregunta.arg(v.Ruta("otra.avi")));
    QVERIFY(v.dialogos.cajas.empty());
    v.dialogos.reemplazos = {true};
    f.ExplorerButtonUnir->click();
    QCOMPARE(v.Leer("otra.avi"), QByteArray(40, 'a') + QByteArray(10, 'b'));
    QCOMPARE(v.dialogos.Textos(), QStringList{QStringLiteral("¡ Proceso finalizado !")});
}

// A missing piece is said once the labels describe the whole set, and the join then refuses.
void UnirTest::unHuecoSeDiceConLasEtiquetasPuestas() {
    VentanaDePrueba v;
    TFormMain& f = v.CrearActiva();
    f.PageControlQuimbel->setCurrentWidget(f.TabSheetUnir);
    v.Escribir("pelicula.001", QByteArray(10, 'a'));
    v.Escribir("pelicula.002", QByteArray(10, 'b'));
    v.Escribir("pelicula.004", QByteArray(5, 'd'));
    QString trozosAlMostrar;
    v.dialogos.alMostrar = [&](const prueba::Caja&) { trozosAlMostrar = f.LabelNum_TrozosUnir->text(); };
    Elegir(v, f, "pelicula.002");
    const QString falta =
        QStringLiteral("¡ Falta el trozo 3 : ") + v.Ruta("pelicula.003") + QStringLiteral(" !");
    QCOMPARE(v.dialogos.Textos(), QStringList{falta});
    QCOMPARE(trozosAlMostrar, QStringLiteral("4"));
    QCOMPARE(f.FilenameEditFicheroUnir->text(), v.Ruta("pelicula.002"));
    QCOMPARE(f.LabelTamFicUnido->text(), QStringLiteral("25"));
    f.FilenameEditFicheroUnido->setText(v.Ruta("junto"));
    f.ExplorerButtonUnir->click();
    QCOMPARE(v.dialogos.Textos(), (QStringList{falta, falta}));
    QVERIFY(!QFile::exists(v.Ruta("junto")));
}

QTEST_MAIN(UnirTest)
#include "UnirTest.moc"
