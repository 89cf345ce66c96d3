// SPDX-License-Identifier: GPL-3.0-or-later
#include "VentanaQt.h"

#include <QApplication>
#include <algorithm>

#include "app/FormMain.h"
#include "app/Texto.h"

namespace quimbel {

// No default: a name added to the engines without its widget here is a compile error.
QWidget* ControlDe(const TFormMain& form, Campo campo) {
    switch (campo) {
    case Campo::FicheroCortar:
        return form.FilenameEditFicheroCortar;
    case Campo::Tamano:
        return form.ComboBoxSizes;
    case Campo::FicheroUnir:
        return form.FilenameEditFicheroUnir;
    case Campo::FicheroUnido:
        return form.FilenameEditFicheroUnido;
    case Campo::FicheroVerificar:
        return form.FilenameEditFicheroVerificar;
    case Campo::FicheroReparar:
        return form.FilenameEditFicheroReparar;
    }
    return form.FilenameEditFicheroCortar;
}

QWidget* PaginaDe(const TFormMain& form, Pagina pagina) {
    switch (pagina) {
    case Pagina::Cortar:
        return form.TabSheetCortar;
    case Pagina::Unir:
        return form.TabSheetUnir;
    case Pagina::Verificar:
        return form.TabSheetVerificar;
    case Pagina::Reparar:
        return form.TabSheetReparar;
    case Pagina::Extraer:
        return form.TabSheetExtraer;
    }
    return form.TabSheetCortar;
}

TMemo* VentanaQt::MemoDe(Memo memo) const {
    switch (memo) {
    case Memo::Unir:
        return form_.MemoResultadoUnir;
    case Memo::Verificar:
        return form_.MemoResultadoVerificar;
    case Memo::Reparar:
        return form_.MemoResultadoReparar;
    case Memo::Cortar:
        break;
    }
    return form_.MemoResultadoCortar;
}

void VentanaQt::AnadirLinea(Memo memo, std::string_view linea) {
    MemoDe(memo)->AnadirLinea(DeUtf8(linea));
}

void VentanaQt::LimpiarMemo(Memo memo) {
    MemoDe(memo)->Limpiar();
}

Respuesta VentanaQt::Caja(bool error, std::string_view texto, bool preguntar) {
    // The box shows the normal cursor even in the middle of a run.
    const bool estabaOcupado = ocupado_;
    if (estabaOcupado) CursorNormal();
    if (form_.EnEjecucion()) form_.Avisos().Caja(DeUtf8(texto), error, form_.isActiveWindow());
    const Respuesta r = form_.Dialogos().Mensaje(
        error ? ServicioDialogos::Icono::Error : ServicioDialogos::Icono::Informacion,
        error ? QStringLiteral("Error") : QStringLiteral("Information"), DeUtf8(texto), preguntar);
    if (estabaOcupado) CursorOcupado();
    return r;
}

void VentanaQt::Error(std::string_view texto) {
    Caja(true, texto, false);
}

void VentanaQt::Informacion(std::string_view texto) {
    Caja(false, texto, false);
}

Respuesta VentanaQt::Pregunta(std::string_view texto) {
    return Caja(true, texto, true);
}

bool VentanaQt::Interrumpido() const {
    return form_.CierrePendiente();
}

bool VentanaQt::Reemplazar(std::string_view ruta) {
    const bool estabaOcupado = ocupado_;
    if (estabaOcupado) CursorNormal();
    const bool si = form_.Dialogos().Confirmar(QStringLiteral("Confirm"),
                                               DeUtf8("¿ Reemplazar el fichero " + std::string(ruta) + " ?"));
    if (estabaOcupado) CursorOcupado();
    return si;
}

bool VentanaQt::RepararYUnir(std::string_view motivo) {
    const bool estabaOcupado = ocupado_;
    if (estabaOcupado) CursorNormal();
    const bool si = form_.Dialogos().Confirmar(
        QStringLiteral("Confirm"), DeUtf8(std::string(motivo) + "\n" + std::string(PreguntaReparar)));
    if (estabaOcupado) CursorOcupado();
    return si;
}

void VentanaQt::Enfocar(Campo campo) {
    ControlDe(form_, campo)->setFocus(Qt::OtherFocusReason);
}

void VentanaQt::ActivarPagina(Pagina pagina) {
    form_.PageControlQuimbel->setCurrentWidget(PaginaDe(form_, pagina));
}

void VentanaQt::CursorOcupado() {
    if (ocupado_) return;
    ocupado_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void VentanaQt::CursorNormal() {
    if (!ocupado_) return;
    ocupado_ = false;
    QApplication::restoreOverrideCursor();
}

void VentanaQt::ProcesarMensajes() {
    QCoreApplication::processEvents();
}

void VentanaQt::MostrarPlan(const PlanCorte& plan) {
    form_.MostrarPlan(plan);
}

void VentanaQt::Repintar() {
    // Paint, expose, resize and the desktop's ping; the user's clicks and keys stay queued.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void VentanaQt::Progreso(int64_t hechos, int64_t total) {
    QProgressBar* barra = form_.ProgressBarAvance;
    form_.Avisos().Progreso(hechos, total);
    if (total < 0) {
        barra->hide();
        return;
    }
    const int64_t escala = TFormMain::EscalaAvance;
    barra->setValue(total == 0 ? 0 : static_cast<int>(std::min(hechos, total) * escala / total));
    barra->show();
}

} // namespace quimbel
