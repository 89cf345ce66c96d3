// SPDX-License-Identifier: GPL-3.0-or-later
// How long the largest plan takes: 100,000 list lines worked out by the plan engine and
// put into the "Extraer" page's check list. Goal: well under a second.
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

#include "app/widgets/RxCheckListBox.h"
#include "cli/Consola.h"
#include "files/Trozos.h"
#include "split/Plan.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication aplicacion(argc, argv);
    char ruta[] = "/tmp/quimbel-plan-XXXXXX";
    const int fd = mkstemp(ruta);
    if (fd < 0 || ftruncate(fd, quimbel::MaxTrozos) != 0) return 1;
    close(fd);
    quimbel::Consola consola;
    quimbel::TRxCheckListBox lista;
    lista.show();
    const auto inicio = std::chrono::steady_clock::now();
    const quimbel::PlanCorte plan =
        quimbel::PrepararCorte(consola, ruta, "1", quimbel::TipoCorte::Normal, ".");
    const auto motor = std::chrono::steady_clock::now();
    QStringList lineas;
    lineas.reserve(static_cast<qsizetype>(plan.lineas.size()));
    for (const std::string& l : plan.lineas)
        lineas << QString::fromStdString(l);
    lista.PonerLineas(std::move(lineas));
    QCoreApplication::processEvents();
    const auto fin = std::chrono::steady_clock::now();
    unlink(ruta);
    const auto ms = [](auto d) { return std::chrono::duration<double, std::milli>(d).count(); };
    std::printf("%zu lines: engine %.1f ms, list %.1f ms, total %.1f ms (goal: well under 1000 ms)\n",
                plan.lineas.size(), ms(motor - inicio), ms(fin - motor), ms(fin - inicio));
    return plan.lineas.size() == static_cast<size_t>(quimbel::MaxTrozos) ? 0 : 1;
}
