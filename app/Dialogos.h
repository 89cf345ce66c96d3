// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every modal box and file dialog the window opens goes through this service, so
// that tests can answer them without anything waiting for a person.
#include <QString>
#include <QStringList>
#include <optional>

class QFileDialog;

#include "files/Ventana.h"

namespace quimbel {

// What a file dialog is asked for.
struct OpcionesDialogo {
    QString titulo;
    QString filtro;       // "description|pattern|description|pattern"
    QString inicial;      // the file already in the box, or empty
    bool guardar = false; // a save dialog rather than an open one; the run asks before replacing
};

class ServicioDialogos {
  public:
    enum class Icono { Error, Informacion };
    virtual ~ServicioDialogos() = default;

    // Nobody will answer from now on (the session is ending): the box or dialog that is open
    // is closed as Cancel or No, and later ones are not shown, answered the same way.
    void Terminar() {
        terminado_ = true;
        CerrarAbiertos();
    }
    bool Terminado() const { return terminado_; }

    // A modal box centred on the screen. With preguntar, its buttons are "&Yes", "&No" and
    // "Cancel" and the answer is the button pressed; otherwise one "OK" (answer Si).
    virtual Respuesta Mensaje(Icono icono, const QString& titulo, const QString& texto, bool preguntar) = 0;
    // The chosen file, or none when the dialog was cancelled.
    virtual std::optional<QString> ElegirFichero(const OpcionesDialogo& opciones) = 0;
    // The existing files chosen (several at once where the dialog allows it), or none when the
    // dialog was cancelled; by default the one file ElegirFichero gives.
    virtual std::optional<QStringList> ElegirFicheros(const OpcionesDialogo& opciones) {
        const std::optional<QString> uno = ElegirFichero(opciones);
        if (!uno) return std::nullopt;
        return QStringList{*uno};
    }
    // The chosen folder, or none when the browser was cancelled.
    virtual std::optional<QString> ElegirCarpeta(const QString& texto, const QString& inicial) = 0;
    // A modal question box centred on the screen with "&Yes" and "&No"; true for Yes (false
    // when nobody can answer).
    virtual bool Confirmar(const QString& titulo, const QString& texto) = 0;

  protected:
    // Closes whatever box or dialog of the service is open now.
    virtual void CerrarAbiertos() {}
    // The answer of a box nobody can answer: Cancel for the question, OK otherwise.
    static Respuesta SinRespuesta(bool preguntar) { return preguntar ? Respuesta::Cancelar : Respuesta::Si; }

  private:
    bool terminado_ = false;
};

// The real thing: QMessageBox and QFileDialog.
class DialogosQt : public ServicioDialogos {
  public:
    Respuesta Mensaje(Icono icono, const QString& titulo, const QString& texto, bool preguntar) override;
    std::optional<QString> ElegirFichero(const OpcionesDialogo& opciones) override;
    std::optional<QStringList> ElegirFicheros(const OpcionesDialogo& opciones) override;
    std::optional<QString> ElegirCarpeta(const QString& texto, const QString& inicial) override;
    bool Confirmar(const QString& titulo, const QString& texto) override;

  protected:
    void CerrarAbiertos() override;
};

// Sets up a file dialog as the options ask: title, filters, mode, the file in the box.
void PrepararDialogoFichero(QFileDialog& dialogo, const OpcionesDialogo& opciones);

// "desc|pattern|..." as a Qt file dialog filter whose entries show exactly as the
// descriptions once details are hidden; "*.*" matches every file, with or without a dot.
QString FiltroQt(const QString& filtro);

} // namespace quimbel
