// SPDX-License-Identifier: GPL-3.0-or-later
// The plan on the "Cortar" page, the size box, and the "Extraer" page's selection.
#include <QtTest>
#include <fcntl.h>
#include <unistd.h>

#include "Ventana.h"

using namespace quimbel;
using quimbel::prueba::VentanaDePrueba;

namespace {

// A sparse file of the given size.
void Disperso(const QString& ruta, qint64 tamano) {
    QFile f(ruta);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QVERIFY(f.resize(tamano));
}

QStringList Lineas(const TFormMain& f) {
    QStringList l;
    for (int i = 0; i < f.RxCheckListBoxCortarExtraer->Cuenta(); ++i)
        l << f.RxCheckListBoxCortarExtraer->Linea(i);
    return l;
}

// A plan in force for a sparse p.avi of tamano bytes, chosen in the source box.
void Planificar(VentanaDePrueba& v, TFormMain& f, qint64 tamano, const QString& trozo) {
    Disperso(v.Ruta("p.avi"), tamano);
    f.FilenameEditFicheroCortar->setText(v.Ruta("p.avi"));
    f.ComboBoxSizes->setEditText(trozo);
    f.PrepararCorte(v.Ruta("p.avi"));
}

void Escribir(QComboBox* caja, const QString& texto) {
    caja->setFocus();
    caja->lineEdit()->selectAll();
    QTest::keyClicks(caja->lineEdit(), texto);
}

} // namespace

class PlanTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void fuenteSinTamano();
    void lineasDelPlan();
    void novecientosNoventaYNueveYMil();
    void trozoMayorQueFuenteYFuenteVacia();
    void cambioDeEsquemaMarcaTodo();
    void quinientosConNoYConSi();
    void salirConElMismoTamanoConservaLaSeleccion();
    void letraEnLaCaja();
    void tamanosConUnidadTecleados();
    void comillasYCarpetaPorDefecto();
    void ningunoYCortar();
    void elegirEjecutaLaSalidaDeLaCaja();
    void teclasDeLaLista();
    void tamanoNuevoEnListaOrdenada();
    void cortarConSeleccion();
};

void PlanTest::fuenteSinTamano() {
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    Disperso(v.Ruta("pelicula.avi"), 25000001);
    v.dialogos.ficheros.push_back(v.Ruta("pelicula.avi"));
    f.FilenameEditFicheroCortar->Examinar();
    QCOMPARE(f.LabelTamFic->text(), QStringLiteral("25,000,001"));
    QCOMPARE(f.LabelNum_Trozos->text(), QString());
    QCOMPARE(f.RxCheckListBoxCortarExtraer->Cuenta(), 0);
    QVERIFY(!f.ExplorerButtonCortarElegir->isEnabled());
    QVERIFY(!f.CortePreparado());
}

void PlanTest::lineasDelPlan() {
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    Disperso(v.Ruta("pelicula.avi"), 25000000);
    f.ComboBoxSizes->setEditText(QStringLiteral("10000000"));
    v.dialogos.ficheros.push_back(v.Ruta("pelicula.avi"));
    f.FilenameEditFicheroCortar->Examinar();
    QCOMPARE(f.LabelTamFic->text(), QStringLiteral("25,000,000"));
    QCOMPARE(f.LabelNum_Trozos->text(), QStringLiteral("3"));
    QCOMPARE(Lineas(f), (QStringList{"pelicula.001  10,000,000", "pelicula.002  10,000,000",
                                     "pelicula.003   5,000,000"}));
    QCOMPARE(f.TrozosElegidos(), 3);
    QVERIFY(f.ExplorerButtonCortarElegir->isEnabled());
    QVERIFY(f.CortePreparado());
    f.RadioButtonCortarCA->setChecked(true);
    QCOMPARE(Lineas(f).value(2), QStringLiteral("pelicula.fin   5,000,000"));
}

void PlanTest::novecientosNoventaYNueveYMil() {
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    Disperso(v.Ruta("pelicula.avi"), 999000000);
    f.ComboBoxSizes->setEditText(QStringLiteral("1000000"));
    f.PrepararCorte(v.Ruta("pelicula.avi"));
    QCOMPARE(f.RxCheckListBoxCortarExtraer->Cuenta(), 999);
    QCOMPARE(Lineas(f).value(998), QStringLiteral("pelicula.999   1,000,000"));
    Disperso(v.Ruta("pelicula.avi"), 999500000);
    f.PrepararCorte(v.Ruta("pelicula.avi"));
    QCOMPARE(f.RxCheckListBoxCortarExtraer->Cuenta(), 1000);
    QCOMPARE(Lineas(f).value(0), QStringLiteral("pelicula.0001   1,000,000"));
    QCOMPARE(Lineas(f).value(999), QStringLiteral("pelicula.1000     500,000"));
}

void PlanTest::trozoMayorQueFuenteYFuenteVacia() {
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    Disperso(v.Ruta("a.bin"), 1234);
    f.ComboBoxSizes->setEditText(QStringLiteral("5000"));
    f.RadioButtonCortarHacha->setChecked(true);
    f.PrepararCorte(v.Ruta("a.bin"));
    QCOMPARE(Lineas(f), QStringList{QStringLiteral("a.0       1,234")});
    Disperso(v.Ruta("vacio.bin"), 0);
    f.PrepararCorte(v.Ruta("vacio.bin"));
    QCOMPARE(f.LabelTamFic->text(), QStringLiteral("0"));
    QCOMPARE(f.LabelNum_Trozos->text(), QStringLiteral("1"));
    QCOMPARE(Lineas(f), QStringList{QStringLiteral("vacio.0           0")});
    QCOMPARE(f.TrozosElegidos(), 1);
}

void PlanTest::cambioDeEsquemaMarcaTodo() {
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    Planificar(v, f, 30, QStringLiteral("10"));
    f.RxCheckListBoxCortarExtraer->Marcar(1, false);
    QCOMPARE(f.TrozosElegidos(), 2);
    f.RadioButtonCortarHacha->click();
    QCOMPARE(Lineas(f), (QStringList{"p.0          10", "p.1          10", "p.2          10"}));
    QCOMPARE(f.TrozosElegidos(), 3);
}

void PlanTest::quinientosConNoYConSi() {
    VentanaDePrueba v;
    TFormMain& f = v.CrearActiva();
    Planificar(v, f, 30000, QStringLiteral("10000"));
    QCOMPARE(f.TrozosElegidos(), 3);

    Escribir(f.ComboBoxSizes, QStringLiteral("500"));
    v.dialogos.respuestas.push_back(Respuesta::No);
    f.EditCortarNumeroPar->setFocus();
    QCOMPARE(v.dialogos.Textos(),
             QStringList{QStringLiteral("¡ El número es muy pequeño !, ¿ Estás seguro ?")});
    QCOMPARE(v.dialogos.cajas[0].titulo, QStringLiteral("Error"));
    QVERIFY(v.dialogos.cajas[0].pregunta);
    QCOMPARE(f.ComboBoxSizes->currentText(), QStringLiteral("500"));
    QCOMPARE(f.ComboBoxSizes->findText(QStringLiteral("500")), -1);
    QCOMPARE(f.LabelNum_Trozos->text(), QStringLiteral("3"));

    v.dialogos.respuestas.push_back(Respuesta::Si);
    f.ComboBoxSizes->setFocus();
    f.EditCortarNumeroPar->setFocus();
    QVERIFY(f.ComboBoxSizes->findText(QStringLiteral("500")) >= 0);
    QCOMPARE(f.ComboBoxSizes->itemText(f.ComboBoxSizes->count() - 1), QStringLiteral("500"));
    QCOMPARE(f.LabelNum_Trozos->text(), QStringLiteral("60"));
    QCOMPARE(f.RxCheckListBoxCortarExtraer->Cuenta(), 60);
}

void PlanTest::salirConElMismoTamanoConservaLaSeleccion() {
    VentanaDePrueba v;
    TFormMain& f = v.CrearActiva();
    Disperso(v.Ruta("p.avi"), 30000);
    f.FilenameEditFicheroCortar->setText(v.Ruta("p.avi"));
    Escribir(f.ComboBoxSizes, QStringLiteral("10000"));
    f.EditCortarNumeroPar->setFocus();
    QCOMPARE(f.TrozosElegidos(), 3);
    f.RxCheckListBoxCortarExtraer->Marcar(0, false);
    Escribir(f.ComboBoxSizes, QStringLiteral("10000"));
    f.EditCortarNumeroPar->setFocus();
    QCOMPARE(f.TrozosElegidos(), 2);
    // Another size plans again and checks every piece.
    Escribir(f.ComboBoxSizes, QStringLiteral("15000"));
    f.EditCortarNumeroPar->setFocus();
    QCOMPARE(f.TrozosElegidos(), 2);
    QCOMPARE(f.RxCheckListBoxCortarExtraer->Cuenta(), 2);
    QVERIFY(f.RxCheckListBoxCortarExtraer->Marcada(0));
    QVERIFY(v.dialogos.cajas.empty());
}

void PlanTest::letraEnLaCaja() {
    VentanaDePrueba v;
    TFormMain& f = v.CrearActiva();
    Planificar(v, f, 30, QStringLiteral("10"));
    QVERIFY(f.ExplorerButtonCortarElegir->isEnabled());
    f.ComboBoxSizes->setFocus();
    f.ComboBoxSizes->lineEdit()->end(false);
    QTest::keyClicks(f.ComboBoxSizes->lineEdit(), QStringLiteral("a"));
    QCOMPARE(f.ComboBoxSizes->currentText(), QString());
    QVERIFY(!f.ExplorerButtonCortarElegir->isEnabled());
    QVERIFY(v.dialogos.cajas.empty());
    QCOMPARE(f.RxCheckListBoxCortarExtraer->Cuenta(), 3); // the plan on show stays until the box is left
    f.EditCortarNumeroPar->setFocus();
    QCOMPARE(f.RxCheckListBoxCortarExtraer->Cuenta(), 0);
    QVERIFY(!f.CortePreparado());
    // A word typed whole is refused on leaving with a message.
    f.ComboBoxSizes->setFocus();
    {
        const QSignalBlocker b(f.ComboBoxSizes);
        f.ComboBoxSizes->setEditText(QStringLiteral("0"));
    }
    f.EditCortarNumeroPar->setFocus();
    QCOMPARE(v.dialogos.Textos(), QStringList{QStringLiteral("¡ Debes introducir un número válido !")});
    QCOMPARE(f.ComboBoxSizes->currentText(), QString());
}

void PlanTest::tamanosConUnidadTecleados() {
    VentanaDePrueba v;
    TFormMain& f = v.CrearActiva();
    Disperso(v.Ruta("p.avi"), 3LL << 30);
    f.FilenameEditFicheroCortar->setText(v.Ruta("p.avi"));
    // Key by key: a unit stays, and so do sizes past 32 bits; a key that makes no size
    // empties the box, without a message.
    for (const QString tamano : {"700MB", "4g", "9223372036854775807"}) {
        Escribir(f.ComboBoxSizes, tamano);
        QCOMPARE(f.ComboBoxSizes->currentText(), tamano);
    }
    for (const QString tamano : {"4Gx", "700MBB", "9223372036854775808"}) {
        Escribir(f.ComboBoxSizes, tamano);
        QCOMPARE(f.ComboBoxSizes->currentText(), QString());
    }
    QVERIFY(v.dialogos.cajas.empty());
    // Leaving the box plans with the size; the list keeps the text as typed.
    const QString separador = QLocale::system().groupSeparator();
    for (const auto& [tamano, trozos] :
         {std::pair{QStringLiteral("4294967295"), 1}, std::pair{QStringLiteral("2G"), 2}}) {
        Escribir(f.ComboBoxSizes, tamano);
        f.EditCortarNumeroPar->setFocus();
        QCOMPARE(f.LabelNum_Trozos->text(), QString::number(trozos));
        QVERIFY(f.ComboBoxSizes->findText(tamano) >= 0);
    }
    QCOMPARE(Lineas(f).constFirst(), QStringLiteral("p.001  2") + separador + QStringLiteral("147") +
                                         separador + QStringLiteral("483") + separador +
                                         QStringLiteral("648"));
    QVERIFY(v.dialogos.cajas.empty());
}

void PlanTest::comillasYCarpetaPorDefecto() {
    VentanaDePrueba v;
    TFormMain& f = v.CrearActiva();
    QDir(v.carpeta.path()).mkdir(QStringLiteral("con blanco"));
    const QString fuente = v.Ruta(QStringLiteral("con blanco/p.avi"));
    Disperso(fuente, 20);
    f.ComboBoxSizes->setEditText(QStringLiteral("10"));
    v.dialogos.ficheros.push_back(fuente);
    f.FilenameEditFicheroCortar->Examinar();
    QCOMPARE(f.FilenameEditFicheroCortar->text(), QLatin1Char('"') + fuente + QLatin1Char('"'));
    QCOMPARE(f.LabelNum_Trozos->text(), QStringLiteral("2"));
    f.FilenameEditFicheroCortar->setFocus();
    f.EditCortarNumeroPar->setFocus();
    QCOMPARE(f.DirectoryEditFicheroCortar->text(), v.Ruta(QStringLiteral("con blanco/")));
    f.DirectoryEditFicheroCortar->setText(QStringLiteral("/otra"));
    f.FilenameEditFicheroCortar->setFocus();
    f.EditCortarNumeroPar->setFocus();
    QCOMPARE(f.DirectoryEditFicheroCortar->text(), QStringLiteral("/otra"));
    // Cancelling the dialog plans the box's file again.
    f.RxCheckListBoxCortarExtraer->Marcar(0, false);
    f.FilenameEditFicheroCortar->Examinar();
    QCOMPARE(f.TrozosElegidos(), 2);
    QCOMPARE(f.FilenameEditFicheroCortar->text(), QLatin1Char('"') + fuente + QLatin1Char('"'));
}

void PlanTest::ningunoYCortar() {
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    Planificar(v, f, 30, QStringLiteral("10"));
    f.ExplorerButtonCortarElegir->click();
    QCOMPARE(f.PageControlQuimbel->currentWidget(), f.TabSheetExtraer);
    f.ExplorerButtonExtraerNinguno->click();
    QCOMPARE(f.TrozosElegidos(), 0);
    f.ExplorerButtonExtraerVolver->click();
    QCOMPARE(f.PageControlQuimbel->currentWidget(), f.TabSheetCortar);
    f.ExplorerButtonCortar->click();
    QCOMPARE(v.dialogos.Textos(),
             QStringList{QStringLiteral("¡ Debes seleccionar los trozos del fichero a extraer !")});
    QCOMPARE(f.PageControlQuimbel->currentWidget(), f.TabSheetExtraer);
    QCOMPARE(f.MemoResultadoCortar->Lineas(), QStringList{QString()});
    QVERIFY(!QFile::exists(v.Ruta("p.001")));
    f.ExplorerButtonExtraerTodos->click();
    QCOMPARE(f.TrozosElegidos(), 3);
}

void PlanTest::elegirEjecutaLaSalidaDeLaCaja() {
    VentanaDePrueba v;
    TFormMain& f = v.CrearActiva();
    Planificar(v, f, 30, QStringLiteral("10"));
    // A new size typed and "Elegir" clicked: the box is left first, and the list is the new plan.
    v.dialogos.respuestas.push_back(Respuesta::Si);
    Escribir(f.ComboBoxSizes, QStringLiteral("15"));
    f.ExplorerButtonCortarElegir->click();
    QCOMPARE(f.PageControlQuimbel->currentWidget(), f.TabSheetExtraer);
    QCOMPARE(f.RxCheckListBoxCortarExtraer->Cuenta(), 2);
}

void PlanTest::teclasDeLaLista() {
    VentanaDePrueba v;
    TFormMain& f = v.CrearActiva();
    Planificar(v, f, 30, QStringLiteral("10"));
    f.ExplorerButtonCortarElegir->click();
    TRxCheckListBox* lista = f.RxCheckListBoxCortarExtraer;
    lista->setCurrentIndex(lista->model()->index(1, 0));
    QTest::keyClick(lista, Qt::Key_Space);
    QCOMPARE(lista->Marcas(), (std::vector<bool>{true, false, true}));
    QTest::keyClick(lista, Qt::Key_Minus);
    QCOMPARE(f.TrozosElegidos(), 0);
    QTest::keyClick(lista, Qt::Key_Plus);
    QCOMPARE(f.TrozosElegidos(), 3);
    QTest::keyClick(lista, Qt::Key_Space);
    QCOMPARE(f.TrozosElegidos(), 2);
    // "Todos" and "Ninguno" on an empty list do nothing.
    f.ComboBoxSizes->setEditText(QString());
    f.ExplorerButtonExtraerTodos->click();
    f.ExplorerButtonExtraerNinguno->click();
    QCOMPARE(lista->Cuenta(), 0);
}

void PlanTest::tamanoNuevoEnListaOrdenada() {
    VentanaDePrueba v;
    v.Escribir(QStringLiteral("Sizes.txt"), "9000000\r\n10000000\r\n");
    TFormMain& f = v.CrearActiva();
    Escribir(f.ComboBoxSizes, QStringLiteral("7000000"));
    f.EditCortarNumeroPar->setFocus();
    QStringList items;
    for (int i = 0; i < f.ComboBoxSizes->count(); ++i)
        items << f.ComboBoxSizes->itemText(i);
    QCOMPARE(items, (QStringList{"10000000", "7000000", "9000000"}));
    f.close();
    QCOMPARE(v.Leer(QStringLiteral("Sizes.txt")), QByteArray("10000000\r\n7000000\r\n9000000\r\n"));
}

void PlanTest::cortarConSeleccion() {
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    QByteArray datos;
    for (int i = 0; i < 70; ++i)
        datos.append(static_cast<char>('a' + i % 26));
    v.Escribir(QStringLiteral("nombre"), datos);
    f.FilenameEditFicheroCortar->setText(v.Ruta("nombre"));
    f.ComboBoxSizes->setEditText(QStringLiteral("10"));
    f.RadioButtonCortarCA->setChecked(true);
    for (int i = 0; i < 7; ++i)
        f.RxCheckListBoxCortarExtraer->Marcar(i, i == 1 || i == 4);
    f.ExplorerButtonCortar->click();
    QCOMPARE(v.Leer(QStringLiteral("nombre.2")), datos.mid(10, 10));
    QCOMPARE(v.Leer(QStringLiteral("nombre.5")), datos.mid(40, 10));
    QVERIFY(!QFile::exists(v.Ruta("nombre.fin")));
    QVERIFY(!QFile::exists(v.Ruta("nombre.1")));
    // A size typed without leaving the box: the split plans again and writes every piece. The
    // pieces of the earlier run past the new set's last are named once and moved aside.
    f.ComboBoxSizes->setEditText(QStringLiteral("35"));
    f.ExplorerButtonCortar->click();
    QCOMPARE(v.dialogos.confirmaciones.size(), size_t(1));
    QCOMPARE(v.dialogos.confirmaciones[0].second,
             QStringLiteral("¿ Reemplazar el fichero ") + v.Ruta("nombre.2") + QStringLiteral(" ?"));
    QVERIFY(!QFile::exists(v.Ruta("nombre.1"))); // answered No: nothing written
    v.dialogos.reemplazos = {true};
    f.ExplorerButtonCortar->click();
    QCOMPARE(v.Leer(QStringLiteral("nombre.2.1")), datos.mid(10, 10));
    QCOMPARE(v.Leer(QStringLiteral("nombre.5.1")), datos.mid(40, 10));
    QVERIFY(!QFile::exists(v.Ruta("nombre.2")) && !QFile::exists(v.Ruta("nombre.5")));
    QCOMPARE(v.Leer(QStringLiteral("nombre.1")), datos.left(35));
    QCOMPARE(v.Leer(QStringLiteral("nombre.fin")).size(), 13 + 35);
    QCOMPARE(f.RxCheckListBoxCortarExtraer->Cuenta(), 2);
}

QTEST_MAIN(PlanTest)
#include "PlanTest.moc"
