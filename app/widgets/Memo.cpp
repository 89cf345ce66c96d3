// SPDX-License-Identifier: GPL-3.0-or-later
#include "Memo.h"

namespace quimbel {

TMemo::TMemo(QWidget* padre) : QPlainTextEdit(padre) {
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void TMemo::AnadirLinea(const QString& linea) {
    // The document's first block exists already; it becomes the first line.
    if (lineas_ == 0)
        setPlainText(linea);
    else
        appendPlainText(linea);
    ++lineas_;
}

void TMemo::Limpiar() {
    clear();
    lineas_ = 0;
}

QStringList TMemo::Lineas() const {
    if (lineas_ == 0) return {};
    return toPlainText().split(QLatin1Char('\n'));
}

} // namespace quimbel
