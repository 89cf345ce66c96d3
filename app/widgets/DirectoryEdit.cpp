// SPDX-License-Identifier: GPL-3.0-or-later
#include "DirectoryEdit.h"

#include <QFileInfo>

#include "app/Dialogos.h"

namespace quimbel {

TDirectoryEdit::TDirectoryEdit(const QString& textoDialogo, QWidget* padre)
    : EditConBoton(padre), textoDialogo_(textoDialogo) {}

void TDirectoryEdit::Examinar() {
    if (!dialogos_) return;
    if (const std::optional<QString> carpeta = dialogos_->ElegirCarpeta(textoDialogo_, text()))
        setText(*carpeta);
}

bool TDirectoryEdit::AceptaSoltar(const QString& ruta) const {
    return QFileInfo(ruta).isDir();
}

} // namespace quimbel
