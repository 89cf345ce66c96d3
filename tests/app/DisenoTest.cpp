// SPDX-License-Identifier: GPL-3.0-or-later
// The window's layout: at the designed size and at the smallest one, no visible control
// of a page is drawn over another, cut off or squeezed below its least size (a button's
// caption is whole only at its least size, the style cuts it below); the hidden
// "Extraer" tab is drawn nowhere; file dialogs show each filter as it is described.
#include <QAbstractScrollArea>
#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QImage>
#include <QLayout>
#include <QTabBar>
#include <QtTest>

#include "Ventana.h"

using namespace quimbel;
using quimbel::prueba::VentanaDePrueba;

class DisenoTest : public QObject {
    Q_OBJECT
  private slots:
    void nadaSeSolapa_data();
    void nadaSeSolapa();
    void pestanaOcultaNoSeDibuja();
    void filtrosSeMuestranUnaVez();
};

namespace {

// Lets every pending layout request and resize take effect.
void Asentar(QWidget& ventana) {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        for (QLayout* l : ventana.findChildren<QLayout*>())
            l->activate();
        if (ventana.layout()) ventana.layout()->activate();
    }
}

// A control drawn as one piece: a combo box or a scrolled area with its inner parts.
bool Compuesto(const QWidget* w) {
    return qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractScrollArea*>(w);
}

bool DentroDeCompuesto(const QWidget* w, const QWidget* pagina) {
    for (const QWidget* p = w->parentWidget(); p && p != pagina; p = p->parentWidget())
        if (Compuesto(p)) return true;
    return false;
}

// The visible controls of a page that hold no visible control of their own.
QList<QWidget*> Hojas(QWidget* pagina) {
    QList<QWidget*> hojas;
    for (QWidget* w : pagina->findChildren<QWidget*>()) {
        if (!w->isVisible() || DentroDeCompuesto(w, pagina)) continue;
        bool hoja = true;
        if (!Compuesto(w))
            for (QWidget* hijo : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                if (hijo->isVisible()) hoja = false;
        if (hoja) hojas << w;
    }
    return hojas;
}

QString Nombre(const QWidget* w) {
    QString n = QString::fromLatin1(w->metaObject()->className());
    if (const auto* etiqueta = qobject_cast<const QLabel*>(w)) n += QLatin1Char(' ') + etiqueta->text();
    for (const QWidget* p = w; p; p = p->parentWidget())
        if (!p->objectName().isEmpty()) return n + QLatin1String(" in ") + p->objectName();
    return n;
}

// No two leaves meet; each lies inside its page and has at least its least size.
void ComprobarPagina(QWidget* pagina) {
    const QList<QWidget*> hojas = Hojas(pagina);
    QVERIFY(!hojas.isEmpty());
    QList<QRect> rects;
    for (QWidget* w : hojas) {
        const QRect r(w->mapTo(pagina, QPoint(0, 0)), w->size());
        QVERIFY2(pagina->rect().contains(r), qPrintable(Nombre(w) + QLatin1String(" cut off")));
        const QSize minimo = w->minimumSizeHint();
        QVERIFY2(w->width() >= minimo.width() && w->height() >= minimo.height(),
                 qPrintable(Nombre(w) + QLatin1String(" squeezed")));
        rects << r;
    }
    for (qsizetype i = 0; i < hojas.size(); ++i)
        for (qsizetype j = i + 1; j < hojas.size(); ++j)
            QVERIFY2(!rects[i].intersects(rects[j]),
                     qPrintable(Nombre(hojas[i]) + QLatin1String(" over ") + Nombre(hojas[j])));
}

} // namespace

void DisenoTest::nadaSeSolapa_data() {
    QTest::addColumn<bool>("minimo");
    QTest::newRow("designed size") << false;
    QTest::newRow("smallest size") << true;
}

void DisenoTest::nadaSeSolapa() {
    QFETCH(bool, minimo);
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    // The hidden values of the "Unir" page shown too, as after an analysis.
    f.LabelTamFicUnidoTeoricoDes->show();
    f.LabelTamFicUnidoTeorico->show();
    f.resize(minimo ? QSize(1, 1) : QSize(478, 450));
    Asentar(f);
    if (minimo) {
        QCOMPARE(f.PageControlQuimbel->size(), QSize(470, 330));
    } else {
        QCOMPARE(f.size(), QSize(478, 450));
    }
    for (QWidget* pagina :
         {f.TabSheetCortar, f.TabSheetUnir, f.TabSheetVerificar, f.TabSheetReparar, f.TabSheetExtraer}) {
        f.PageControlQuimbel->setCurrentWidget(pagina);
        Asentar(f);
        ComprobarPagina(pagina);
        if (QTest::currentTestFailed()) return;
    }
    ComprobarPagina(f.PanelPrincipal);
}

void DisenoTest::pestanaOcultaNoSeDibuja() {
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    QTabBar* barra = f.PageControlQuimbel->tabBar();
    // "Cortar" unselected looks the same whether "Unir" or the hidden "Extraer" is current;
    // the left half of its tab is clear of the selected "Unir" tab's overlap.
    const auto cortar = [&] {
        Asentar(f);
        const QRect r = barra->tabRect(0);
        return barra->grab().toImage().copy(QRect(0, 0, r.width() / 2, barra->height()));
    };
    f.PageControlQuimbel->setCurrentWidget(f.TabSheetUnir);
    const QImage conUnir = cortar();
    f.PageControlQuimbel->setCurrentWidget(f.TabSheetExtraer);
    const QImage conExtraer = cortar();
    QCOMPARE(conExtraer, conUnir);
}

void DisenoTest::filtrosSeMuestranUnaVez() {
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    const QList<QPair<TFilenameEdit*, QStringList>> cajas{
        {f.FilenameEditFicheroCortar, {"Todos (*.*)"}},
        {f.FilenameEditFicheroUnir,
         {"CortaArchivos (*.fin)", "Estandar (*.001)", "Hacha (*.0)", "Todos (*.*)"}},
        {f.FilenameEditFicheroUnido, {"Avi (*.avi)", "Mpeg (*.mpg)", "Todos (*.*)"}},
        {f.FilenameEditFicheroVerificar, {"___ _____ (*.sfv)"}}};
    for (const auto& [caja, descripciones] : cajas) {
        QFileDialog dialogo;
        dialogo.setOption(QFileDialog::DontUseNativeDialog);
        PrepararDialogoFichero(dialogo, caja->Opciones());
        auto* tipos = dialogo.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        QVERIFY(tipos);
        QStringList mostrados;
        for (int i = 0; i < tipos->count(); ++i)
            mostrados << tipos->itemText(i);
        QCOMPARE(mostrados, descripciones);
        QCOMPARE(dialogo.windowTitle(), caja->Opciones().titulo);
    }
    // "Todos (*.*)" lists names without a dot too.
    QFileDialog dialogo;
    dialogo.setOption(QFileDialog::DontUseNativeDialog);
    PrepararDialogoFichero(dialogo, f.FilenameEditFicheroUnir->Opciones());
    dialogo.selectNameFilter(dialogo.nameFilters().constLast());
    auto* modelo = dialogo.findChild<QFileSystemModel*>();
    QVERIFY(modelo);
    QCOMPARE(modelo->nameFilters(), QStringList{QStringLiteral("*")});
}

QTEST_MAIN(DisenoTest)
#include "DisenoTest.moc"
