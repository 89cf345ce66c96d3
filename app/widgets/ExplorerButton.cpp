#include "ExplorerButton.h"

namespace quimbel {

TExplorerButton::TExplorerButton(const QString& caption, const QIcon& icono, QWidget* padre)
    : QToolButton(padre) {
    setText(caption);
    setIcon(icono);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(90, 36);
    setIconSize(QSize(16, 16));
}

} // namespace quimbel
