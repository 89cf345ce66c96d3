// SPDX-License-Identifier: GPL-3.0-or-later
// Files from outside the window: the command line, the desktop, drops.
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>

#include "app/FormMain.h"
#include "app/PaginaDeFichero.h"
#include "app/widgets/Soltar.h"

namespace quimbel {

void TFormMain::AbrirFichero(const QString& ruta) {
    if (enEjecucion_) return;
    if (!QFileInfo(ruta).isFile()) {
        ventana_.Error(TextoErrorAbrir(ruta).toStdString());
        return;
    }
    switch (PaginaDeFichero(ruta)) {
    case PaginaFichero::Verificar:
        PageControlQuimbel->setCurrentWidget(TabSheetVerificar);
        FilenameEditFicheroVerificar->Elegir(ruta);
        // The box's exit rule at once: an empty folder box gets the file's folder.
        FilenameEditFicheroVerificarExit();
        break;
    case PaginaFichero::Reparar:
        PageControlQuimbel->setCurrentWidget(TabSheetReparar);
        FilenameEditFicheroReparar->Elegir(ruta);
        // As for an SFV file: an empty folder box gets the index's folder.
        FilenameEditFicheroRepararExit();
        break;
    case PaginaFichero::Unir:
        PageControlQuimbel->setCurrentWidget(TabSheetUnir);
        FilenameEditFicheroUnir->Elegir(ruta);
        break;
    case PaginaFichero::Cortar:
        PageControlQuimbel->setCurrentWidget(TabSheetCortar);
        FilenameEditFicheroCortar->Elegir(ruta);
        break;
    }
}

namespace {

// The file a drop on the window carries, when the window takes it now.
std::optional<QString> FicheroSoltado(const QMimeData* datos, bool enEjecucion) {
    if (enEjecucion) return std::nullopt;
    const std::optional<QString> ruta = RutaSoltada(datos);
    if (!ruta || QFileInfo(*ruta).isDir()) return std::nullopt;
    return ruta;
}

} // namespace

void TFormMain::dragEnterEvent(QDragEnterEvent* evento) {
    if (FicheroSoltado(evento->mimeData(), enEjecucion_)) evento->acceptProposedAction();
}

void TFormMain::dragMoveEvent(QDragMoveEvent* evento) {
    if (FicheroSoltado(evento->mimeData(), enEjecucion_)) evento->acceptProposedAction();
}

void TFormMain::dropEvent(QDropEvent* evento) {
    const std::optional<QString> ruta = FicheroSoltado(evento->mimeData(), enEjecucion_);
    if (!ruta) return;
    evento->acceptProposedAction();
    AbrirFichero(*ruta);
}

void TFormMain::ConectarSoltar() {
    // Text controls would insert a dropped file's URI; there the drop is the window's.
    for (QWidget* control : findChildren<QWidget*>())
        control->setAcceptDrops(false);
    setAcceptDrops(true);
    for (EditConBoton* caja : findChildren<EditConBoton*>()) {
        caja->setAcceptDrops(true);
        caja->PonerSoltarPermitido([this] { return !enEjecucion_; });
    }
}

} // namespace quimbel
