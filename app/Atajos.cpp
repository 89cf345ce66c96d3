// SPDX-License-Identifier: GPL-3.0-or-later
// The keyboard way to the action buttons, which never take the focus: a shortcut
// clicks its button and, like a click, leaves the focus where it was.
#include <QKeyEvent>
#include <QShortcut>

#include "app/FormMain.h"

namespace quimbel {

namespace {

const QKeySequence Teclas[] = {QKeySequence(Qt::CTRL | Qt::Key_Return),
                               QKeySequence(Qt::CTRL | Qt::Key_Enter), QKeySequence(Qt::CTRL | Qt::Key_E),
                               QKeySequence(Qt::CTRL | Qt::Key_Q)};

// An edit with the focus claims some of these keys for itself (Ctrl+E moves to the end
// of the line); the window's shortcuts come first.
class PrioridadAtajos : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override {
        if (evento->type() == QEvent::ShortcutOverride) {
            const auto* tecla = static_cast<QKeyEvent*>(evento);
            const QKeySequence pulsada(tecla->keyCombination());
            for (const QKeySequence& t : Teclas)
                if (t == pulsada) return true; // not accepted: the shortcut runs
        }
        return QObject::eventFilter(objeto, evento);
    }
};

} // namespace

TExplorerButton* TFormMain::BotonDeAccion() const {
    QWidget* pagina = PageControlQuimbel->currentWidget();
    if (pagina == TabSheetUnir) return ExplorerButtonUnir;
    if (pagina == TabSheetVerificar) return ExplorerButtonVerificar;
    if (pagina == TabSheetExtraer) return ExplorerButtonExtraerVolver;
    if (pagina == TabSheetReparar) return ExplorerButtonComprobar;
    if (pagina == TabSheetCortar) return ExplorerButtonCortar;
    return nullptr;
}

void TFormMain::CrearAtajos() {
    const auto atajo = [this](const QKeySequence& teclas, std::function<TExplorerButton*()> boton) {
        auto* a = new QShortcut(teclas, this);
        connect(a, &QShortcut::activated, this, [boton] {
            if (TExplorerButton* b = boton(); b && b->isEnabled()) b->click();
        });
    };
    const auto accion = [this] { return BotonDeAccion(); };
    atajo(Teclas[0], accion);
    atajo(Teclas[1], accion);
    atajo(Teclas[2], [this] {
        return PageControlQuimbel->currentWidget() == TabSheetCortar ? ExplorerButtonCortarElegir : nullptr;
    });
    atajo(Teclas[3], [this] { return ExplorerButtonSalir; });
    auto* prioridad = new PrioridadAtajos(this);
    for (QWidget* control : findChildren<QWidget*>())
        control->installEventFilter(prioridad);
}

} // namespace quimbel
