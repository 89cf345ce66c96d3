// SPDX-License-Identifier: GPL-3.0-or-later
// Under a Spanish locale (LANG=es_ES.UTF-8) Qt's own texts are Spanish: file dialogs and
// context menus; the program's boxes keep their fixed titles and buttons.
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include "app/Arranque.h"
#include "app/Dialogos.h"

using namespace quimbel;

class EspanolTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void dialogoDeFicheroYMenu();
    void cajasDelPrograma();
};

namespace {

// The title of the box that is up, then the texts of its buttons in text order; the box is
// then closed.
QStringList CerrarCaja() {
    auto* caja = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!caja) return {QStringLiteral("no box")};
    QStringList botones;
    for (QAbstractButton* b : caja->buttons())
        botones << b->text();
    botones.sort();
    caja->buttons().constFirst()->click();
    return QStringList{caja->windowTitle()} + botones;
}

} // namespace

void EspanolTest::initTestCase() {
    QCOMPARE(QLocale::system().language(), QLocale::Spanish);
    QVERIFY(!CargarTraduccionesQt(*qApp, QLocale(QLocale::English)));
    QCOMPARE(QCoreApplication::translate("QLineEdit", "&Undo"), QStringLiteral("&Undo"));
    QVERIFY(CargarTraduccionesQt(*qApp));
}

void EspanolTest::dialogoDeFicheroYMenu() {
    QFileDialog dialogo;
    dialogo.setOption(QFileDialog::DontUseNativeDialog);
    PrepararDialogoFichero(
        dialogo,
        {QStringLiteral("Seleccionar fichero para cortar"), QStringLiteral("Todos (*.*)|*.*"), {}, false});
    auto* botones = dialogo.findChild<QDialogButtonBox*>();
    QVERIFY(botones);
    QCOMPARE(botones->button(QDialogButtonBox::Open)->text(), QStringLiteral("&Abrir"));
    QCOMPARE(botones->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Cancelar"));
    QCOMPARE(dialogo.findChild<QLabel*>(QStringLiteral("lookInLabel"))->text(), QStringLiteral("Ver en:"));
    QCOMPARE(dialogo.windowTitle(), QStringLiteral("Seleccionar fichero para cortar"));

    QLineEdit caja;
    std::unique_ptr<QMenu> menu(caja.createStandardContextMenu());
    QCOMPARE(menu->actions().constFirst()->text().section(QLatin1Char('\t'), 0, 0),
             QStringLiteral("&Deshacer"));
}

void EspanolTest::cajasDelPrograma() {
    DialogosQt dialogos;
    QStringList vistos;
    QTimer::singleShot(0, [&] { vistos = CerrarCaja(); });
    dialogos.Mensaje(ServicioDialogos::Icono::Error, QStringLiteral("Error"), QStringLiteral("¿ Seguro ?"),
                     true);
    QCOMPARE(vistos, (QStringList{"Error", "&No", "&Yes", "Cancel"}));
    QTimer::singleShot(0, [&] { vistos = CerrarCaja(); });
    dialogos.Mensaje(ServicioDialogos::Icono::Informacion, QStringLiteral("Information"),
                     QStringLiteral("¡ Proceso finalizado !"), false);
    QCOMPARE(vistos, (QStringList{"Information", "OK"}));
}

QTEST_MAIN(EspanolTest)
#include "EspanolTest.moc"
