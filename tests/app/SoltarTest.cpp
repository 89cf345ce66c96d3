// SPDX-License-Identifier: GPL-3.0-or-later
// Files and folders dropped on the window, through real Qt drag-enter and drop events:
// on a box, the box's own choice; outside the boxes, opened by name; never a URI typed
// into an edit; nothing during a run.
#include <QDropEvent>
#include <QMimeData>
#include <QtTest>

#include "Ventana.h"

using namespace quimbel;
using quimbel::prueba::VentanaDePrueba;

class SoltarTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void ficheroEnCajaDeCortar();
    void carpetaEnCajaDeCarpeta();
    void loQueNoEncajaSeRechaza();
    void destinoExistenteSeTomaSinPreguntar();
    void ficheroQueNoExiste();
    void soloElPrimeroYSoloLocales();
    void sobreLaVentana();
    void nadaDuranteUnProceso();
};

namespace {

// Drags the URLs over the widget and drops them there, as Qt delivers a drop: enter,
// then drop when the enter was accepted. Whether the widget took the drop.
bool Soltar(QWidget* destino, const QList<QUrl>& urls) {
    QMimeData datos;
    datos.setUrls(urls);
    const QPoint punto = destino->rect().center();
    QDragEnterEvent entrada(punto, Qt::CopyAction, &datos, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(destino, &entrada);
    if (!entrada.isAccepted()) return false;
    QDropEvent soltar(QPointF(punto), Qt::CopyAction, &datos, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(destino, &soltar);
    return soltar.isAccepted();
}

bool Soltar(QWidget* destino, const QString& ruta) {
    return Soltar(destino, {QUrl::fromLocalFile(ruta)});
}

} // namespace

void SoltarTest::ficheroEnCajaDeCortar() {
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    f.ComboBoxSizes->setEditText(QStringLiteral("1000"));
    v.Escribir("p.avi", QByteArray(2001, 'x'));
    // The edit leaves drops to its box, which takes the path, not a URI.
    QVERIFY(!f.FilenameEditFicheroCortar->Edit()->acceptDrops());
    QVERIFY(Soltar(f.FilenameEditFicheroCortar, v.Ruta("p.avi")));
    QCOMPARE(f.FilenameEditFicheroCortar->text(), v.Ruta("p.avi"));
    // As after the dialog: the plan.
    QCOMPARE(f.LabelNum_Trozos->text(), QStringLiteral("3"));
    QVERIFY(f.CortePreparado());

    // "Fichero base" of the join: the analysis.
    v.Escribir("q.001", QByteArray(10, 'a'));
    v.Escribir("q.002", QByteArray(4, 'b'));
    QVERIFY(Soltar(f.FilenameEditFicheroUnir, v.Ruta("q.001")));
    QCOMPARE(f.FilenameEditFicheroUnir->text(), v.Ruta("q.001"));
    QCOMPARE(f.LabelNum_TrozosUnir->text(), QStringLiteral("2"));
    QCOMPARE(f.LabelTamFicUnido->text(), QStringLiteral("14"));
    QVERIFY(v.dialogos.cajas.empty());
}

void SoltarTest::carpetaEnCajaDeCarpeta() {
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    QVERIFY(QDir(v.carpeta.path()).mkdir(QStringLiteral("con blanco")));
    const QString carpeta = v.Ruta("con blanco");
    for (TDirectoryEdit* caja : {f.DirectoryEditFicheroCortar, f.DirectoryEditFicheroVerificar}) {
        // Dropped with a final slash, as file managers send folders.
        QVERIFY(Soltar(caja, {QUrl::fromLocalFile(carpeta + QLatin1Char('/'))}));
        QCOMPARE(caja->text(), carpeta);
    }
}

void SoltarTest::loQueNoEncajaSeRechaza() {
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    v.Escribir("p.avi", "x");
    f.PageControlQuimbel->setCurrentWidget(f.TabSheetVerificar);
    f.DirectoryEditFicheroVerificar->setText(QStringLiteral("/antes"));
    // A file is no folder: the folder box leaves it to the window, which opens it by name.
    QVERIFY(Soltar(f.DirectoryEditFicheroVerificar, v.Ruta("p.avi")));
    QCOMPARE(f.DirectoryEditFicheroVerificar->text(), QStringLiteral("/antes"));
    QCOMPARE(f.PageControlQuimbel->currentWidget(), f.TabSheetCortar);
    QCOMPARE(f.FilenameEditFicheroCortar->text(), v.Ruta("p.avi"));
    f.FilenameEditFicheroCortar->setText(QString());
    // A folder is no file, for the file boxes as for the window.
    for (TFilenameEdit* caja : {f.FilenameEditFicheroCortar, f.FilenameEditFicheroUnir,
                                f.FilenameEditFicheroUnido, f.FilenameEditFicheroVerificar}) {
        QVERIFY(!Soltar(caja, v.carpeta.path()));
        QVERIFY(caja->text().isEmpty());
    }
    // Other edits take no drop: it goes to the window behind them.
    for (QWidget* w :
         std::initializer_list<QWidget*>{f.ComboBoxSizes->lineEdit(), f.EditCortarNumeroPar,
                                         f.EditVerificarExtension, f.MemoResultadoCortar->viewport()})
        QVERIFY(!w->acceptDrops());
    QVERIFY(v.dialogos.cajas.empty());
}

// A file dropped on the destination box is taken as it is: the join asks the one question
// before it replaces a file, however the name got into the box.
void SoltarTest::destinoExistenteSeTomaSinPreguntar() {
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    v.Escribir("unida.avi", "ya estaba");
    QVERIFY(Soltar(f.FilenameEditFicheroUnido, v.Ruta("unida.avi")));
    QCOMPARE(f.FilenameEditFicheroUnido->text(), v.Ruta("unida.avi"));
    QVERIFY(v.dialogos.confirmaciones.empty() && v.dialogos.cajas.empty());
    QCOMPARE(v.Leer("unida.avi"), QByteArray("ya estaba"));
}

void SoltarTest::ficheroQueNoExiste() {
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    for (TFilenameEdit* caja : {f.FilenameEditFicheroCortar, f.FilenameEditFicheroUnido}) {
        v.dialogos.cajas.clear();
        QVERIFY(Soltar(caja, v.Ruta("no existe.avi")));
        QCOMPARE(v.dialogos.Textos(),
                 QStringList{QStringLiteral("¡ Error al abrir fichero ") + v.Ruta("no existe.avi") + " !"});
        QCOMPARE(v.dialogos.cajas.front().titulo, QStringLiteral("Error"));
        QVERIFY(caja->text().isEmpty());
    }
    QVERIFY(v.dialogos.confirmaciones.empty());
}

void SoltarTest::soloElPrimeroYSoloLocales() {
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    v.Escribir("uno.avi", "1");
    v.Escribir("dos.avi", "2");
    QVERIFY(Soltar(f.FilenameEditFicheroCortar,
                   {QUrl::fromLocalFile(v.Ruta("uno.avi")), QUrl::fromLocalFile(v.Ruta("dos.avi"))}));
    QCOMPARE(f.FilenameEditFicheroCortar->text(), v.Ruta("uno.avi"));
    QVERIFY(!Soltar(f.FilenameEditFicheroCortar, {QUrl(QStringLiteral("https://example.org/dos.avi")),
                                                  QUrl::fromLocalFile(v.Ruta("dos.avi"))}));
    QVERIFY(!Soltar(&f, {QUrl(QStringLiteral("https://example.org/dos.avi"))}));
    QCOMPARE(f.FilenameEditFicheroCortar->text(), v.Ruta("uno.avi"));
}

void SoltarTest::sobreLaVentana() {
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    v.Escribir("lista.sfv", "a.bin 352441c2\r\n");
    QVERIFY(f.acceptDrops());
    QVERIFY(Soltar(&f, v.Ruta("lista.sfv")));
    QCOMPARE(f.PageControlQuimbel->currentWidget(), f.TabSheetVerificar);
    QCOMPARE(f.FilenameEditFicheroVerificar->text(), v.Ruta("lista.sfv"));
    QVERIFY(!f.DirectoryEditFicheroVerificar->text().isEmpty());

    v.Escribir("p.avi", QByteArray(30, 'x'));
    f.ComboBoxSizes->setEditText(QStringLiteral("10"));
    QVERIFY(Soltar(&f, v.Ruta("p.avi")));
    QCOMPARE(f.PageControlQuimbel->currentWidget(), f.TabSheetCortar);
    QCOMPARE(f.LabelNum_Trozos->text(), QStringLiteral("3"));

    // A folder is no file to open; a missing file is refused with its box.
    QVERIFY(!Soltar(&f, v.carpeta.path()));
    QVERIFY(Soltar(&f, v.Ruta("falta.fin")));
    QCOMPARE(v.dialogos.Textos(),
             QStringList{QStringLiteral("¡ Error al abrir fichero ") + v.Ruta("falta.fin") + " !"});
    QCOMPARE(f.PageControlQuimbel->currentWidget(), f.TabSheetCortar);
}

void SoltarTest::nadaDuranteUnProceso() {
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    v.Escribir("p.avi", "x");
    QList<bool> aceptados;
    v.dialogos.alMostrar = [&](const prueba::Caja&) {
        if (!f.EnEjecucion()) return;
        aceptados << Soltar(f.FilenameEditFicheroCortar, v.Ruta("p.avi")) << Soltar(&f, v.Ruta("p.avi"))
                  << Soltar(f.DirectoryEditFicheroCortar, v.carpeta.path());
    };
    f.ExplorerButtonCortar->click(); // refused at once: no source
    QCOMPARE(aceptados, (QList<bool>{false, false, false}));
    QVERIFY(f.FilenameEditFicheroCortar->text().isEmpty() && f.DirectoryEditFicheroCortar->text().isEmpty());
    // After the run they are taken again.
    QVERIFY(Soltar(f.FilenameEditFicheroCortar, v.Ruta("p.avi")));
}

QTEST_MAIN(SoltarTest)
#include "SoltarTest.moc"
