// SPDX-License-Identifier: GPL-3.0-or-later
// A split started from the "Cortar" page, and a run's hold on the window.
#include <QtTest>

#include "Ventana.h"
#include "files/Avance.h"

using namespace quimbel;
using quimbel::prueba::VentanaDePrueba;

class CortarTest : public QObject {
    Q_OBJECT
  private slots:
    void cortarDesdeLaVentana();
    void faltaElFichero();
    void unaCorridaALaVez();
    void cerrarDuranteUnaCorridaLaDetiene();
};

void CortarTest::cortarDesdeLaVentana() {
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    QDir(v.carpeta.path()).mkdir(QStringLiteral("mis datos"));
    const QString fuente = v.Ruta(QStringLiteral("mis datos/pelicula.avi"));
    v.Escribir(QStringLiteral("mis datos/pelicula.avi"), QByteArray(25, 'x'));
    v.dialogos.ficheros.push_back(fuente);
    f.FilenameEditFicheroCortar->Examinar();
    QCOMPARE(f.FilenameEditFicheroCortar->text(), QLatin1Char('"') + fuente + QLatin1Char('"'));
    f.ComboBoxSizes->setEditText(QStringLiteral("10"));
    f.RadioButtonCortarHacha->setChecked(true);
    f.ExplorerButtonCortar->click();
    const QString carpeta = v.Ruta(QStringLiteral("mis datos/"));
    QCOMPARE(f.MemoResultadoCortar->Lineas(),
             (QStringList{"Creando trozos...", "Creando trozo 1 : " + carpeta + "pelicula.0",
                          "Creando trozo 2 : " + carpeta + "pelicula.1",
                          "Creando trozo 3 : " + carpeta + "pelicula.2", "", ""}));
    QCOMPARE(v.dialogos.Textos(), QStringList{QStringLiteral("¡ Proceso finalizado !")});
    QCOMPARE(v.dialogos.cajas[0].titulo, QStringLiteral("Information"));
    QCOMPARE(v.dialogos.cajas[0].icono, ServicioDialogos::Icono::Informacion);
    QCOMPARE(v.Leer(QStringLiteral("mis datos/pelicula.2")), QByteArray(5, 'x'));
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

void CortarTest::faltaElFichero() {
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    f.show();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    f.ComboBoxSizes->setFocus();
    f.ExplorerButtonCortar->click();
    QCOMPARE(v.dialogos.Textos(), QStringList{QStringLiteral("¡ Debes indicar el fichero a cortar !")});
    QCOMPARE(v.dialogos.cajas[0].titulo, QStringLiteral("Error"));
    QVERIFY(f.FilenameEditFicheroCortar->Edit()->hasFocus());
    QVERIFY(f.MemoResultadoCortar->Lineas().isEmpty());
}

void CortarTest::unaCorridaALaVez() {
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    f.show();
    v.Escribir(QStringLiteral("f.bin"), QByteArray(30, 'y'));
    f.FilenameEditFicheroCortar->setText(v.Ruta(QStringLiteral("f.bin")));
    f.ComboBoxSizes->setEditText(QStringLiteral("10"));
    int corridas = 0;
    // While the final box of the run is up, the user clicks "Cortar" again and closes the window.
    v.dialogos.alMostrar = [&](const prueba::Caja& caja) {
        if (caja.texto != QStringLiteral("¡ Proceso finalizado !")) return;
        ++corridas;
        f.ExplorerButtonCortar->click();
        f.close();
        QVERIFY(f.isVisible());
    };
    f.ExplorerButtonCortar->click();
    QCOMPARE(corridas, 1);
    QVERIFY(!f.isVisible());
    QVERIFY(v.Leer(QStringLiteral("quimbel.ini")).contains("WindowState=wsNormal"));
}

// A close request while a long piece is being written (the title bar's, which the window hears
// as it paints) is never lost: the run stops at its next block, says so in its memo, shows no
// box, leaves no partial piece, and the window closes keeping its settings.
void CortarTest::cerrarDuranteUnaCorridaLaDetiene() {
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    f.show();
    v.Escribir(QStringLiteral("f.bin"), QByteArray(32 * 1000000, 'y'));
    f.FilenameEditFicheroCortar->setText(v.Ruta(QStringLiteral("f.bin")));
    f.ComboBoxSizes->setEditText(QStringLiteral("4000000"));
    RalentizarAvance(std::chrono::milliseconds(60));
    QTimer::singleShot(150, &f, [&] { f.close(); });
    f.ExplorerButtonCortar->click();
    RalentizarAvance(std::chrono::milliseconds(0));
    QVERIFY(!f.isVisible());
    const QStringList memo = f.MemoResultadoCortar->Lineas();
    QCOMPARE(memo.constLast(), QStringLiteral("¡ Proceso interrumpido !"));
    QVERIFY(memo.size() <= 5); // stopped well before the last of eight pieces
    QVERIFY(v.dialogos.cajas.empty());
    // Nothing partial and no temporary: a piece is there whole, or not at all.
    const QStringList ficheros = QDir(v.carpeta.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    QVERIFY(ficheros.contains(QStringLiteral("quimbel.ini")));
    for (const QString& nombre : ficheros) {
        QVERIFY2(!nombre.startsWith(QLatin1String(".quimbel-tmp-")), qPrintable(nombre));
        if (nombre.startsWith(QLatin1String("f.0"))) QCOMPARE(QFileInfo(v.Ruta(nombre)).size(), 4000000);
    }
}

QTEST_MAIN(CortarTest)
#include "CortarTest.moc"
