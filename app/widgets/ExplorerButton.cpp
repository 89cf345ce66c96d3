// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExplorerButton.h"

#include <algorithm>

namespace quimbel {

TExplorerButton::TExplorerButton(const QString& caption, const QIcon& icono, QWidget* padre)
    : QToolButton(padre) {
    setText(caption);
    setIcon(icono);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    setIconSize(QSize(16, 16));
    // 90 x 36, or wider where the caption needs it: the style would cut it in the middle.
    setFixedSize(std::max(90, sizeHint().width()), 36);
}

} // namespace quimbel
