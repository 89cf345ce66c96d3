// SPDX-License-Identifier: GPL-3.0-or-later
// The "Cortar" page's handlers: the plan shown before a split, the size box, the split.
#include <QLocale>

#include "app/FormMain.h"
#include "app/Texto.h"
#include "app/widgets/EventosFoco.h"
#include "files/FormatoMiles.h"
#include "files/Rutas.h"
#include "split/CajaTamano.h"
#include "split/Corte.h"

namespace quimbel {

TipoCorte TFormMain::TipoCorteElegido() const {
    if (RadioButtonCortarCA->isChecked()) return TipoCorte::CortaArchivos;
    if (RadioButtonCortarHacha->isChecked()) return TipoCorte::Hacha;
    return TipoCorte::Normal;
}

std::string TFormMain::SeparadorMiles() const {
    return QLocale::system().groupSeparator().toStdString();
}

QString TFormMain::FuenteCortar() const {
    return DeRuta(QuitarComillas(ARuta(FilenameEditFicheroCortar->text())));
}

void TFormMain::MostrarPlan(const PlanCorte& plan) {
    const std::string separador = SeparadorMiles();
    CortePreparado_ = plan.cortePreparado;
    if (plan.tamTrozo) TamTrozo_ = *plan.tamTrozo;
    origenPlan_ = plan.origen;
    LabelTamFic->setText(plan.tamFichero ? DeUtf8(FormatoMiles(*plan.tamFichero, separador)) : QString());
    LabelNum_Trozos->setText(plan.numTrozos ? QString::number(*plan.numTrozos) : QString());
    QStringList lineas;
    lineas.reserve(static_cast<qsizetype>(plan.lineas.size()));
    for (const std::string& linea : plan.lineas)
        lineas << DeUtf8(linea);
    RxCheckListBoxCortarExtraer->PonerLineas(std::move(lineas));
    ExplorerButtonCortarElegir->setEnabled(plan.cortePreparado);
}

void TFormMain::VaciarPlan() {
    MostrarPlan(PlanCorte{});
}

void TFormMain::PrepararCorte(const QString& nombre) {
    MostrarPlan(quimbel::PrepararCorte(ventana_, ARuta(nombre), ComboBoxSizes->currentText().toStdString(),
                                       TipoCorteElegido(), SeparadorMiles()));
}

void TFormMain::FilenameEditFicheroCortarAfterDialog(QString& Name, bool&) {
    PrepararCorte(Name);
}

void TFormMain::FilenameEditFicheroCortarExit() {
    CarpetaPorDefecto(FilenameEditFicheroCortar, DirectoryEditFicheroCortar);
}

void TFormMain::RadioButtonCortarNormalClick() {
    PrepararCorte(FuenteCortar());
}

void TFormMain::RadioButtonCortarCAClick() {
    PrepararCorte(FuenteCortar());
}

void TFormMain::AnadirTamano(const QString& tamano) {
    if (ComboBoxSizes->findText(tamano, Qt::MatchExactly) >= 0) return;
    const QSignalBlocker bloqueo(ComboBoxSizes);
    const QString texto = ComboBoxSizes->currentText();
    int posicion = ComboBoxSizes->count();
    if (sizesOrdenados_) {
        posicion = 0;
        while (posicion < ComboBoxSizes->count() && !MenorTamano(tamano, ComboBoxSizes->itemText(posicion)))
            ++posicion;
    }
    ComboBoxSizes->insertItem(posicion, tamano);
    ComboBoxSizes->setEditText(texto);
}

void TFormMain::ComboBoxSizesChange() {
    switch (AlCambiarTamano(ComboBoxSizes->currentText().toStdString())) {
    case CambioTamano::VaciarPlan:
        VaciarPlan();
        break;
    case CambioTamano::BorrarTexto: {
        ExplorerButtonCortarElegir->setEnabled(false);
        // Text set by the program is no edit by the user.
        const QSignalBlocker bloqueo(ComboBoxSizes);
        ComboBoxSizes->setEditText(QString());
        break;
    }
    case CambioTamano::Tamano:
        ExplorerButtonCortarElegir->setEnabled(CortePreparado_);
        break;
    }
}

void TFormMain::ComboBoxSizesExit() {
    const QString texto = ComboBoxSizes->currentText();
    switch (AlSalirDeTamano(ventana_, texto.toStdString(), CortePreparado_, TamTrozo_)) {
    case SalidaTamano::VaciarPlan:
        VaciarPlan();
        break;
    case SalidaTamano::BorrarTexto: {
        const QSignalBlocker bloqueo(ComboBoxSizes);
        ComboBoxSizes->setEditText(QString());
        break;
    }
    case SalidaTamano::Nada:
        break;
    case SalidaTamano::Conservar:
        AnadirTamano(texto);
        break;
    case SalidaTamano::Planificar:
        AnadirTamano(texto);
        PrepararCorte(FuenteCortar());
        break;
    }
}

void TFormMain::ExplorerButtonCortarClick() {
    Ejecutar([this] {
        EntradaCorte entrada;
        entrada.fuente = ARuta(FuenteCortar());
        entrada.destino = ARuta(DirectoryEditFicheroCortar->text());
        entrada.tamano = ComboBoxSizes->currentText().toStdString();
        entrada.tipo = TipoCorteElegido();
        entrada.sfv = CheckBoxCortarSfv->isChecked();
        entrada.par = CheckBoxCortarPar->isChecked();
        entrada.numeroPar = EditCortarNumeroPar->text().toStdString();
        if (CortePreparado_) entrada.plan = PlanEnVigor{origenPlan_, RxCheckListBoxCortarExtraer->Marcas()};
        entrada.separadorMiles = SeparadorMiles();
        Cortar(ventana_, entrada);
    });
}

void TFormMain::ConectarCortar() {
    // A typed size must not be completed to a longer item of the list.
    ComboBoxSizes->setCompleter(nullptr);
    FilenameEditFicheroCortar->PonerDespuesDialogo(
        [this](QString& Name, bool& Action) { FilenameEditFicheroCortarAfterDialog(Name, Action); });
    connect(FilenameEditFicheroCortar, &TFilenameEdit::salida, this,
            &TFormMain::FilenameEditFicheroCortarExit);
    connect(ComboBoxSizes, &QComboBox::editTextChanged, this, &TFormMain::ComboBoxSizesChange);
    connect(new EventosFoco(ComboBoxSizes), &EventosFoco::salida, this, &TFormMain::ComboBoxSizesExit);
    connect(RadioButtonCortarNormal, &QRadioButton::toggled, this, [this](bool marcado) {
        if (marcado) RadioButtonCortarNormalClick();
    });
    for (QRadioButton* boton : {RadioButtonCortarCA, RadioButtonCortarHacha})
        connect(boton, &QRadioButton::toggled, this, [this](bool marcado) {
            if (marcado) RadioButtonCortarCAClick();
        });
    connect(ExplorerButtonCortar, &QToolButton::clicked, this, &TFormMain::ExplorerButtonCortarClick);
}

} // namespace quimbel
