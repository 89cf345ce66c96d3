// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's only window: the page control with its four pages, the bottom strip,
// the handlers of every control, the settings kept beside the program.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QStyle>
#include <QTabWidget>
#include <QWidget>
#include <functional>

#include "app/AvisosEscritorio.h"
#include "app/Dialogos.h"
#include "app/Entorno.h"
#include "app/VentanaQt.h"
#include "app/widgets/DirectoryEdit.h"
#include "app/widgets/ExplorerButton.h"
#include "app/widgets/FicherosEdit.h"
#include "app/widgets/FilenameEdit.h"
#include "app/widgets/Memo.h"
#include "app/widgets/PageControl.h"
#include "app/widgets/RxCheckListBox.h"
#include "files/Trozos.h"
#include "join/PlanUnir.h"
#include "split/Plan.h"

namespace quimbel {

class TFormMain : public QWidget {
    Q_OBJECT
  public:
    TFormMain(const EntornoPrograma& entorno, ServicioDialogos& dialogos, QWidget* padre = nullptr);

    // Runs once when the window has been built and before it is shown.
    void FormCreate();
    // Shows an error that no handler caught: a box titled "Quimbel" with the error icon. When
    // nobody can answer a box any more (see TerminarPorSenal) it is one line on standard error
    // instead, and the program will end with status 1.
    void ErrorAplicacion(const QString& texto);
    // The session is ending (SIGTERM): open boxes and dialogs close as Cancel or No, a run in
    // progress finishes as it would, then the window closes the normal way. Before the window
    // is shown, only the boxes close: the caller closes the window once start-up is over.
    void TerminarPorSenal();
    bool Terminando() const { return dialogos_.Terminado(); }
    // The exit status the program ends with: 1 after an error no box could show, else 0.
    int CodigoSalida() const { return codigoSalida_; }

    ServicioDialogos& Dialogos() { return dialogos_; }
    // What the desktop hears of the runs: taskbar progress and notifications.
    AvisosEscritorio& Avisos() { return avisos_; }
    const QString& FicheroIni() const { return FicheroIni_; }
    const QString& FicheroSizes() const { return FicheroSizes_; }
    bool EnEjecucion() const { return enEjecucion_; }
    // Whether the window was asked to close during the run in progress: the run stops.
    bool CierrePendiente() const { return cierrePendiente_; }
    // Opens a file from outside the window (command line, a drop on the window) as if the
    // user had chosen it in the dialog of the box that fits it by name, on that box's page:
    // the plan, the analysis, or the SFV box with its exit rule. A path that is no existing
    // file gives "¡ Error al abrir fichero " + path + " !". Nothing happens during a run.
    void AbrirFichero(const QString& ruta);

    // Controls, by the names they carry as object names.
    QTabWidget* PageControlQuimbel;
    QWidget *TabSheetCortar, *TabSheetUnir, *TabSheetVerificar, *TabSheetReparar, *TabSheetExtraer;
    TFilenameEdit* FilenameEditFicheroCortar;
    QLabel *LabelTamFic, *LabelNum_Trozos;
    TDirectoryEdit* DirectoryEditFicheroCortar;
    QGroupBox* GroupBoxTipoCorte;
    QRadioButton *RadioButtonCortarNormal, *RadioButtonCortarCA, *RadioButtonCortarHacha;
    QComboBox* ComboBoxSizes;
    QCheckBox *CheckBoxCortarSfv, *CheckBoxCortarPar;
    QLineEdit* EditCortarNumeroPar;
    TExplorerButton *ExplorerButtonCortar, *ExplorerButtonCortarElegir;
    TMemo* MemoResultadoCortar;
    TFilenameEdit *FilenameEditFicheroUnir, *FilenameEditFicheroUnido;
    QLabel *LabelTamFicUnir, *LabelNum_TrozosUnir, *LabelTamFicUnido, *LabelTamFicUnidoTeoricoDes,
        *LabelTamFicUnidoTeorico;
    TExplorerButton* ExplorerButtonUnir;
    TMemo* MemoResultadoUnir;
    TFilenameEdit* FilenameEditFicheroVerificar;
    TDirectoryEdit* DirectoryEditFicheroVerificar;
    QCheckBox *CheckBoxMostrarErrorCrc, *CheckBoxMostrarInexistentes, *CheckBoxMostrarCorrectos,
        *CheckBoxVerificarRenombrar;
    QLineEdit* EditVerificarExtension;
    QGroupBox* GroupBoxTipoExtension;
    QRadioButton *RadioButtonRenombrarNumero, *RadioButtonRenombrarLetra;
    TExplorerButton* ExplorerButtonVerificar;
    TMemo* MemoResultadoVerificar;
    TFilenameEdit* FilenameEditFicheroReparar;
    TDirectoryEdit* DirectoryEditFicheroReparar;
    QCheckBox* CheckBoxRepararBuscar;
    TFicherosEdit* FicherosEditRepararBuscar;
    TExplorerButton *ExplorerButtonComprobar, *ExplorerButtonReparar;
    TMemo* MemoResultadoReparar;
    TRxCheckListBox* RxCheckListBoxCortarExtraer;
    TExplorerButton *ExplorerButtonExtraerTodos, *ExplorerButtonExtraerNinguno, *ExplorerButtonExtraerVolver;
    QWidget* PanelPrincipal;
    TExplorerButton *ExplorerButtonSalir, *ExplorerButtonCancelar;
    QProgressBar* ProgressBarAvance;
    // The bar's steps: a run's bytes are shown in thousandths.
    static constexpr int EscalaAvance = 1000;

    // Handlers.
    void CargarPosicion();
    void GuardarPosicion();
    void FormClose();
    void ExplorerButtonSalirClick();
    void ExplorerButtonCortarClick();
    void PrepararCorte(const QString& nombre);
    // Shows a plan: labels, list (every line checked), "Elegir", and keeps its state.
    void MostrarPlan(const PlanCorte& plan);
    void FilenameEditFicheroCortarAfterDialog(QString& Name, bool& Action);
    void FilenameEditFicheroCortarExit();
    void ComboBoxSizesChange();
    void ComboBoxSizesExit();
    void RadioButtonCortarNormalClick();
    void RadioButtonCortarCAClick();
    void ExplorerButtonCortarElegirClick();
    void ExplorerButtonExtraerTodosClick();
    void ExplorerButtonExtraerNingunoClick();
    void ExplorerButtonExtraerVolverClick();
    int32_t TrozosElegidos() const;
    bool CortePreparado() const { return CortePreparado_; }
    void FilenameEditFicheroUnirAfterDialog(QString& Name, bool& Action);
    void FilenameEditFicheroUnirExit();
    void FilenameEditFicheroUnidoExit() {}
    void ExplorerButtonUnirClick();
    void FilenameEditFicheroVerificarExit();
    void VerificarBotonVerificar();
    void CheckBoxMostrarErrorCrcClick() { VerificarBotonVerificar(); }
    void CheckBoxMostrarInexistentesClick() { VerificarBotonVerificar(); }
    void CheckBoxMostrarCorrectosClick() { VerificarBotonVerificar(); }
    void CheckBoxVerificarRenombrarClick();
    void ExplorerButtonVerificarClick();
    void EditVerificarExtensionEnter();
    void EditVerificarExtensionExit();
    void FilenameEditFicheroRepararExit();
    void ExplorerButtonComprobarClick();
    void ExplorerButtonRepararClick();
    void CheckBoxRepararBuscarClick();

  protected:
    void closeEvent(QCloseEvent* evento) override;
    // A file dropped outside the boxes goes to AbrirFichero; during a run drops are refused.
    void dragEnterEvent(QDragEnterEvent* evento) override;
    void dragMoveEvent(QDragMoveEvent* evento) override;
    void dropEvent(QDropEvent* evento) override;

  private:
    void CrearControles();
    // A flat button and a file box of the design, named and with their hints.
    TExplorerButton* Boton(const char* nombre, const QString& caption, QStyle::StandardPixmap icono);
    TFilenameEdit* CajaFichero(const char* nombre, const OpcionesDialogo& opciones, bool escribible,
                               const QString& pista, const QString& pistaBoton);
    QWidget* CrearPaginaCortar();
    QWidget* CrearPaginaUnir();
    QWidget* CrearPaginaVerificar();
    QWidget* CrearPaginaReparar();
    QWidget* CrearPaginaExtraer();
    QWidget* CrearPanelPrincipal();
    void Conectar();
    // Drops: the file and folder boxes and the window itself take them, no other control.
    void ConectarSoltar();
    // Ctrl+Return, Ctrl+E and Ctrl+Q: the action buttons, as a click.
    void CrearAtajos();
    // The current page's action button: Cortar, Unir, Verificar, or Volver on "Extraer".
    TExplorerButton* BotonDeAccion() const;
    void ConectarCortar();
    void ConectarExtraer();
    void ConectarUnir();
    // Empties the plan on show: no plan in force.
    void VaciarPlan();
    // Adds a confirmed size to the drop-down list when no item equals it.
    void AnadirTamano(const QString& tamano);
    std::string SeparadorMiles() const;
    QString FuenteCortar() const;
    void ConectarVerificar();
    void ConectarReparar();
    // A check (soloComprobar) or repair run of the "Reparar" page; its buttons are disabled
    // while it runs, as the window processes its messages meanwhile.
    void CorridaReparar(bool soloComprobar);
    // Fills an empty folder box with the folder of the file box's path.
    static void CarpetaPorDefecto(const TFilenameEdit* fichero, TDirectoryEdit* carpeta);
    void CargarSizes();
    // The available areas of the screens the window may open on, the primary first.
    QList<QRect> AreasPantalla() const;
    TipoCorte TipoCorteElegido() const;
    // Runs one split, join or verification; while one runs, another does not start and
    // a close waits for its end.
    void Ejecutar(const std::function<void()>& corrida);

    EntornoPrograma entorno_;
    ServicioDialogos& dialogos_;
    VentanaQt ventana_;
    AvisosEscritorio avisos_;
    QString CarpetaPrograma_, FicheroIni_, FicheroSizes_;
    bool CortePreparado_ = false;
    int64_t TamTrozo_ = 0;
    OrigenPlan origenPlan_;
    PlanUnir PlanUnir_;
    QString ExtensionAnterior_;
    bool sizesOrdenados_ = false;
    bool enEjecucion_ = false;
    bool cierrePendiente_ = false;
    int codigoSalida_ = 0;
};

// The order of a sorted size list: by text, without regard to case.
bool MenorTamano(const QString& a, const QString& b);

// The text with a full stop appended, unless it ends in "." or a character sorting before it.
QString ConPuntoFinal(const QString& texto);

} // namespace quimbel
