// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Enter and exit of a control as the window means them: the keyboard focus moving
// between controls of the window, not the window losing activation to a dialog.
#include <QObject>

namespace quimbel {

class EventosFoco : public QObject {
    Q_OBJECT
  public:
    // Watches objetivo (and is owned by it).
    explicit EventosFoco(QWidget* objetivo);

  signals:
    void entrada();
    void salida();

  protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
};

} // namespace quimbel
