// SPDX-License-Identifier: GPL-3.0-or-later
#include "FicherosEdit.h"

#include <QFileInfo>

namespace quimbel {

TFicherosEdit::TFicherosEdit(const OpcionesDialogo& opciones, QWidget* padre)
    : EditConBoton(padre), opciones_(opciones) {
    Edit()->setReadOnly(true);
}

void TFicherosEdit::PonerFicheros(const QStringList& ficheros) {
    ficheros_ = ficheros;
    QStringList mostrados;
    for (const QString& f : ficheros)
        mostrados << QLatin1Char('"') + f + QLatin1Char('"');
    setText(mostrados.join(QLatin1Char(' ')));
}

void TFicherosEdit::Examinar() {
    if (!dialogos_) return;
    if (const std::optional<QStringList> elegidos = dialogos_->ElegirFicheros(opciones_))
        PonerFicheros(*elegidos);
}

bool TFicherosEdit::AceptaSoltar(const QString& ruta) const {
    return QFileInfo(ruta).isFile();
}

void TFicherosEdit::Soltar(const QString& ruta) {
    if (!ficheros_.contains(ruta)) PonerFicheros(ficheros_ + QStringList{ruta});
}

} // namespace quimbel
