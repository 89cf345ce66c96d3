// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FormMain.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <cstdio>

#include "app/Arranque.h"
#include "app/Colocacion.h"
#include "app/Texto.h"
#include "app/ajustes/ListaTamanos.h"
#include "app/ajustes/Perfil.h"
#include "files/Entero.h"
#include "files/Rutas.h"

namespace quimbel {

namespace {
constexpr const char* SeccionMain = "Main";
}

bool MenorTamano(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) < 0;
}

QString ConPuntoFinal(const QString& texto) {
    if (!texto.isEmpty() && texto.back() <= QLatin1Char('.')) return texto;
    return texto + QLatin1Char('.');
}

TFormMain::TFormMain(const EntornoPrograma& entorno, ServicioDialogos& dialogos, QWidget* padre)
    : QWidget(padre), entorno_(entorno), dialogos_(dialogos), ventana_(*this),
      avisos_(QString::fromLatin1(IdEscritorio())) {
    CrearControles();
    move(306, 116);
    resize(478, 450);
    Conectar();
}

void TFormMain::ErrorAplicacion(const QString& texto) {
    if (dialogos_.Terminado()) {
        std::fprintf(stderr, "quimbel: %s\n", qUtf8Printable(ConPuntoFinal(texto)));
        codigoSalida_ = 1;
        return;
    }
    dialogos_.Mensaje(ServicioDialogos::Icono::Error, QStringLiteral("Quimbel"), ConPuntoFinal(texto), false);
}

void TFormMain::TerminarPorSenal() {
    dialogos_.Terminar();
    // During start-up the window is not shown yet: the program closes it once FormCreate ends.
    if (isVisible()) close();
}

void TFormMain::FormCreate() {
    setWindowTitle(QStringLiteral("Quimbel v" QUIMBEL_VERSION));
    CarpetaPrograma_ = entorno_.carpetaEjecutable;
    const bool instalado = !entorno_.enCarpetaDeCompilacion;
    if ((instalado || !QFileInfo(CarpetaPrograma_).isWritable()) &&
        !entorno_.carpetaConfiguracion.isEmpty()) {
        // An installed program keeps its settings in the user's configuration folder, never
        // in the install tree, whoever runs it.
        QDir().mkpath(entorno_.carpetaConfiguracion);
        CarpetaPrograma_ = DeRuta(ConBarraFinal(ARuta(entorno_.carpetaConfiguracion)));
    }
    FicheroIni_ = CarpetaPrograma_ + DeRuta(CambiarExtension(ARuta(entorno_.nombreEjecutable), ".ini"));
    if (!QFileInfo::exists(FicheroIni_)) {
        QSize pantalla = entorno_.pantalla.value_or(QSize());
        if (!entorno_.pantalla && QGuiApplication::primaryScreen())
            pantalla = QGuiApplication::primaryScreen()->size();
        move((pantalla.width() - width()) / 2, (pantalla.height() - height()) / 2);
    }
    PageControlQuimbel->setTabVisible(PageControlQuimbel->indexOf(TabSheetExtraer), false);
    CortePreparado_ = false;
    CargarPosicion();
    FicheroSizes_ = CarpetaPrograma_ + QStringLiteral("Sizes.txt");
    CargarSizes();
}

QList<QRect> TFormMain::AreasPantalla() const {
    if (!entorno_.areasPantalla.isEmpty()) return entorno_.areasPantalla;
    QList<QRect> areas;
    const QScreen* primaria = QGuiApplication::primaryScreen();
    if (primaria) areas << primaria->availableGeometry();
    for (const QScreen* pantalla : QGuiApplication::screens())
        if (pantalla != primaria) areas << pantalla->availableGeometry();
    return areas;
}

void TFormMain::CargarPosicion() {
    const Perfil perfil(ARuta(FicheroIni_));
    const auto claves = perfil.LeerSeccion(SeccionMain);
    const auto valor = [&](std::string_view clave) {
        for (const auto& [k, v] : claves)
            if (IgualesSinMayusculas(k, clave)) return v;
        return std::string();
    };
    bool sinEscritura = false; // one box for a file that cannot be written, not one per key
    const auto escribir = [&](const char* clave, const std::string& v) {
        if (sinEscritura) return;
        if (!perfil.EscribirClave(SeccionMain, clave, v).Bien()) {
            sinEscritura = true;
            ErrorAplicacion(QStringLiteral("Unable to write to %1").arg(FicheroIni_));
        }
    };
    struct Medida {
        const char* clave;
        std::function<int()> actual;
        std::function<void(int)> poner;
    };
    const Medida medidas[] = {
        {"FormLeft", [&] { return x(); }, [&](int v) { move(v, y()); }},
        {"FormTop", [&] { return y(); }, [&](int v) { move(x(), v); }},
        {"FormHeight", [&] { return height(); }, [&](int v) { resize(width(), v); }},
        {"FormWidth", [&] { return width(); }, [&](int v) { resize(v, height()); }},
    };
    for (const Medida& m : medidas) {
        const std::string texto = valor(m.clave);
        if (texto.empty()) {
            escribir(m.clave, std::to_string(m.actual()));
        } else if (const std::optional<int32_t> numero = LeerEntero(texto)) {
            m.poner(*numero);
        } else {
            ErrorAplicacion(QStringLiteral("'%1' is not a valid integer value").arg(DeUtf8(texto)));
        }
    }
    // A placement saved under another screen layout must not leave the window out of reach;
    // the keys keep what was read. Before the state: a move or resize ends a maximized one.
    const QRect colocada =
        Colocar(QRect(pos(), size()), AreasPantalla(), minimumSize().expandedTo(minimumSizeHint()));
    if (colocada != QRect(pos(), size())) {
        move(colocada.topLeft());
        resize(colocada.size());
    }
    const std::string estado = valor("WindowState");
    if (estado.empty()) {
        escribir("WindowState", isMaximized() ? "wsMaximized" : "wsNormal");
    } else if (estado == "wsMaximized") {
        setWindowState(windowState() | Qt::WindowMaximized);
    } else {
        setWindowState(windowState() & ~Qt::WindowMaximized);
    }
}

void TFormMain::GuardarPosicion() {
    const Perfil perfil(ARuta(FicheroIni_));
    // A minimized window keeps the bounds and state it had before.
    const bool maximizada = windowState().testFlag(Qt::WindowMaximized);
    const std::vector<std::pair<std::string, std::string>> claves{
        {"FormLeft", std::to_string(x())},
        {"FormTop", std::to_string(y())},
        {"FormHeight", std::to_string(height())},
        {"FormWidth", std::to_string(width())},
        {"WindowState", maximizada ? "wsMaximized" : "wsNormal"},
    };
    // One read and one write for the five keys; the file takes its name only when complete.
    if (!perfil.EscribirClaves(SeccionMain, claves).Bien())
        ErrorAplicacion(QStringLiteral("Unable to write to %1").arg(FicheroIni_));
}

void TFormMain::CargarSizes() {
    if (!QFileInfo::exists(FicheroSizes_)) return;
    std::vector<std::string> items;
    if (!LeerListaTamanos(ARuta(FicheroSizes_), items).Bien()) {
        ErrorAplicacion(QStringLiteral("Cannot open file %1").arg(FicheroSizes_));
        return;
    }
    const QString texto = ComboBoxSizes->currentText();
    const QSignalBlocker bloqueo(ComboBoxSizes);
    ComboBoxSizes->clear();
    QStringList textos;
    for (const std::string& item : items)
        textos << DeUtf8(item);
    std::stable_sort(textos.begin(), textos.end(), MenorTamano);
    ComboBoxSizes->addItems(textos);
    ComboBoxSizes->setCurrentIndex(-1);
    ComboBoxSizes->setEditText(texto);
    sizesOrdenados_ = true;
}

void TFormMain::FormClose() {
    std::vector<std::string> items;
    for (int i = 0; i < ComboBoxSizes->count(); ++i)
        items.push_back(ComboBoxSizes->itemText(i).toStdString());
    if (!EscribirListaTamanos(ARuta(FicheroSizes_), items).Bien())
        ErrorAplicacion(QStringLiteral("Cannot create file %1").arg(FicheroSizes_));
    GuardarPosicion();
}

void TFormMain::closeEvent(QCloseEvent* evento) {
    if (enEjecucion_) {
        // The run in progress stops at its next block (VentanaQt::Interrumpido); the window
        // closes right after it.
        cierrePendiente_ = true;
        evento->ignore();
        return;
    }
    FormClose();
    evento->accept();
}

void TFormMain::ExplorerButtonSalirClick() {
    close();
}

void TFormMain::Ejecutar(const std::function<void()>& corrida) {
    if (enEjecucion_) return;
    enEjecucion_ = true;
    avisos_.Empezar();
    struct Fin {
        bool& enEjecucion;
        AvisosEscritorio& avisos;
        ~Fin() {
            enEjecucion = false;
            avisos.Terminar();
        }
    } fin{enEjecucion_, avisos_};
    corrida();
    if (cierrePendiente_) {
        cierrePendiente_ = false;
        enEjecucion_ = false;
        close();
    }
}

void TFormMain::Conectar() {
    connect(ExplorerButtonSalir, &QToolButton::clicked, this, &TFormMain::ExplorerButtonSalirClick);
    ConectarCortar();
    ConectarExtraer();
    ConectarUnir();
    ConectarVerificar();
    ConectarSoltar();
    CrearAtajos();
    ConectarReparar();
}

} // namespace quimbel
