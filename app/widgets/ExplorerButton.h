// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A flat push button with an icon left of its caption that never takes the keyboard
// focus: a click leaves the focus where it was, so no exit handler runs first.
#include <QToolButton>

namespace quimbel {

class TExplorerButton : public QToolButton {
    Q_OBJECT
  public:
    TExplorerButton(const QString& caption, const QIcon& icono, QWidget* padre = nullptr);
};

} // namespace quimbel
