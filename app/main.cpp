// The program body: libraries, application, window, message loop, in that order.
#include <cstdio>
#include <cstdlib>

#include "app/Aplicacion.h"
#include "app/Dialogos.h"
#include "app/Entorno.h"
#include "app/FormMain.h"
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

} // namespace

int main(int argc, char** argv) {
    if (!HayPantalla()) {
        std::fputs("quimbel: no hay pantalla (DISPLAY vacío); para abrir la ventana sin una, use: xvfb-run "
                   "-a quimbel\n",
                   stderr);
        return 1;
    }
    const quimbel::BibliotecasCargadas bibliotecas; // before anything else of the application
    quimbel::Aplicacion aplicacion(argc, argv);
    quimbel::Aplicacion::setApplicationName(QStringLiteral("Quimbel"));
    quimbel::DialogosQt dialogos;
    quimbel::TFormMain FormMain(quimbel::EntornoReal(), dialogos);
    aplicacion.PonerManejadorError([&](const QString& texto) { FormMain.ErrorAplicacion(texto); });
    quimbel::CierrePorSenal senales([&] { FormMain.TerminarPorSenal(); });
    FormMain.FormCreate();
    if (FormMain.Terminando()) {
        // The session ended during start-up: closed the normal way, never shown.
        FormMain.close();
        return FormMain.CodigoSalida();
    }
    FormMain.show();
    const int salida = quimbel::Aplicacion::exec();
    return salida != 0 ? salida : FormMain.CodigoSalida();
}
