// SPDX-License-Identifier: GPL-3.0-or-later
#include "Senales.h"

#include <csignal>
#include <initializer_list>

namespace quimbel {

namespace {

// Written only by the handler: a signal's number fits a sig_atomic_t.
volatile std::sig_atomic_t senal = 0;
bool interrumpida = false;

extern "C" void AlRecibir(int numero) {
    if (senal != 0) {
        // A second signal: the default action, at once.
        std::signal(numero, SIG_DFL);
        std::raise(numero);
        return;
    }
    senal = numero;
}

} // namespace

void InstalarSenales() {
    struct sigaction accion {};
    accion.sa_handler = AlRecibir;
    sigemptyset(&accion.sa_mask);
    // A read or write of a regular file goes on; the run looks at the flag between blocks.
    accion.sa_flags = SA_RESTART;
    for (const int numero : {SIGINT, SIGTERM, SIGHUP})
        sigaction(numero, &accion, nullptr);
}

int SenalRecibida() {
    return senal;
}

bool RunInterrumpida() {
    return interrumpida;
}

void MarcarRunInterrumpida() {
    interrumpida = true;
}

} // namespace quimbel
