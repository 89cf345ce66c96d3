// SPDX-License-Identifier: GPL-3.0-or-later
#include "Senales.h"

#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace quimbel {

namespace {
int tuberia[2] = {-1, -1};

extern "C" void AlRecibirSenal(int) {
    const char c = 1;
    [[maybe_unused]] const ssize_t r = write(tuberia[1], &c, 1);
}
} // namespace

CierrePorSenal::CierrePorSenal(std::function<void()> cerrar, QObject* padre) : QObject(padre) {
    if (pipe2(tuberia, O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* aviso = new QSocketNotifier(tuberia[0], QSocketNotifier::Read, this);
    connect(aviso, &QSocketNotifier::activated, this, [cerrar = std::move(cerrar)] {
        char c;
        while (read(tuberia[0], &c, 1) > 0) {
        }
        cerrar();
    });
    struct sigaction accion {};
    accion.sa_handler = AlRecibirSenal;
    sigemptyset(&accion.sa_mask);
    accion.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &accion, nullptr);
    sigaction(SIGINT, &accion, nullptr);
}

} // namespace quimbel
