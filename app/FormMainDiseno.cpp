// SPDX-License-Identifier: GPL-3.0-or-later
// The window's design: every control with its name, text, initial state and hint.
#include <QButtonGroup>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QStyle>
#include <QVBoxLayout>

#include "app/FormMain.h"

namespace quimbel {

namespace {

const QString FiltroF1 =
    QStringLiteral("CortaArchivos (*.fin)|*.fin|Estandar (*.001)|*.001|Hacha (*.0)|*.0|Todos (*.*)|*.*");
const QString FiltroF2 = QStringLiteral("Avi (*.avi)|*.avi|Mpeg (*.mpg)|*.mpg|Todos (*.*)|*.*");
const QString FiltroF3 = QStringLiteral("___ _____ (*.sfv)|*.sfv");
const QString FiltroTodos = QStringLiteral("Todos (*.*)|*.*");
const QString FiltroPar2 = QStringLiteral("PAR2 (*.par2)|*.par2|Todos (*.*)|*.*");

template <typename T> T* Nombrar(T* control, const char* nombre) {
    control->setObjectName(QLatin1String(nombre));
    return control;
}

// A read-only value: right-aligned navy Arial text on a raised bevel strip.
QLabel* Valor(const char* nombre) {
    auto* etiqueta = Nombrar(new QLabel, nombre);
    etiqueta->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    etiqueta->setFrameStyle(QFrame::Panel | QFrame::Raised);
    etiqueta->setStyleSheet(QStringLiteral("color: navy; font-family: Arial;"));
    etiqueta->setMinimumWidth(90);
    return etiqueta;
}

// "Tamaño:" value "Trozos:" value, in one row.
QHBoxLayout* FilaValores(QLabel* primero, const QString& segundoTexto, QLabel* segundoTitulo,
                         QLabel* segundo) {
    auto* fila = new QHBoxLayout;
    fila->addWidget(new QLabel(QStringLiteral("Tamaño:")));
    fila->addWidget(primero);
    fila->addSpacing(12);
    if (segundoTitulo)
        fila->addWidget(segundoTitulo);
    else
        fila->addWidget(new QLabel(segundoTexto));
    fila->addWidget(segundo);
    fila->addStretch();
    return fila;
}

// The result panel at the bottom of a page: its label and its memo, growing with the window.
void PanelResultado(QVBoxLayout* pagina, TMemo* memo) {
    pagina->addWidget(new QLabel(QStringLiteral("Resultado:")));
    // Room for a few lines at the smallest window; the memo scrolls.
    memo->setMinimumHeight(48);
    pagina->addWidget(memo, 1);
}

// A page's column of rows, tight enough for every page to fit the smallest window.
QVBoxLayout* ColumnaPagina(QWidget* pagina) {
    auto* v = new QVBoxLayout(pagina);
    v->setContentsMargins(6, 4, 6, 4);
    v->setSpacing(4);
    return v;
}

// Captions left of their boxes, the boxes taking the rest of the width.
QGridLayout* Rejilla() {
    auto* rejilla = new QGridLayout;
    rejilla->setVerticalSpacing(2);
    rejilla->setColumnStretch(1, 1);
    return rejilla;
}

// The next free row (an empty grid counts one row already).
int FilaLibre(const QGridLayout* rejilla) {
    return rejilla->count() == 0 ? 0 : rejilla->rowCount();
}

void FilaRejilla(QGridLayout* rejilla, const QString& caption, QWidget* control) {
    const int fila = FilaLibre(rejilla);
    if (!caption.isEmpty()) rejilla->addWidget(new QLabel(caption), fila, 0);
    rejilla->addWidget(control, fila, 1);
}

void FilaRejilla(QGridLayout* rejilla, const QString& caption, QLayout* controles) {
    const int fila = FilaLibre(rejilla);
    if (!caption.isEmpty()) rejilla->addWidget(new QLabel(caption), fila, 0);
    rejilla->addLayout(controles, fila, 1);
}

} // namespace

TExplorerButton* TFormMain::Boton(const char* nombre, const QString& caption, QStyle::StandardPixmap icono) {
    return Nombrar(new TExplorerButton(caption, style()->standardIcon(icono)), nombre);
}

TFilenameEdit* TFormMain::CajaFichero(const char* nombre, const OpcionesDialogo& opciones, bool escribible,
                                      const QString& pista, const QString& pistaBoton) {
    auto* caja = Nombrar(new TFilenameEdit(opciones, escribible), nombre);
    caja->Edit()->setToolTip(pista);
    if (!pistaBoton.isEmpty()) caja->Boton()->setToolTip(pistaBoton);
    return caja;
}

QWidget* TFormMain::CrearPaginaCortar() {
    auto* pagina = Nombrar(new QWidget, "TabSheetCortar");
    auto* v = ColumnaPagina(pagina);

    auto* rejilla = Rejilla();
    FilenameEditFicheroCortar =
        CajaFichero("FilenameEditFicheroCortar",
                    {QStringLiteral("Seleccionar fichero para cortar"), FiltroTodos, {}, false}, false,
                    QStringLiteral("Fichero a Cortar"), QStringLiteral("Seleccionar fichero a Cortar"));
    FilaRejilla(rejilla, QStringLiteral("Fichero a cortar"), FilenameEditFicheroCortar);
    LabelTamFic = Valor("LabelTamFic");
    LabelNum_Trozos = Valor("LabelNum_Trozos");
    FilaRejilla(rejilla, QString(),
                FilaValores(LabelTamFic, QStringLiteral("Trozos:"), nullptr, LabelNum_Trozos));
    DirectoryEditFicheroCortar = Nombrar(
        new TDirectoryEdit(QStringLiteral("Carpeta destino para los trozos")), "DirectoryEditFicheroCortar");
    FilaRejilla(rejilla, QStringLiteral("Carpeta destino"), DirectoryEditFicheroCortar);
    v->addLayout(rejilla);

    auto* fila = new QHBoxLayout;
    GroupBoxTipoCorte = Nombrar(new QGroupBox, "GroupBoxTipoCorte");
    auto* tipos = new QVBoxLayout(GroupBoxTipoCorte);
    tipos->setContentsMargins(6, 2, 6, 2);
    tipos->setSpacing(0);
    RadioButtonCortarNormal =
        Nombrar(new QRadioButton(QStringLiteral("Normal (001..00N)")), "RadioButtonCortarNormal");
    RadioButtonCortarCA =
        Nombrar(new QRadioButton(QStringLiteral("CortaArchivos (1..N-1..fin)")), "RadioButtonCortarCA");
    RadioButtonCortarHacha =
        Nombrar(new QRadioButton(QStringLiteral("Hacha (0..N-1)")), "RadioButtonCortarHacha");
    RadioButtonCortarNormal->setChecked(true);
    for (QRadioButton* r : {RadioButtonCortarNormal, RadioButtonCortarCA, RadioButtonCortarHacha})
        tipos->addWidget(r);
    fila->addWidget(GroupBoxTipoCorte, 0, Qt::AlignTop);

    auto* opciones = new QVBoxLayout;
    opciones->setSpacing(0);
    opciones->addWidget(new QLabel(QStringLiteral("Tamaño (bytes):")));
    ComboBoxSizes = Nombrar(new QComboBox, "ComboBoxSizes");
    ComboBoxSizes->setEditable(true);
    ComboBoxSizes->setInsertPolicy(QComboBox::NoInsert);
    ComboBoxSizes->addItems({QStringLiteral("4900000"), QStringLiteral("5000000"), QStringLiteral("9000000"),
                             QStringLiteral("10000000")});
    ComboBoxSizes->setCurrentIndex(-1);
    ComboBoxSizes->setEditText(QString());
    ComboBoxSizes->setMinimumWidth(110);
    opciones->addWidget(ComboBoxSizes);
    CheckBoxCortarSfv = Nombrar(new QCheckBox(QStringLiteral("Crear SFV")), "CheckBoxCortarSfv");
    CheckBoxCortarPar = Nombrar(new QCheckBox(QStringLiteral("Crear PAR")), "CheckBoxCortarPar");
    opciones->addWidget(CheckBoxCortarSfv);
    opciones->addWidget(CheckBoxCortarPar);
    auto* numero = new QHBoxLayout;
    numero->addWidget(new QLabel(QStringLiteral("Número:")));
    EditCortarNumeroPar = Nombrar(new QLineEdit, "EditCortarNumeroPar");
    EditCortarNumeroPar->setFixedWidth(44);
    numero->addWidget(EditCortarNumeroPar);
    numero->addStretch();
    opciones->addLayout(numero);
    opciones->addStretch();
    fila->addLayout(opciones);
    fila->addStretch();

    auto* botones = new QVBoxLayout;
    botones->setSpacing(0);
    ExplorerButtonCortar =
        Boton("ExplorerButtonCortar", QStringLiteral("  Cortar"), QStyle::SP_FileDialogListView);
    ExplorerButtonCortarElegir =
        Boton("ExplorerButtonCortarElegir", QStringLiteral("  Elegir"), QStyle::SP_FileDialogDetailedView);
    ExplorerButtonCortarElegir->setEnabled(false);
    botones->addWidget(ExplorerButtonCortar);
    botones->addWidget(ExplorerButtonCortarElegir);
    botones->addStretch();
    fila->addLayout(botones);
    v->addLayout(fila);

    MemoResultadoCortar = Nombrar(new TMemo, "MemoResultadoCortar");
    MemoResultadoCortar->AnadirLinea(QString());
    PanelResultado(v, MemoResultadoCortar);
    return pagina;
}

QWidget* TFormMain::CrearPaginaUnir() {
    auto* pagina = Nombrar(new QWidget, "TabSheetUnir");
    auto* v = ColumnaPagina(pagina);

    auto* rejilla = Rejilla();
    FilenameEditFicheroUnir = CajaFichero("FilenameEditFicheroUnir",
                                          {QStringLiteral("Seleccionar fichero a unir"), FiltroF1, {}, false},
                                          false, QStringLiteral("Fichero a Unir"), QString());
    FilaRejilla(rejilla, QStringLiteral("Fichero base"), FilenameEditFicheroUnir);
    LabelTamFicUnir = Valor("LabelTamFicUnir");
    LabelNum_TrozosUnir = Valor("LabelNum_TrozosUnir");
    FilaRejilla(rejilla, QString(),
                FilaValores(LabelTamFicUnir, QStringLiteral("Trozos:"), nullptr, LabelNum_TrozosUnir));
    FilenameEditFicheroUnido = CajaFichero(
        "FilenameEditFicheroUnido", {QStringLiteral("Introducir fichero a crear"), FiltroF2, {}, true}, true,
        QStringLiteral("Fichero destino"), QStringLiteral("Seleccionar fichero a Crear"));
    FilaRejilla(rejilla, QStringLiteral("Fichero destino"), FilenameEditFicheroUnido);
    LabelTamFicUnido = Valor("LabelTamFicUnido");
    LabelTamFicUnidoTeoricoDes =
        Nombrar(new QLabel(QStringLiteral("Teórico:")), "LabelTamFicUnidoTeoricoDes");
    LabelTamFicUnidoTeorico = Valor("LabelTamFicUnidoTeorico");
    LabelTamFicUnidoTeoricoDes->hide();
    LabelTamFicUnidoTeorico->hide();
    FilaRejilla(rejilla, QString(),
                FilaValores(LabelTamFicUnido, {}, LabelTamFicUnidoTeoricoDes, LabelTamFicUnidoTeorico));
    v->addLayout(rejilla);

    auto* fila = new QHBoxLayout;
    fila->addStretch();
    ExplorerButtonUnir =
        Boton("ExplorerButtonUnir", QStringLiteral("   Unir"), QStyle::SP_FileDialogContentsView);
    fila->addWidget(ExplorerButtonUnir);
    v->addLayout(fila);

    MemoResultadoUnir = Nombrar(new TMemo, "MemoResultadoUnir");
    PanelResultado(v, MemoResultadoUnir);
    return pagina;
}

QWidget* TFormMain::CrearPaginaVerificar() {
    auto* pagina = Nombrar(new QWidget, "TabSheetVerificar");
    auto* v = ColumnaPagina(pagina);

    auto* rejilla = Rejilla();
    FilenameEditFicheroVerificar =
        CajaFichero("FilenameEditFicheroVerificar",
                    {QStringLiteral("Seleccionar fichero SFV a verificar"), FiltroF3, {}, false}, false,
                    QStringLiteral("Fichero a Verificar"), QStringLiteral("Seleccionar fichero a verificar"));
    FilaRejilla(rejilla, QStringLiteral("Fichero SFV a verificar"), FilenameEditFicheroVerificar);
    DirectoryEditFicheroVerificar =
        Nombrar(new TDirectoryEdit(QStringLiteral("Carpeta origen de los ficheros")),
                "DirectoryEditFicheroVerificar");
    FilaRejilla(rejilla, QStringLiteral("Carpeta con los ficheros"), DirectoryEditFicheroVerificar);
    v->addLayout(rejilla);

    auto* fila = new QHBoxLayout;
    auto* filtros = new QVBoxLayout;
    filtros->setSpacing(0);
    filtros->addWidget(new QLabel(QStringLiteral("Mostrar ficheros:")));
    CheckBoxMostrarErrorCrc = Nombrar(new QCheckBox(QStringLiteral("Error CRC")), "CheckBoxMostrarErrorCrc");
    CheckBoxMostrarInexistentes =
        Nombrar(new QCheckBox(QStringLiteral("Inexistentes")), "CheckBoxMostrarInexistentes");
    CheckBoxMostrarCorrectos =
        Nombrar(new QCheckBox(QStringLiteral("Correctos")), "CheckBoxMostrarCorrectos");
    for (QCheckBox* c : {CheckBoxMostrarErrorCrc, CheckBoxMostrarInexistentes, CheckBoxMostrarCorrectos}) {
        c->setChecked(true);
        filtros->addWidget(c);
    }
    fila->addLayout(filtros);

    auto* renombrar = new QVBoxLayout;
    renombrar->setSpacing(2);
    CheckBoxVerificarRenombrar =
        Nombrar(new QCheckBox(QStringLiteral("Renombrar")), "CheckBoxVerificarRenombrar");
    renombrar->addWidget(CheckBoxVerificarRenombrar);
    auto* extension = new QHBoxLayout;
    extension->addWidget(new QLabel(QStringLiteral("Extensión")));
    EditVerificarExtension = Nombrar(new QLineEdit(QStringLiteral("mal")), "EditVerificarExtension");
    EditVerificarExtension->setEnabled(false);
    extension->addWidget(EditVerificarExtension);
    renombrar->addLayout(extension);
    GroupBoxTipoExtension = Nombrar(new QGroupBox, "GroupBoxTipoExtension");
    auto* tipos = new QHBoxLayout(GroupBoxTipoExtension);
    tipos->setContentsMargins(6, 2, 6, 2);
    RadioButtonRenombrarNumero =
        Nombrar(new QRadioButton(QStringLiteral("Número")), "RadioButtonRenombrarNumero");
    RadioButtonRenombrarLetra =
        Nombrar(new QRadioButton(QStringLiteral("Letra")), "RadioButtonRenombrarLetra");
    RadioButtonRenombrarNumero->setChecked(true);
    tipos->addWidget(RadioButtonRenombrarNumero);
    tipos->addWidget(RadioButtonRenombrarLetra);
    GroupBoxTipoExtension->setEnabled(false);
    renombrar->addWidget(GroupBoxTipoExtension);
    fila->addLayout(renombrar);
    fila->addStretch();

    ExplorerButtonVerificar =
        Boton("ExplorerButtonVerificar", QStringLiteral(" Verificar"), QStyle::SP_DialogApplyButton);
    auto* boton = new QVBoxLayout;
    boton->addWidget(ExplorerButtonVerificar);
    boton->addStretch();
    fila->addLayout(boton);
    v->addLayout(fila);

    MemoResultadoVerificar = Nombrar(new TMemo, "MemoResultadoVerificar");
    PanelResultado(v, MemoResultadoVerificar);
    return pagina;
}

QWidget* TFormMain::CrearPaginaReparar() {
    auto* pagina = Nombrar(new QWidget, "TabSheetReparar");
    auto* v = new QVBoxLayout(pagina);

    v->addWidget(new QLabel(QStringLiteral("Fichero PAR2")));
    FilenameEditFicheroReparar = CajaFichero(
        "FilenameEditFicheroReparar", {QStringLiteral("Seleccionar fichero PAR2"), FiltroPar2, {}, false},
        false, QStringLiteral("Fichero PAR2"), QStringLiteral("Seleccionar fichero PAR2"));
    v->addWidget(FilenameEditFicheroReparar);

    v->addWidget(new QLabel(QStringLiteral("Carpeta con los ficheros")));
    DirectoryEditFicheroReparar =
        Nombrar(new TDirectoryEdit(QStringLiteral("Carpeta de los ficheros del juego PAR2")),
                "DirectoryEditFicheroReparar");
    v->addWidget(DirectoryEditFicheroReparar);

    auto* fila = new QHBoxLayout;
    // Other files where the set's slices are looked for, chosen only with the box checked.
    auto* buscar = new QVBoxLayout;
    CheckBoxRepararBuscar =
        Nombrar(new QCheckBox(QStringLiteral("Buscar en otros ficheros")), "CheckBoxRepararBuscar");
    buscar->addWidget(CheckBoxRepararBuscar);
    FicherosEditRepararBuscar = Nombrar(
        new TFicherosEdit({QStringLiteral("Seleccionar ficheros donde buscar"), FiltroTodos, {}, false}),
        "FicherosEditRepararBuscar");
    FicherosEditRepararBuscar->Edit()->setToolTip(QStringLiteral("Ficheros donde buscar bloques del juego"));
    FicherosEditRepararBuscar->setEnabled(false);
    buscar->addWidget(FicherosEditRepararBuscar);
    buscar->addStretch();
    fila->addLayout(buscar, 1);
    // The run's progress shows in the bottom strip, as for every page.
    auto* botones = new QVBoxLayout;
    ExplorerButtonComprobar =
        Boton("ExplorerButtonComprobar", QStringLiteral(" Comprobar"), QStyle::SP_FileDialogInfoView);
    ExplorerButtonReparar =
        Boton("ExplorerButtonReparar", QStringLiteral(" Reparar"), QStyle::SP_BrowserReload);
    botones->addWidget(ExplorerButtonComprobar);
    botones->addWidget(ExplorerButtonReparar);
    fila->addLayout(botones);
    v->addLayout(fila);

    MemoResultadoReparar = Nombrar(new TMemo, "MemoResultadoReparar");
    PanelResultado(v, MemoResultadoReparar);
    return pagina;
}

QWidget* TFormMain::CrearPaginaExtraer() {
    auto* pagina = Nombrar(new QWidget, "TabSheetExtraer");
    auto* h = new QHBoxLayout(pagina);
    RxCheckListBoxCortarExtraer = Nombrar(new TRxCheckListBox, "RxCheckListBoxCortarExtraer");
    QFont fijo(QStringLiteral("Courier"), 8);
    fijo.setStyleHint(QFont::TypeWriter);
    fijo.setFixedPitch(true);
    RxCheckListBoxCortarExtraer->setFont(fijo);
    h->addWidget(RxCheckListBoxCortarExtraer, 1);

    auto* columna = new QWidget;
    columna->setFixedWidth(100);
    auto* botones = new QVBoxLayout(columna);
    ExplorerButtonExtraerTodos =
        Boton("ExplorerButtonExtraerTodos", QStringLiteral("  Todos"), QStyle::SP_DialogYesButton);
    ExplorerButtonExtraerNinguno =
        Boton("ExplorerButtonExtraerNinguno", QStringLiteral(" Ninguno"), QStyle::SP_DialogNoButton);
    ExplorerButtonExtraerVolver =
        Boton("ExplorerButtonExtraerVolver", QStringLiteral("  Volver"), QStyle::SP_ArrowBack);
    for (TExplorerButton* b :
         {ExplorerButtonExtraerTodos, ExplorerButtonExtraerNinguno, ExplorerButtonExtraerVolver})
        botones->addWidget(b);
    botones->addStretch();
    h->addWidget(columna);
    return pagina;
}

QWidget* TFormMain::CrearPanelPrincipal() {
    PanelPrincipal = Nombrar(new QWidget, "PanelPrincipal");
    PanelPrincipal->setFixedHeight(38);
    auto* h = new QHBoxLayout(PanelPrincipal);
    h->setContentsMargins(4, 1, 4, 1);
    ExplorerButtonCancelar =
        Boton("ExplorerButtonCancelar", QStringLiteral("Cancelar"), QStyle::SP_DialogCancelButton);
    ExplorerButtonCancelar->hide();
    ExplorerButtonSalir =
        Boton("ExplorerButtonSalir", QStringLiteral("  Salir"), QStyle::SP_DialogCloseButton);
    ExplorerButtonSalir->setToolTip(QStringLiteral("Salir del programa"));
    // The run's progress, left of " Salir", shown only while a run works.
    ProgressBarAvance = Nombrar(new QProgressBar, "ProgressBarAvance");
    ProgressBarAvance->setRange(0, EscalaAvance);
    ProgressBarAvance->setFixedWidth(160);
    ProgressBarAvance->hide();
    h->addWidget(ExplorerButtonCancelar);
    h->addStretch();
    h->addWidget(ProgressBarAvance);
    h->addWidget(ExplorerButtonSalir);
    return PanelPrincipal;
}

void TFormMain::CrearControles() {
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    PageControlQuimbel = Nombrar(new TPageControl, "PageControlQuimbel");
    TabSheetCortar = CrearPaginaCortar();
    TabSheetUnir = CrearPaginaUnir();
    TabSheetVerificar = CrearPaginaVerificar();
    TabSheetReparar = CrearPaginaReparar();
    TabSheetExtraer = CrearPaginaExtraer();
    PageControlQuimbel->addTab(TabSheetCortar, QStringLiteral("Cortar"));
    PageControlQuimbel->addTab(TabSheetUnir, QStringLiteral("Unir"));
    PageControlQuimbel->addTab(TabSheetVerificar, QStringLiteral("Verificar"));
    PageControlQuimbel->addTab(TabSheetReparar, QStringLiteral("Reparar"));
    PageControlQuimbel->addTab(TabSheetExtraer, QStringLiteral("Extraer"));
    // Never smaller than 470 x 330, nor than its pages need.
    PageControlQuimbel->setMinimumSize(PageControlQuimbel->minimumSizeHint().expandedTo(QSize(470, 330)));
    v->addWidget(PageControlQuimbel, 1);
    v->addWidget(CrearPanelPrincipal());
    for (EditConBoton* caja : std::initializer_list<EditConBoton*>{
             FilenameEditFicheroCortar, DirectoryEditFicheroCortar, FilenameEditFicheroUnir,
             FilenameEditFicheroUnido, FilenameEditFicheroVerificar, DirectoryEditFicheroVerificar,
             FilenameEditFicheroReparar, DirectoryEditFicheroReparar, FicherosEditRepararBuscar})
        caja->PonerDialogos(&dialogos_);
}

} // namespace quimbel
