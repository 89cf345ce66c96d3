// SPDX-License-Identifier: GPL-3.0-or-later
// The program body: arguments, libraries, application, window, message loop, in that order.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QUrl>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/Aplicacion.h"
#include "app/Argumentos.h"
#include "app/Arranque.h"
#include "app/Dialogos.h"
#include "app/Entorno.h"
#include "app/FormMain.h"
#include "app/Pantalla.h"
#include "app/Senales.h"
#include "parity/Bibliotecas.h"

namespace {

bool HayPantalla() {
    for (const char* variable : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* valor = std::getenv(variable);
        if (valor && *valor) return true;
    }
    return false;
}

// The file to open as an absolute path; a file: URI as its local path.
QString RutaAbsoluta(const std::string& argumento) {
    const QByteArray bytes = QByteArray::fromStdString(argumento);
    if (bytes.startsWith("file://")) return QUrl::fromEncoded(bytes).toLocalFile();
    return QDir::cleanPath(QFileInfo(QFile::decodeName(bytes)).absoluteFilePath());
}

} // namespace

int main(int argc, char** argv) {
    const quimbel::Argumentos argumentos = quimbel::LeerArgumentos({argv + 1, argv + argc});
    switch (argumentos.accion) {
    case quimbel::Argumentos::Accion::Ayuda:
        std::fputs(quimbel::AyudaQuimbel(), stdout);
        return 0;
    case quimbel::Argumentos::Accion::Version:
        std::puts("quimbel " QUIMBEL_VERSION);
        return 0;
    case quimbel::Argumentos::Accion::Error:
        std::fprintf(stderr, "quimbel: %s\nPruebe «quimbel --help».\n", argumentos.error.c_str());
        return 2;
    case quimbel::Argumentos::Accion::Ventana:
        break;
    }
    if (!HayPantalla()) {
        std::fputs("quimbel: no hay pantalla (DISPLAY vacío); para abrir la ventana sin una, use: xvfb-run "
                   "-a quimbel\n",
                   stderr);
        return 1;
    }
    const quimbel::BibliotecasCargadas bibliotecas; // before anything else of the application
    int argcQt = 1;                                 // the toolkit reads no option of ours
    std::unique_ptr<quimbel::Aplicacion> aplicacion;
    {
        const quimbel::GuardaPantalla guarda;
        aplicacion = std::make_unique<quimbel::Aplicacion>(argcQt, argv);
    }
    quimbel::PrepararAplicacion(*aplicacion);
    quimbel::CargarTraduccionesQt(*aplicacion);
    quimbel::DialogosQt dialogos;
    quimbel::TFormMain FormMain(quimbel::EntornoReal(), dialogos);
    aplicacion->PonerManejadorError([&](const QString& texto) { FormMain.ErrorAplicacion(texto); });
    quimbel::CierrePorSenal senales([&] { FormMain.TerminarPorSenal(); });
    FormMain.FormCreate();
    if (FormMain.Terminando()) {
        // The session ended during start-up: closed the normal way, never shown.
        FormMain.close();
        return FormMain.CodigoSalida();
    }
    FormMain.show();
    if (!argumentos.fichero.empty()) {
        const QString ruta = RutaAbsoluta(argumentos.fichero);
        // Once the window is up, as if the user had chosen the file in it.
        QTimer::singleShot(0, &FormMain, [&FormMain, ruta] { FormMain.AbrirFichero(ruta); });
    }
    const int salida = quimbel::Aplicacion::exec();
    return salida != 0 ? salida : FormMain.CodigoSalida();
}
