// SPDX-License-Identifier: GPL-3.0-or-later
// The "Unir" page's handlers: the analysis of the chosen piece and the join.
#include "app/FormMain.h"
#include "app/Texto.h"
#include "files/FormatoMiles.h"
#include "files/Rutas.h"
#include "join/AnalisisUnir.h"
#include "join/PropuestaDestino.h"
#include "join/Union.h"

namespace quimbel {

void TFormMain::FilenameEditFicheroUnirAfterDialog(QString& Name, bool& Action) {
    const AnalisisUnir a = AnalizarFicheroUnir(ventana_, ARuta(Name));
    // The box shows the stored name between double quotes.
    if (a.destino) FilenameEditFicheroUnido->setText(DeRuta("\"" + *a.destino + "\""));
    if (!a.correcto) {
        // The earlier plan stays in force, matching the base box and the labels.
        Name.clear();
        Action = false;
        return;
    }
    PlanUnir_ = a.plan;
    const std::string separador = SeparadorMiles();
    LabelTamFicUnir->setText(DeUtf8(FormatoMiles(a.tamTrozo, separador)));
    LabelNum_TrozosUnir->setText(QString::number(a.trozos));
    LabelTamFicUnido->setText(DeUtf8(FormatoMiles(a.tamUnido, separador)));
    LabelTamFicUnidoTeorico->setText(a.mostrarTeorico ? DeUtf8(FormatoMiles(a.tamTeorico, separador))
                                                      : QString());
    LabelTamFicUnidoTeoricoDes->setVisible(a.mostrarTeorico);
    LabelTamFicUnidoTeorico->setVisible(a.mostrarTeorico);
    // Said once the labels describe the set the missing piece belongs to.
    if (a.falta) ventana_.Error(*a.falta);
}

void TFormMain::FilenameEditFicheroUnirExit() {
    const std::optional<std::string> propuesta = PropuestaDestino(
        ARuta(FilenameEditFicheroUnir->text()), ARuta(FilenameEditFicheroUnido->text()), PlanUnir_);
    if (propuesta) FilenameEditFicheroUnido->setText(DeRuta(*propuesta));
}

void TFormMain::ExplorerButtonUnirClick() {
    Ejecutar([this] {
        Unir(ventana_, {QuitarComillas(ARuta(FilenameEditFicheroUnir->text())),
                        QuitarComillas(ARuta(FilenameEditFicheroUnido->text())), PlanUnir_});
    });
}

void TFormMain::ConectarUnir() {
    FilenameEditFicheroUnir->PonerDespuesDialogo(
        [this](QString& Name, bool& Action) { FilenameEditFicheroUnirAfterDialog(Name, Action); });
    connect(FilenameEditFicheroUnir, &TFilenameEdit::salida, this, &TFormMain::FilenameEditFicheroUnirExit);
    connect(FilenameEditFicheroUnido, &TFilenameEdit::salida, this, &TFormMain::FilenameEditFicheroUnidoExit);
    connect(ExplorerButtonUnir, &QToolButton::clicked, this, &TFormMain::ExplorerButtonUnirClick);
}

} // namespace quimbel
