#include "VentanaQt.h"

#include <QApplication>
#include <algorithm>

#include "app/FormMain.h"
#include "app/Texto.h"

namespace quimbel {

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

void VentanaQt::Enfocar(std::string_view control) {
    if (auto* w = form_.findChild<QWidget*>(DeUtf8(control))) w->setFocus(Qt::OtherFocusReason);
}

void VentanaQt::ActivarPagina(Pagina pagina) {
    QWidget* pagina_ = form_.TabSheetCortar;
    switch (pagina) {
    case Pagina::Unir:
        pagina_ = form_.TabSheetUnir;
        break;
    case Pagina::Verificar:
        pagina_ = form_.TabSheetVerificar;
        break;
    case Pagina::Reparar:
        pagina_ = form_.TabSheetReparar;
        break;
    case Pagina::Extraer:
        pagina_ = form_.TabSheetExtraer;
        break;
    case Pagina::Cortar:
        break;
    }
    form_.PageControlQuimbel->setCurrentWidget(pagina_);
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

void VentanaQt::Repintar() {
    // Paint, expose, resize and the desktop's ping; the user's clicks and keys stay queued.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void VentanaQt::Progreso(int64_t hechos, int64_t total) {
    QProgressBar* barra = form_.ProgressBarAvance;
    if (total < 0) {
        barra->hide();
        return;
    }
    const int64_t escala = TFormMain::EscalaAvance;
    barra->setValue(total == 0 ? 0 : static_cast<int>(std::min(hechos, total) * escala / total));
    barra->show();
}

} // namespace quimbel
