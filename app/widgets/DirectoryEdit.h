// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A folder box: a typable edit whose browse button opens the folder browser and puts
// the chosen folder into the box, without quotes.
#include "EditConBoton.h"

namespace quimbel {

class TDirectoryEdit : public EditConBoton {
    Q_OBJECT
  public:
    TDirectoryEdit(const QString& textoDialogo, QWidget* padre = nullptr);
    const QString& TextoDialogo() const { return textoDialogo_; }
    void Examinar() override;

  protected:
    // A folder; the box then holds its path.
    bool AceptaSoltar(const QString& ruta) const override;
    void Soltar(const QString& ruta) override { setText(ruta); }

  private:
    QString textoDialogo_;
};

} // namespace quimbel
