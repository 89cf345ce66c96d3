// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The signals that stop a run of the companion: SIGINT, SIGTERM and SIGHUP. The first asks
// the run to stop at its next block (Ventana::Interrumpido); a second ends the process at once.
namespace quimbel {

// Installs the handlers; called once, first thing.
void InstalarSenales();

// The number of the first of those signals received; 0 while none has come.
int SenalRecibida();

// Whether a run has said that it stopped ("¡ Proceso interrumpido !"), and that it has.
bool RunInterrumpida();
void MarcarRunInterrumpida();

} // namespace quimbel
