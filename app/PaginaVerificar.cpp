// The "Verificar" page's handlers.
#include "app/FormMain.h"
#include "app/Texto.h"
#include "files/Rutas.h"

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

void TFormMain::ConectarVerificar() {
    connect(FilenameEditFicheroVerificar, &TFilenameEdit::salida, this, &TFormMain::FilenameEditFicheroVerificarExit);
    connect(CheckBoxMostrarErrorCrc, &QCheckBox::clicked, this, &TFormMain::CheckBoxMostrarErrorCrcClick);
    connect(CheckBoxMostrarInexistentes, &QCheckBox::clicked, this, &TFormMain::CheckBoxMostrarInexistentesClick);
    connect(CheckBoxMostrarCorrectos, &QCheckBox::clicked, this, &TFormMain::CheckBoxMostrarCorrectosClick);
    connect(CheckBoxVerificarRenombrar, &QCheckBox::clicked, this, &TFormMain::CheckBoxVerificarRenombrarClick);
}

} // namespace quimbel
