// SPDX-License-Identifier: GPL-3.0-or-later
#include "Aplicacion.h"

#include <exception>

namespace quimbel {

bool Aplicacion::notify(QObject* receptor, QEvent* evento) {
    try {
        return QApplication::notify(receptor, evento);
    } catch (const std::exception& error) {
        if (manejador_) manejador_(QString::fromUtf8(error.what()));
    }
    return false;
}

} // namespace quimbel
