// SPDX-License-Identifier: GPL-3.0-or-later
/* A stand-in for libpar.so in the tests, compiled as C on its own so that it reads the
   record with the C layout. Its call_par_contexto records what it received (the count, every
   argument, and whether the entries from the count to the record's end are null), reports
   each argument after the program name through the callback, and returns the count. It also
   keeps the folder it was handed, the record's size and version, and whether the context came
   back. Built with SIN_CALL_PAR it loads but lacks the export; built with PAR_LENTO it is a slow
   job instead: it says how far it is, 0, 50 and 100 %, as lines and as progress, with 0.3 s of
   work between them, and succeeds.
 */
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include "libs/par/include/LlamadaPar.h"

static char recibido[1 << 16];
static char carpeta[4096];
static char registro[64];

const char* par_prueba_recibido(void) {
    return recibido;
}
/* The folder the last call was handed, by its path now. */
const char* par_prueba_carpeta(void) {
    return carpeta;
}
/* "size/version" of the last record. */
const char* par_prueba_registro(void) {
    return registro;
}

#if defined(PAR_LENTO)
int32_t call_par_contexto(LlamadaParContexto* llamada) {
    static const char* const textos[] = {LLAMADA_PAR_PROGRESO "0 %",   LLAMADA_PAR_AVANCE "0/2",
                                         LLAMADA_PAR_PROGRESO "50 %",  LLAMADA_PAR_AVANCE "1/2",
                                         LLAMADA_PAR_PROGRESO "100 %", LLAMADA_PAR_AVANCE "2/2"};
    size_t i;
    for (i = 0; i < sizeof textos / sizeof textos[0]; ++i) {
        if (i > 0 && i % 2 == 0) usleep(300000);
        llamada->progreso(llamada->contexto, textos[i]);
    }
    return 0;
}
#elif !defined(SIN_CALL_PAR)
int32_t call_par_contexto(LlamadaParContexto* llamada) {
    size_t usado = 0;
    int nulos = 1;
    int32_t i;
    char enlace[64];
    ssize_t n;
    snprintf(registro, sizeof registro, "%u/%u", (unsigned)llamada->tamano, (unsigned)llamada->version);
    snprintf(enlace, sizeof enlace, "/proc/self/fd/%d", (int)llamada->carpeta);
    n = readlink(enlace, carpeta, sizeof carpeta - 1);
    carpeta[n > 0 ? n : 0] = '\0';
    usado += (size_t)snprintf(recibido, sizeof recibido, "%d", (int)llamada->cuenta);
    for (i = 0; i < llamada->cuenta && usado < sizeof recibido; ++i)
        usado += (size_t)snprintf(recibido + usado, sizeof recibido - usado, "|%s", llamada->argumentos[i]);
    for (i = llamada->cuenta; i < LLAMADA_PAR_ENTRADAS; ++i)
        if (llamada->argumentos[i] != NULL) nulos = 0;
    if (usado < sizeof recibido)
        snprintf(recibido + usado, sizeof recibido - usado, "|%s", nulos ? "nulos" : "NO NULOS");
    for (i = 1; i < llamada->cuenta; ++i)
        llamada->progreso(llamada->contexto, llamada->argumentos[i]);
    return llamada->cuenta;
}
#endif
