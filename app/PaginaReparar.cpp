// SPDX-License-Identifier: GPL-3.0-or-later
// The "Reparar" page's handlers.
#include "app/FormMain.h"
#include "app/Texto.h"
#include "files/Rutas.h"
#include "parity/Reparacion.h"

#include <string>
#include <vector>

namespace quimbel {

void TFormMain::FilenameEditFicheroRepararExit() {
    CarpetaPorDefecto(FilenameEditFicheroReparar, DirectoryEditFicheroReparar);
}

void TFormMain::CorridaReparar(bool soloComprobar) {
    Ejecutar([this, soloComprobar] {
        struct Botones {
            TFormMain& f;
            explicit Botones(TFormMain& form) : f(form) { Habilitar(false); }
            ~Botones() { Habilitar(true); }
            void Habilitar(bool si) const {
                f.ExplorerButtonComprobar->setEnabled(si);
                f.ExplorerButtonReparar->setEnabled(si);
            }
        } botones(*this);
        std::vector<std::string> buscar;
        if (CheckBoxRepararBuscar->isChecked())
            for (const QString& f : FicherosEditRepararBuscar->Ficheros())
                buscar.push_back(ARuta(f));
        Reparar(ventana_, {QuitarComillas(ARuta(FilenameEditFicheroReparar->text())),
                           ARuta(DirectoryEditFicheroReparar->text()), soloComprobar, buscar});
    });
}

void TFormMain::CheckBoxRepararBuscarClick() {
    FicherosEditRepararBuscar->setEnabled(CheckBoxRepararBuscar->isChecked());
}

void TFormMain::ExplorerButtonComprobarClick() {
    CorridaReparar(true);
}

void TFormMain::ExplorerButtonRepararClick() {
    CorridaReparar(false);
}

void TFormMain::ConectarReparar() {
    connect(ExplorerButtonComprobar, &QToolButton::clicked, this, &TFormMain::ExplorerButtonComprobarClick);
    connect(ExplorerButtonReparar, &QToolButton::clicked, this, &TFormMain::ExplorerButtonRepararClick);
    connect(CheckBoxRepararBuscar, &QCheckBox::toggled, this, &TFormMain::CheckBoxRepararBuscarClick);
    connect(FilenameEditFicheroReparar, &TFilenameEdit::salida, this,
            &TFormMain::FilenameEditFicheroRepararExit);
}

} // namespace quimbel
