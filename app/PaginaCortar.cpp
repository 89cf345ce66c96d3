// The "Cortar" page's handlers.
#include "app/FormMain.h"
#include "app/Texto.h"
#include "split/Corte.h"

namespace quimbel {

TipoCorte TFormMain::TipoCorteElegido() const {
    if (RadioButtonCortarCA->isChecked()) return TipoCorte::CortaArchivos;
    if (RadioButtonCortarHacha->isChecked()) return TipoCorte::Hacha;
    return TipoCorte::Normal;
}

void TFormMain::ExplorerButtonCortarClick() {
    Ejecutar([this] {
        EntradaCorte entrada;
        entrada.fuente = ARuta(FilenameEditFicheroCortar->text());
        entrada.destino = ARuta(DirectoryEditFicheroCortar->text());
        entrada.tamano = ComboBoxSizes->currentText().toStdString();
        entrada.tipo = TipoCorteElegido();
        Cortar(ventana_, entrada);
    });
}

void TFormMain::ConectarCortar() {
    connect(ExplorerButtonCortar, &QToolButton::clicked, this, &TFormMain::ExplorerButtonCortarClick);
}

} // namespace quimbel
