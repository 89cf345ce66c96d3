// SPDX-License-Identifier: GPL-3.0-or-later
#include "Dialogos.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

namespace quimbel {

namespace {

// Shows a box centred on the screen and waits; the button pressed.
QAbstractButton* Mostrar(QMessageBox& caja) {
    caja.setTextFormat(Qt::PlainText);
    caja.adjustSize();
    if (const QScreen* pantalla = QGuiApplication::primaryScreen())
        caja.move(pantalla->geometry().center() - caja.rect().center());
    caja.exec();
    return caja.clickedButton();
}

} // namespace

Respuesta DialogosQt::Mensaje(Icono icono, const QString& titulo, const QString& texto, bool preguntar) {
    if (Terminado()) return SinRespuesta(preguntar);
    // A CR alone is a line break in the box, as the messages are written.
    QString mostrado = texto;
    mostrado.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox caja(icono == Icono::Error ? QMessageBox::Critical : QMessageBox::Information, titulo,
                     mostrado);
    QAbstractButton* si = nullptr;
    QAbstractButton* no = nullptr;
    if (preguntar) {
        si = caja.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
        no = caja.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
        caja.setEscapeButton(caja.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole));
    } else {
        caja.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    }
    const QAbstractButton* pulsado = Mostrar(caja);
    if (!preguntar || Terminado()) return SinRespuesta(preguntar);
    if (pulsado == si) return Respuesta::Si;
    if (pulsado == no) return Respuesta::No;
    return Respuesta::Cancelar;
}

bool DialogosQt::Confirmar(const QString& titulo, const QString& texto) {
    if (Terminado()) return false;
    QMessageBox caja(QMessageBox::Question, titulo, texto);
    const QAbstractButton* si = caja.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
    QAbstractButton* no = caja.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
    caja.setDefaultButton(qobject_cast<QPushButton*>(no));
    caja.setEscapeButton(no);
    return Mostrar(caja) == si && !Terminado();
}

QString FiltroQt(const QString& filtro) {
    const QStringList partes = filtro.split(QLatin1Char('|'));
    QStringList filtros;
    for (qsizetype i = 0; i + 1 < partes.size(); i += 2) {
        QString patron = partes[i + 1];
        if (patron == QLatin1String("*.*")) patron = QStringLiteral("*");
        // The dialog matches the last "(...)" and, with its details hidden, shows what
        // comes before it: the description alone, which may hold a pattern of its own.
        filtros << partes[i] + QStringLiteral(" (") + patron + QStringLiteral(")");
    }
    return filtros.join(QStringLiteral(";;"));
}

void PrepararDialogoFichero(QFileDialog& dialogo, const OpcionesDialogo& o) {
    dialogo.setWindowTitle(o.titulo);
    dialogo.setOption(QFileDialog::HideNameFilterDetails);
    dialogo.setNameFilter(FiltroQt(o.filtro));
    if (!o.inicial.isEmpty()) dialogo.selectFile(o.inicial);
    if (o.guardar) {
        dialogo.setAcceptMode(QFileDialog::AcceptSave);
        dialogo.setFileMode(QFileDialog::AnyFile);
        // The run asks the one question before it replaces a file, however the name came.
        dialogo.setOption(QFileDialog::DontConfirmOverwrite);
    } else {
        dialogo.setAcceptMode(QFileDialog::AcceptOpen);
        dialogo.setFileMode(QFileDialog::ExistingFile);
    }
}

std::optional<QString> DialogosQt::ElegirFichero(const OpcionesDialogo& o) {
    if (Terminado()) return std::nullopt;
    QFileDialog dialogo;
    PrepararDialogoFichero(dialogo, o);
    if (dialogo.exec() != QDialog::Accepted || Terminado() || dialogo.selectedFiles().isEmpty())
        return std::nullopt;
    return dialogo.selectedFiles().constFirst();
}

std::optional<QStringList> DialogosQt::ElegirFicheros(const OpcionesDialogo& o) {
    if (Terminado()) return std::nullopt;
    QFileDialog dialogo;
    PrepararDialogoFichero(dialogo, o);
    dialogo.setFileMode(QFileDialog::ExistingFiles);
    if (dialogo.exec() != QDialog::Accepted || Terminado() || dialogo.selectedFiles().isEmpty())
        return std::nullopt;
    return dialogo.selectedFiles();
}

std::optional<QString> DialogosQt::ElegirCarpeta(const QString& texto, const QString& inicial) {
    if (Terminado()) return std::nullopt;
    const QString carpeta = QFileDialog::getExistingDirectory(nullptr, texto, inicial);
    if (carpeta.isEmpty() || Terminado()) return std::nullopt;
    return carpeta;
}

void DialogosQt::CerrarAbiertos() {
    // Nested boxes close from the innermost out, each returning to the one below it.
    while (QWidget* modal = QApplication::activeModalWidget()) {
        if (auto* dialogo = qobject_cast<QDialog*>(modal))
            dialogo->reject();
        else
            modal->close();
        if (QApplication::activeModalWidget() == modal) break;
    }
}

} // namespace quimbel
