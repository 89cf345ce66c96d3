// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A page's result memo: a multi-line log with both scroll bars, kept as a list of
// lines (an empty memo has none; a memo may start with one empty line).
#include <QPlainTextEdit>

namespace quimbel {

class TMemo : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit TMemo(QWidget* padre = nullptr);
    void AnadirLinea(const QString& linea);
    void Limpiar();
    QStringList Lineas() const;

  private:
    int lineas_ = 0;
};

} // namespace quimbel
