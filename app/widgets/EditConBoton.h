#pragma once
// A single-line edit with a browse button at its right: the common body of the
// file boxes and the folder box.
#include <QLineEdit>
#include <QToolButton>
#include <QWidget>

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

  signals:
    // The keyboard focus entered or left the edit (not the window losing activation).
    void entrada();
    void salida();

  protected:
    virtual void Examinar() = 0;
    ServicioDialogos* dialogos_ = nullptr;

  private:
    QLineEdit* edit_;
    QToolButton* boton_;
};

} // namespace quimbel
