// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A box of several files: a read-only edit whose browse button opens a dialog where several
// existing files are chosen; the box shows them, each between double quotes, and keeps
// their paths. A file dropped on it joins the list.
#include <QStringList>

#include "EditConBoton.h"
#include "app/Dialogos.h"

namespace quimbel {

class TFicherosEdit : public EditConBoton {
    Q_OBJECT
  public:
    explicit TFicherosEdit(const OpcionesDialogo& opciones, QWidget* padre = nullptr);

    const QStringList& Ficheros() const { return ficheros_; }
    // The box's files from now on (the dialog's choice).
    void PonerFicheros(const QStringList& ficheros);
    void Examinar() override;

  protected:
    bool AceptaSoltar(const QString& ruta) const override;
    void Soltar(const QString& ruta) override;

  private:
    OpcionesDialogo opciones_;
    QStringList ficheros_;
};

} // namespace quimbel
