#include "FilenameEdit.h"

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
    QString Name = elegido.value_or(actual);
    bool Action = elegido.has_value();
    if (despuesDialogo_) despuesDialogo_(Name, Action);
    if (Action) setText(ConComillasSiBlanco(Name));
}

} // namespace quimbel
