// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A file box: an edit with a browse button that opens a file dialog. A box that is
// not typable takes the focus but accepts no typing, paste or cut: only its dialog
// sets it.
#include <functional>

#include "EditConBoton.h"
#include "app/Dialogos.h"

namespace quimbel {

class TFilenameEdit : public EditConBoton {
    Q_OBJECT
  public:
    // Raised when the dialog closes: Name is the chosen file (on a cancel, the box's file
    // without quotes) and Action whether one was chosen. When the handler leaves Action
    // true, the box shows Name, between double quotes when it holds a blank.
    using DespuesDialogo = std::function<void(QString& Name, bool& Action)>;

    TFilenameEdit(const OpcionesDialogo& opciones, bool escribible, QWidget* padre = nullptr);

    void PonerDespuesDialogo(DespuesDialogo manejador) { despuesDialogo_ = std::move(manejador); }
    const OpcionesDialogo& Opciones() const { return opciones_; }
    // Opens the dialog as the browse button does.
    void Examinar() override;
    // The choice of a file as the dialog makes it: the after-dialog event with Name the
    // file and Action true; the box shows Name when the handler leaves Action true.
    void Elegir(const QString& nombre);

  protected:
    // Anything but a folder; what does not exist is refused with a box when dropped.
    bool AceptaSoltar(const QString& ruta) const override;
    // An existing file is the box's choice, as through its dialog; on a save box an
    // existing file first gets the dialog's overwrite question (No leaves the box as it was).
    void Soltar(const QString& ruta) override;

  private:
    // The dialog closed with Name and Action.
    void TrasDialogo(QString Name, bool Action);
    OpcionesDialogo opciones_;
    DespuesDialogo despuesDialogo_;
};

// The name as a file box shows it: between double quotes when it holds a blank.
QString ConComillasSiBlanco(const QString& nombre);

} // namespace quimbel
