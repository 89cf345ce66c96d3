// SPDX-License-Identifier: GPL-3.0-or-later
// The one table from the engines' names of fields and pages to the window's widgets.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QSet>
#include <QtTest>

#include "Ventana.h"

using namespace quimbel;
using quimbel::prueba::VentanaDePrueba;

class CamposTest : public QObject {
    Q_OBJECT
  private slots:
    void cadaCampoEsUnaEntradaDeSuPaginaYTomaElFoco();
    void cadaPaginaEsUnaPaginaDistintaQueSeActiva();
};

namespace {
// Every field the engines name, with the page a message about it comes from.
const std::pair<Campo, Pagina> Campos[] = {
    {Campo::FicheroCortar, Pagina::Cortar},       {Campo::Tamano, Pagina::Cortar},
    {Campo::FicheroUnir, Pagina::Unir},           {Campo::FicheroUnido, Pagina::Unir},
    {Campo::FicheroVerificar, Pagina::Verificar}, {Campo::FicheroReparar, Pagina::Reparar},
};
constexpr Pagina Paginas[] = {Pagina::Cortar, Pagina::Unir, Pagina::Verificar, Pagina::Reparar,
                              Pagina::Extraer};
} // namespace

void CamposTest::cadaCampoEsUnaEntradaDeSuPaginaYTomaElFoco() {
    VentanaDePrueba v;
    TFormMain& f = v.CrearActiva();
    VentanaQt ventana(f);
    QSet<QWidget*> vistos;
    for (const auto& [campo, pagina] : Campos) {
        QWidget* control = ControlDe(f, campo);
        QVERIFY(control != nullptr);
        QVERIFY2(!vistos.contains(control), qPrintable(control->objectName()));
        vistos.insert(control);
        QVERIFY2(PaginaDe(f, pagina)->isAncestorOf(control), qPrintable(control->objectName()));
        // The focus starts elsewhere on the page, and the engine's call brings it to the input.
        ventana.ActivarPagina(pagina);
        f.MemoResultadoCortar->setFocus();
        ventana.Enfocar(campo);
        QWidget* foco = QApplication::focusWidget();
        QVERIFY2(foco == control || control->isAncestorOf(foco), qPrintable(control->objectName()));
        QVERIFY(qobject_cast<QLineEdit*>(foco) != nullptr || qobject_cast<QComboBox*>(foco) != nullptr);
    }
}

void CamposTest::cadaPaginaEsUnaPaginaDistintaQueSeActiva() {
    VentanaDePrueba v;
    TFormMain& f = v.Crear();
    VentanaQt ventana(f);
    QSet<QWidget*> vistas;
    for (const Pagina pagina : Paginas) {
        QWidget* widget = PaginaDe(f, pagina);
        QVERIFY(widget != nullptr);
        QVERIFY(!vistas.contains(widget));
        vistas.insert(widget);
        QVERIFY(f.PageControlQuimbel->indexOf(widget) >= 0);
        ventana.ActivarPagina(pagina);
        QCOMPARE(f.PageControlQuimbel->currentWidget(), widget);
    }
}

QTEST_MAIN(CamposTest)
#include "CamposTest.moc"
