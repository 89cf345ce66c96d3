// SPDX-License-Identifier: GPL-3.0-or-later
// The "Reparar" page: its controls, and runs with the real parity library on a par2 set.
#include <QLabel>
#include <QTimer>
#include <QtTest>
#include <cstdlib>

#include "Ventana.h"
#include "parity/Par.h"
#include "verify/Crc.h"

using namespace quimbel;
using quimbel::prueba::VentanaDePrueba;

class RepararTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        CargarCrc(CARPETA_BIN);
        CargarPar(CARPETA_BIN);
    }
    void cleanupTestCase() {
        LiberarPar();
        LiberarCrc();
    }
    void paginaTrasVerificar();
    void unTrozoPerdidoSeRehace();
    void comprobarNoEscribeYFaltaElIndice();
    void buscarEnOtrosFicheros();
    void unirPreguntaSiRepararAntes();
};

namespace {

// Three pieces of 30,000 bytes in "mis trozos" with a par2 set of 12 recovery slices of 4,000.
QString JuegoDeTresTrozos(VentanaDePrueba& v) {
    QDir(v.carpeta.path()).mkdir(QStringLiteral("mis trozos"));
    for (int i = 1; i <= 3; ++i)
        v.Escribir(QStringLiteral("mis trozos/p.00%1").arg(i), QByteArray(30000, static_cast<char>('a' + i)));
    const QString orden = "cd '" + v.Ruta("mis trozos") +
                          "' && par2 create -q -s4000 -c12 p.par2 p.001 p.002 p.003 >/dev/null 2>&1";
    if (std::system(orden.toLocal8Bit().constData()) != 0) qWarning("par2 create failed");
    return v.Ruta(QStringLiteral("mis trozos/p.par2"));
}

} // namespace

void RepararTest::paginaTrasVerificar() {
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    QTabWidget* paginas = f.PageControlQuimbel;
    QCOMPARE(paginas->indexOf(f.TabSheetReparar), paginas->indexOf(f.TabSheetVerificar) + 1);
    QCOMPARE(paginas->tabText(paginas->indexOf(f.TabSheetReparar)), QStringLiteral("Reparar"));
    for (const auto& [boton, texto] : {std::pair{f.ExplorerButtonComprobar, " Comprobar"},
                                       std::pair{f.ExplorerButtonReparar, " Reparar"}}) {
        QCOMPARE(boton->text(), QString::fromUtf8(texto));
        QCOMPARE(boton->height(), 36);
        QVERIFY(boton->width() >= 90);
        QCOMPARE(boton->focusPolicy(), Qt::NoFocus);
        QVERIFY(!boton->icon().isNull());
    }
    QStringList etiquetas;
    for (const QLabel* l : f.TabSheetReparar->findChildren<QLabel*>())
        etiquetas << l->text();
    QVERIFY(etiquetas.contains(QStringLiteral("Fichero PAR2")));
    QVERIFY(etiquetas.contains(QStringLiteral("Carpeta con los ficheros")));
    QCOMPARE(f.FilenameEditFicheroReparar->Opciones().filtro,
             QStringLiteral("PAR2 (*.par2)|*.par2|Todos (*.*)|*.*"));
    QVERIFY(f.FilenameEditFicheroReparar->Edit()->isReadOnly());
    QVERIFY(f.MemoResultadoReparar->Lineas().isEmpty());
    QVERIFY2(f.ProgressBarAvance->isHidden(), "shown only while a run works");
}

void RepararTest::unTrozoPerdidoSeRehace() {
    VentanaDePrueba v;
    TFormMain& f = v.CrearActiva();
    const QString indice = JuegoDeTresTrozos(v);
    const QByteArray original = v.Leer(QStringLiteral("mis trozos/p.002"));
    QFile::remove(v.Ruta(QStringLiteral("mis trozos/p.002")));
    f.PageControlQuimbel->setCurrentWidget(f.TabSheetReparar);
    v.dialogos.ficheros.push_back(indice);
    f.FilenameEditFicheroReparar->Examinar();
    f.FilenameEditFicheroReparar->setFocus();
    f.DirectoryEditFicheroReparar->setFocus();
    const QString carpeta = v.Ruta(QStringLiteral("mis trozos/"));
    QCOMPARE(f.DirectoryEditFicheroReparar->text(), carpeta);

    // Posted before the click: it runs during the work, as the window processes its messages.
    bool procesado = false;
    QTimer::singleShot(0, &f, [&] { procesado = true; });
    int cajas = 0;
    v.dialogos.alMostrar = [&](const prueba::Caja& caja) {
        ++cajas;
        QVERIFY(procesado);
        QVERIFY(!f.ExplorerButtonComprobar->isEnabled() && !f.ExplorerButtonReparar->isEnabled());
        QVERIFY(f.ProgressBarAvance->isVisible());
        QCOMPARE(f.ProgressBarAvance->value(), f.ProgressBarAvance->maximum());
        QCOMPARE(caja.texto, QStringLiteral("¡ Proceso finalizado !"));
        // No second run meanwhile; a close waits for the end of this one.
        f.ExplorerButtonComprobar->click();
        f.close();
        QVERIFY(f.isVisible());
    };
    f.ExplorerButtonReparar->click();
    QCOMPARE(cajas, 1);
    QCOMPARE(f.MemoResultadoReparar->Lineas(),
             (QStringList{"  Correcto: " + carpeta + "p.001", " No existe: " + carpeta + "p.002",
                          "  Correcto: " + carpeta + "p.003",
                          "Bloques de recuperación: 12 disponibles, 8 necesarios",
                          "  Reparado: " + carpeta + "p.002"}));
    QCOMPARE(v.Leer(QStringLiteral("mis trozos/p.002")), original);
    QCOMPARE(v.dialogos.cajas[0].titulo, QStringLiteral("Information"));
    QVERIFY(f.ExplorerButtonComprobar->isEnabled() && f.ExplorerButtonReparar->isEnabled());
    QVERIFY(QApplication::overrideCursor() == nullptr);
    QVERIFY(!f.isVisible());
}

void RepararTest::comprobarNoEscribeYFaltaElIndice() {
    VentanaDePrueba v;
    TFormMain& f = v.CrearActiva();
    f.PageControlQuimbel->setCurrentWidget(f.TabSheetReparar);
    f.MemoResultadoReparar->AnadirLinea(QStringLiteral("anterior"));
    f.ExplorerButtonComprobar->click();
    QCOMPARE(v.dialogos.Textos(), QStringList{QStringLiteral("¡ Debes indicar el fichero PAR2 !")});
    QCOMPARE(v.dialogos.cajas[0].titulo, QStringLiteral("Error"));
    QVERIFY(f.FilenameEditFicheroReparar->Edit()->hasFocus());
    QVERIFY(f.MemoResultadoReparar->Lineas().isEmpty());

    const QString indice = JuegoDeTresTrozos(v);
    v.Escribir(QStringLiteral("mis trozos/p.003"), QByteArray(30000, 'z'));
    f.FilenameEditFicheroReparar->setText(indice);
    v.dialogos.cajas.clear();
    f.ExplorerButtonComprobar->click();
    QCOMPARE(f.MemoResultadoReparar->Lineas().value(2),
             "    Dañado: " + v.Ruta("mis trozos/p.003") + " (8 bloques)");
    QCOMPARE(v.dialogos.Textos(), QStringList{QStringLiteral("¡ Proceso finalizado !")});
    QCOMPARE(v.Leer(QStringLiteral("mis trozos/p.003")), QByteArray(30000, 'z'));
    QVERIFY(!QFile::exists(v.Ruta(QStringLiteral("mis trozos/p.003.1"))));
}

// A piece renamed out of the set is found only when "Buscar en otros ficheros" is checked, with
// the file chosen through the box's dialog; the box is usable only while checked.
void RepararTest::buscarEnOtrosFicheros() {
    VentanaDePrueba v;
    TFormMain& f = v.CrearActiva();
    const QString indice = JuegoDeTresTrozos(v);
    const QByteArray original = v.Leer(QStringLiteral("mis trozos/p.002"));
    QVERIFY(QFile::rename(v.Ruta(QStringLiteral("mis trozos/p.002")), v.Ruta(QStringLiteral("otro nombre"))));
    f.PageControlQuimbel->setCurrentWidget(f.TabSheetReparar);
    QCOMPARE(f.CheckBoxRepararBuscar->text(), QStringLiteral("Buscar en otros ficheros"));
    QVERIFY(!f.CheckBoxRepararBuscar->isChecked());
    QVERIFY(!f.FicherosEditRepararBuscar->isEnabled());
    f.FilenameEditFicheroReparar->setText(indice);
    f.ExplorerButtonComprobar->click();
    QCOMPARE(f.MemoResultadoReparar->Lineas().value(3),
             QStringLiteral("Bloques de recuperación: 12 disponibles, 8 necesarios"));

    f.CheckBoxRepararBuscar->click();
    QVERIFY(f.FicherosEditRepararBuscar->isEnabled());
    v.dialogos.ficheros.push_back(v.Ruta(QStringLiteral("otro nombre")));
    f.FicherosEditRepararBuscar->Examinar();
    QCOMPARE(f.FicherosEditRepararBuscar->text(), "\"" + v.Ruta(QStringLiteral("otro nombre")) + "\"");
    v.dialogos.cajas.clear();
    f.ExplorerButtonReparar->click();
    QCOMPARE(v.dialogos.Textos(), QStringList{QStringLiteral("¡ Proceso finalizado !")});
    QVERIFY(f.MemoResultadoReparar->Lineas().contains("Encontrado: " + v.Ruta(QStringLiteral("otro nombre")) +
                                                      " (8 bloques)"));
    QCOMPARE(v.Leer(QStringLiteral("mis trozos/p.002")), original);
    QCOMPARE(v.Leer(QStringLiteral("otro nombre")), original);
    // Unchecked, the choice is kept but not searched.
    f.CheckBoxRepararBuscar->click();
    QVERIFY(!f.FicherosEditRepararBuscar->isEnabled());
}

// A join whose set lost a piece asks once, under the message, whether to rebuild it from the
// set's PAR2 files; yes repairs, then joins, every line in the "Unir" memo.
void RepararTest::unirPreguntaSiRepararAntes() {
    VentanaDePrueba v;
    TFormMain& f = v.CrearActiva();
    JuegoDeTresTrozos(v);
    QFile::remove(v.Ruta("mis trozos/p.002"));
    f.PageControlQuimbel->setCurrentWidget(f.TabSheetUnir);
    v.dialogos.ficheros.push_back(v.Ruta("mis trozos/p.001"));
    f.FilenameEditFicheroUnir->Examinar();
    const QString falta = "¡ Falta el trozo 2 : " + v.Ruta("mis trozos/p.002") + " !";
    QCOMPARE(v.dialogos.Textos(), QStringList{falta});
    QCOMPARE(f.LabelNum_TrozosUnir->text(), QStringLiteral("3"));
    f.FilenameEditFicheroUnido->setText(v.Ruta("junto"));
    v.dialogos.reemplazos = {true};
    f.ExplorerButtonUnir->click();
    QCOMPARE(v.dialogos.confirmaciones.size(), size_t(1));
    QCOMPARE(v.dialogos.confirmaciones[0],
             (std::pair<QString, QString>(
                 QStringLiteral("Confirm"),
                 falta + QStringLiteral("\n¿ Reparar los trozos con su juego PAR2 y unir ?"))));
    QCOMPARE(v.Leer("junto"), QByteArray(30000, 'b') + QByteArray(30000, 'c') + QByteArray(30000, 'd'));
    QCOMPARE(v.dialogos.Textos(), (QStringList{falta, QStringLiteral("¡ Proceso finalizado !")}));
    const QStringList memo = f.MemoResultadoUnir->Lineas();
    QCOMPARE(memo.value(0), "Reparando con " + v.Ruta("mis trozos/p.par2"));
    QVERIFY(memo.contains("  Reparado: " + v.Ruta("mis trozos/p.002")));
    QVERIFY(memo.contains("  Correcto: " + v.Ruta("mis trozos/p.002")));
    QVERIFY(f.MemoResultadoReparar->Lineas().isEmpty());
}

QTEST_MAIN(RepararTest)
#include "RepararTest.moc"
