// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A single-line edit with a browse button at its right: the common body of the
// file boxes and the folder box. A local file or folder dropped on it that fits the
// box is taken as the box's own choice, never inserted as text; one that does not fit
// goes on to the window behind it.
#include <QLineEdit>
#include <QToolButton>
#include <QWidget>
#include <functional>
#include <optional>

class QMimeData;

namespace quimbel {

class ServicioDialogos;

class EditConBoton : public QWidget {
    Q_OBJECT
  public:
    explicit EditConBoton(QWidget* padre = nullptr);

    QString text() const { return edit_->text(); }
    void setText(const QString& texto) { edit_->setText(texto); }
    QLineEdit* Edit() const { return edit_; }
    QToolButton* Boton() const { return boton_; }
    // The service through which the browse button opens its dialog.
    void PonerDialogos(ServicioDialogos* dialogos) { dialogos_ = dialogos; }
    // Whether a drop is taken at the moment (the window refuses them during a run).
    void PonerSoltarPermitido(std::function<bool()> permitido) { soltarPermitido_ = std::move(permitido); }

  signals:
    // The keyboard focus entered or left the edit (not the window losing activation).
    void entrada();
    void salida();

  protected:
    virtual void Examinar() = 0;
    // Whether a dropped path fits the box (a file for a file box, a folder for a folder box).
    virtual bool AceptaSoltar(const QString& ruta) const = 0;
    // Takes a dropped path that fits.
    virtual void Soltar(const QString& ruta) = 0;
    void dragEnterEvent(QDragEnterEvent* evento) override;
    void dragMoveEvent(QDragMoveEvent* evento) override;
    void dropEvent(QDropEvent* evento) override;
    ServicioDialogos* dialogos_ = nullptr;

  private:
    QLineEdit* edit_;
    QToolButton* boton_;
    std::function<bool()> soltarPermitido_;
    // The dropped path the box takes, or none.
    std::optional<QString> RutaAceptada(const QMimeData* datos) const;
};

} // namespace quimbel
