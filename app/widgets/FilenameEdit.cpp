// SPDX-License-Identifier: GPL-3.0-or-later
#include "FilenameEdit.h"

#include <QFileInfo>

#include "Soltar.h"
#include "files/Rutas.h"

namespace quimbel {

QString ConComillasSiBlanco(const QString& nombre) {
    return nombre.contains(QLatin1Char(' ')) ? QLatin1Char('"') + nombre + QLatin1Char('"') : nombre;
}

TFilenameEdit::TFilenameEdit(const OpcionesDialogo& opciones, bool escribible, QWidget* padre)
    : EditConBoton(padre), opciones_(opciones) {
    // Read-only still takes the focus, so the exit handler runs, but refuses typing, paste and cut.
    Edit()->setReadOnly(!escribible);
}

void TFilenameEdit::Examinar() {
    if (!dialogos_) return;
    const QString actual = QString::fromStdString(QuitarComillas(text().toStdString()));
    OpcionesDialogo o = opciones_;
    o.inicial = actual;
    const std::optional<QString> elegido = dialogos_->ElegirFichero(o);
    TrasDialogo(elegido.value_or(actual), elegido.has_value());
}

void TFilenameEdit::Elegir(const QString& nombre) {
    TrasDialogo(nombre, true);
}

void TFilenameEdit::TrasDialogo(QString Name, bool Action) {
    if (despuesDialogo_) despuesDialogo_(Name, Action);
    if (Action) setText(ConComillasSiBlanco(Name));
}

bool TFilenameEdit::AceptaSoltar(const QString& ruta) const {
    return !QFileInfo(ruta).isDir();
}

void TFilenameEdit::Soltar(const QString& ruta) {
    if (!dialogos_) return;
    if (!QFileInfo(ruta).isFile()) {
        dialogos_->Mensaje(ServicioDialogos::Icono::Error, QStringLiteral("Error"), TextoErrorAbrir(ruta),
                           false);
        return;
    }
    Elegir(ruta);
}

} // namespace quimbel
