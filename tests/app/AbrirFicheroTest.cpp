// SPDX-License-Identifier: GPL-3.0-or-later
// Files opened from outside the window: the command line's arguments, which page a file
// goes to by its name, and the window opening it as if chosen in that box's dialog.
#include <QtTest>

#include "Ventana.h"
#include "app/Argumentos.h"
#include "app/PaginaDeFichero.h"

using namespace quimbel;
using quimbel::prueba::VentanaDePrueba;

class AbrirFicheroTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void argumentos();
    void paginaPorNombre();
    void ficheroACortarConSuPlan();
    void trozoAUnirConSuAnalisis();
    void sfvConSuCarpeta();
    void rutaQueNoEsUnFichero();
    void ajustesDelProgramaInstalado();
};

void AbrirFicheroTest::argumentos() {
    using A = Argumentos::Accion;
    const auto leer = [](std::vector<std::string> a) { return LeerArgumentos(a); };
    QVERIFY(leer({}).accion == A::Ventana && leer({}).fichero.empty());
    QCOMPARE(leer({"a.avi", "b.avi"}).fichero, std::string("a.avi"));
    QVERIFY(leer({"a.avi", "--help"}).accion == A::Ayuda);
    QVERIFY(leer({"-h"}).accion == A::Ayuda);
    QVERIFY(leer({"--version", "-x"}).accion == A::Version);
    const Argumentos error = leer({"-x", "a.avi"});
    QVERIFY(error.accion == A::Error);
    QCOMPARE(error.error, std::string("opción desconocida: -x"));
    // After "--" everything is a file, a dash alone too.
    QCOMPARE(leer({"--", "--help"}).fichero, std::string("--help"));
    QVERIFY(leer({"--", "--help"}).accion == A::Ventana);
    QCOMPARE(leer({"-"}).fichero, std::string("-"));
}

void AbrirFicheroTest::paginaPorNombre() {
    const QList<QPair<QString, PaginaFichero>> casos{
        {"/d/LISTA.SfV", PaginaFichero::Verificar}, {"/d/peli.FIN", PaginaFichero::Unir},
        {"/d/peli.0", PaginaFichero::Unir},         {"/d/peli.tar.0012", PaginaFichero::Unir},
        {"/d/peli.0a", PaginaFichero::Cortar},      {"/d/peli.", PaginaFichero::Cortar},
        {"/d/sinpunto", PaginaFichero::Cortar},     {"/d.sfv/peli.avi", PaginaFichero::Cortar},
        {"/d/peli.sfv1", PaginaFichero::Cortar},    {"/d/peli.fine", PaginaFichero::Cortar},
        {"/d/peli.PAR2", PaginaFichero::Reparar},   {"/d/peli.vol0+1.par2", PaginaFichero::Reparar},
        {"/d/peli.par", PaginaFichero::Cortar}};
    for (const auto& [ruta, pagina] : casos)
        QVERIFY2(PaginaDeFichero(ruta) == pagina, qPrintable(ruta));
}

void AbrirFicheroTest::ficheroACortarConSuPlan() {
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    f.PageControlQuimbel->setCurrentWidget(f.TabSheetUnir);
    f.ComboBoxSizes->setEditText(QStringLiteral("1000"));
    v.Escribir("mi peli.avi", QByteArray(2500, 'x'));
    f.AbrirFichero(v.Ruta("mi peli.avi"));
    QCOMPARE(f.PageControlQuimbel->currentWidget(), f.TabSheetCortar);
    // Shown as the dialog's choice is: quoted, for the blank.
    QCOMPARE(f.FilenameEditFicheroCortar->text(),
             QLatin1Char('"') + v.Ruta("mi peli.avi") + QLatin1Char('"'));
    QCOMPARE(f.LabelTamFic->text(), QStringLiteral("2,500"));
    QCOMPARE(f.LabelNum_Trozos->text(), QStringLiteral("3"));
    QCOMPARE(f.RxCheckListBoxCortarExtraer->Cuenta(), 3);
    QVERIFY(f.CortePreparado());
    QVERIFY(f.ExplorerButtonCortarElegir->isEnabled());
    QVERIFY(v.dialogos.dialogosFichero.empty() && v.dialogos.cajas.empty());
}

void AbrirFicheroTest::trozoAUnirConSuAnalisis() {
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    v.Escribir("pelicula.001", QByteArray(4000, 'a'));
    v.Escribir("pelicula.002", QByteArray(4000, 'b'));
    v.Escribir("pelicula.003", QByteArray(1500, 'c'));
    f.AbrirFichero(v.Ruta("pelicula.001"));
    QCOMPARE(f.PageControlQuimbel->currentWidget(), f.TabSheetUnir);
    QCOMPARE(f.FilenameEditFicheroUnir->text(), v.Ruta("pelicula.001"));
    QCOMPARE(f.LabelNum_TrozosUnir->text(), QStringLiteral("3"));
    QCOMPARE(f.LabelTamFicUnido->text(), QStringLiteral("9,500"));
    // All as after the same choice in the box's dialog.
    VentanaDePrueba w;
    TFormMain& g = w.Crear();
    w.dialogos.ficheros.push_back(v.Ruta("pelicula.001"));
    g.FilenameEditFicheroUnir->Examinar();
    for (const char* nombre : {"FilenameEditFicheroUnir", "LabelTamFicUnir", "LabelNum_TrozosUnir",
                               "LabelTamFicUnido", "LabelTamFicUnidoTeorico", "FilenameEditFicheroUnido"}) {
        const auto texto = [nombre](const TFormMain& h) {
            const QObject* o = h.findChild<QObject*>(QLatin1String(nombre));
            return o->property("text").isValid() ? o->property("text").toString()
                                                 : static_cast<const EditConBoton*>(o)->text();
        };
        QCOMPARE(texto(f), texto(g));
    }
}

void AbrirFicheroTest::sfvConSuCarpeta() {
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    v.Escribir("LISTA.SFV", "a.bin 352441c2\r\n");
    f.AbrirFichero(v.Ruta("LISTA.SFV"));
    QCOMPARE(f.PageControlQuimbel->currentWidget(), f.TabSheetVerificar);
    QCOMPARE(f.FilenameEditFicheroVerificar->text(), v.Ruta("LISTA.SFV"));
    // The box's exit rule ran at once: the folder box holds the SFV file's folder.
    QCOMPARE(QDir(f.DirectoryEditFicheroVerificar->text()).canonicalPath(),
             QDir(v.carpeta.path()).canonicalPath());

    // A folder box already filled is left as it is.
    f.DirectoryEditFicheroVerificar->setText(QStringLiteral("/otra"));
    f.AbrirFichero(v.Ruta("LISTA.SFV"));
    QCOMPARE(f.DirectoryEditFicheroVerificar->text(), QStringLiteral("/otra"));

    // A PAR2 index goes to "Reparar", whose folder box fills the same way.
    v.Escribir("juego.par2", "PAR2");
    f.AbrirFichero(v.Ruta("juego.par2"));
    QCOMPARE(f.PageControlQuimbel->currentWidget(), f.TabSheetReparar);
    QCOMPARE(f.FilenameEditFicheroReparar->text(), v.Ruta("juego.par2"));
    QCOMPARE(QDir(f.DirectoryEditFicheroReparar->text()).canonicalPath(),
             QDir(v.carpeta.path()).canonicalPath());
}

void AbrirFicheroTest::rutaQueNoEsUnFichero() {
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    for (const QString& ruta : {v.Ruta("no-existe.sfv"), v.carpeta.path()}) {
        v.dialogos.cajas.clear();
        f.AbrirFichero(ruta);
        QCOMPARE(v.dialogos.Textos(), QStringList{QStringLiteral("¡ Error al abrir fichero ") + ruta + " !"});
        QCOMPARE(v.dialogos.cajas.front().titulo, QStringLiteral("Error"));
        QVERIFY(v.dialogos.cajas.front().icono == ServicioDialogos::Icono::Error);
        QCOMPARE(f.PageControlQuimbel->currentWidget(), f.TabSheetCortar);
        QVERIFY(f.FilenameEditFicheroVerificar->text().isEmpty() &&
                f.FilenameEditFicheroCortar->text().isEmpty());
    }
}

void AbrirFicheroTest::ajustesDelProgramaInstalado() {
    // Installed (not in its build folder) with a writable folder, as root has: the
    // settings go to the configuration folder all the same.
    VentanaDePrueba v;
    QTemporaryDir configuracion;
    EntornoPrograma e;
    e.carpetaEjecutable = v.carpeta.path() + QLatin1Char('/');
    e.nombreEjecutable = QStringLiteral("quimbel");
    e.pantalla = QSize(1024, 768);
    e.carpetaConfiguracion = configuracion.path() + QStringLiteral("/Quimbel");
    e.enCarpetaDeCompilacion = false;
    TFormMain f(e, v.dialogos);
    f.FormCreate();
    f.close();
    QCOMPARE(f.FicheroIni(), configuracion.path() + QStringLiteral("/Quimbel/quimbel.ini"));
    QVERIFY(QFile::exists(configuracion.path() + QStringLiteral("/Quimbel/quimbel.ini")));
    QVERIFY(QFile::exists(configuracion.path() + QStringLiteral("/Quimbel/Sizes.txt")));
    QVERIFY(!QFile::exists(v.Ruta("quimbel.ini")) && !QFile::exists(v.Ruta("Sizes.txt")));
}

QTEST_MAIN(AbrirFicheroTest)
#include "AbrirFicheroTest.moc"
