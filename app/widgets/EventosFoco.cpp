// SPDX-License-Identifier: GPL-3.0-or-later
#include "EventosFoco.h"

#include <QFocusEvent>
#include <QWidget>

namespace quimbel {

EventosFoco::EventosFoco(QWidget* objetivo) : QObject(objetivo) {
    objetivo->installEventFilter(this);
}

bool EventosFoco::eventFilter(QObject* objeto, QEvent* evento) {
    if (evento->type() == QEvent::FocusIn || evento->type() == QEvent::FocusOut) {
        const Qt::FocusReason motivo = static_cast<QFocusEvent*>(evento)->reason();
        // A modal box or a popup taking the activation is no move between controls.
        if (motivo != Qt::ActiveWindowFocusReason && motivo != Qt::PopupFocusReason) {
            if (evento->type() == QEvent::FocusIn)
                emit entrada();
            else
                emit salida();
        }
    }
    return QObject::eventFilter(objeto, evento);
}

} // namespace quimbel
