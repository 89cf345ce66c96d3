/* A stand-in for libpar.so in the tests, compiled as C on its own so that it reads the
   record with the C layout. Its call_par records what it received (the count, every
   argument, and whether the entries from the count to the record's end are null),
   reports each argument after the program name through the callback, and returns the
   count. It also keeps the current folder of the call. Built with SIN_CALL_PAR it loads but lacks the export;
   built with PAR_LENTO it is a slow job instead: it says how far it is, 0, 50 and 100 %, with
   0.3 s of work between the texts, and succeeds.
 */
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include "parity/LlamadaPar.h"

static char recibido[1 << 16];
static char carpeta[4096];

const char* par_prueba_recibido(void) {
    return recibido;
}
/* The current folder at the last call. */
const char* par_prueba_carpeta(void) {
    return carpeta;
}

#if defined(PAR_LENTO)
int32_t call_par(LlamadaPar* llamada) {
    static const char* const textos[] = {LLAMADA_PAR_PROGRESO "0 %", LLAMADA_PAR_PROGRESO "50 %",
                                         LLAMADA_PAR_PROGRESO "100 %"};
    size_t i;
    for (i = 0; i < sizeof textos / sizeof textos[0]; ++i) {
        if (i > 0) usleep(300000);
        llamada->progreso(textos[i]);
    }
    return 0;
}
#elif !defined(SIN_CALL_PAR)
int32_t call_par(LlamadaPar* llamada) {
    size_t usado = 0;
    int nulos = 1;
    int32_t i;
    if (getcwd(carpeta, sizeof carpeta) == NULL) carpeta[0] = '\0';
    usado += (size_t)snprintf(recibido, sizeof recibido, "%d", (int)llamada->cuenta);
    for (i = 0; i < llamada->cuenta && usado < sizeof recibido; ++i)
        usado += (size_t)snprintf(recibido + usado, sizeof recibido - usado, "|%s", llamada->argumentos[i]);
    for (i = llamada->cuenta; i < LLAMADA_PAR_ENTRADAS; ++i)
        if (llamada->argumentos[i] != NULL) nulos = 0;
    if (usado < sizeof recibido)
        snprintf(recibido + usado, sizeof recibido - usado, "|%s", nulos ? "nulos" : "NO NULOS");
    for (i = 1; i < llamada->cuenta; ++i)
        llamada->progreso(llamada->argumentos[i]);
    return llamada->cuenta;
}
#endif
