// SPDX-License-Identifier: GPL-3.0-or-later
// The "Verificar" page's handlers.
#include "app/FormMain.h"
#include "app/Texto.h"
#include "app/widgets/EventosFoco.h"
#include "files/Rutas.h"
#include "verify/Renombrar.h"
#include "verify/Verificacion.h"

namespace quimbel {

void TFormMain::CarpetaPorDefecto(const TFilenameEdit* fichero, TDirectoryEdit* carpeta) {
    if (fichero->text().isEmpty() || !carpeta->text().isEmpty()) return;
    carpeta->setText(DeRuta(CarpetaDeRuta(QuitarComillas(ARuta(fichero->text())))));
}

void TFormMain::FilenameEditFicheroVerificarExit() {
    CarpetaPorDefecto(FilenameEditFicheroVerificar, DirectoryEditFicheroVerificar);
}

void TFormMain::VerificarBotonVerificar() {
    ExplorerButtonVerificar->setEnabled(CheckBoxMostrarErrorCrc->isChecked() ||
                                        CheckBoxMostrarInexistentes->isChecked() ||
                                        CheckBoxMostrarCorrectos->isChecked());
}

void TFormMain::CheckBoxVerificarRenombrarClick() {
    const bool renombrar = CheckBoxVerificarRenombrar->isChecked();
    EditVerificarExtension->setEnabled(renombrar);
    GroupBoxTipoExtension->setEnabled(renombrar);
}

void TFormMain::ExplorerButtonVerificarClick() {
    Ejecutar([this] {
        // The filters and the renaming switches are read again for every line.
        const auto opciones = [this] {
            OpcionesVerificacion o;
            o.mostrarErrorCrc = CheckBoxMostrarErrorCrc->isChecked();
            o.mostrarInexistentes = CheckBoxMostrarInexistentes->isChecked();
            o.mostrarCorrectos = CheckBoxMostrarCorrectos->isChecked();
            o.renombrar = CheckBoxVerificarRenombrar->isChecked();
            o.extension = EditVerificarExtension->text().toStdString();
            o.letra = !RadioButtonRenombrarNumero->isChecked();
            return o;
        };
        Verificar(ventana_,
                  {QuitarComillas(ARuta(FilenameEditFicheroVerificar->text())),
                   ARuta(DirectoryEditFicheroVerificar->text())},
                  opciones);
    });
}

void TFormMain::EditVerificarExtensionEnter() {
    ExtensionAnterior_ = EditVerificarExtension->text();
}

void TFormMain::EditVerificarExtensionExit() {
    if (ExtensionValida(EditVerificarExtension->text().toStdString())) return;
    ventana_.Error("¡ Extensión no válida !");
    EditVerificarExtension->setText(ExtensionAnterior_);
    EditVerificarExtension->setFocus(Qt::OtherFocusReason);
}

void TFormMain::ConectarVerificar() {
    connect(ExplorerButtonVerificar, &QToolButton::clicked, this, &TFormMain::ExplorerButtonVerificarClick);
    // The PAR count box runs the extension box's handlers too, acting on the extension box.
    for (QWidget* caja : std::initializer_list<QWidget*>{EditVerificarExtension, EditCortarNumeroPar}) {
        auto* foco = new EventosFoco(caja);
        connect(foco, &EventosFoco::entrada, this, &TFormMain::EditVerificarExtensionEnter);
        connect(foco, &EventosFoco::salida, this, &TFormMain::EditVerificarExtensionExit);
    }
    connect(FilenameEditFicheroVerificar, &TFilenameEdit::salida, this,
            &TFormMain::FilenameEditFicheroVerificarExit);
    connect(CheckBoxMostrarErrorCrc, &QCheckBox::clicked, this, &TFormMain::CheckBoxMostrarErrorCrcClick);
    connect(CheckBoxMostrarInexistentes, &QCheckBox::clicked, this,
            &TFormMain::CheckBoxMostrarInexistentesClick);
    connect(CheckBoxMostrarCorrectos, &QCheckBox::clicked, this, &TFormMain::CheckBoxMostrarCorrectosClick);
    connect(CheckBoxVerificarRenombrar, &QCheckBox::clicked, this,
            &TFormMain::CheckBoxVerificarRenombrarClick);
}

} // namespace quimbel
