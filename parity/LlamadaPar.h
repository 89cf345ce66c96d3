#ifndef QUIMBEL_LLAMADA_PAR_H
#define QUIMBEL_LLAMADA_PAR_H
/* The fixed contract between the program and the parity library (libpar.so):
   the record whose address is the one argument of call_par. C layout. */
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Receives one zero-terminated progress text; returns 0. Called only during
   call_par, on the calling thread. */
typedef int32_t (*ProgresoParFuncion)(const char* texto);

/* A progress text that says how far the job is: this prefix, a whole percentage and " %"
   ("Calculando: 45 %"). The library sends one at least once a second while it works. */
#define LLAMADA_PAR_PROGRESO "Calculando: "

/* The vector holds at most 1000 arguments (program name included) and the null after them. */
#define LLAMADA_PAR_ENTRADAS 1001

typedef struct LlamadaPar {
    ProgresoParFuncion progreso;            /* progress callback */
    int32_t cuenta;                         /* arguments in use: entries 0 .. cuenta - 1 */
    char* argumentos[LLAMADA_PAR_ENTRADAS]; /* entry cuenta and all beyond it are null */
} LlamadaPar;

/* A text that starts with this prefix is no line to show but progress: the decimal bytes
   done, "/", and the decimal bytes of the current step ("%123/4567"). Only the commands
   "verify" and "repair" send them. */
#define LLAMADA_PAR_AVANCE "%"

/* call_par runs the whole job the vector describes, in the current folder, and returns
   when it is finished: 0 when it was carried out, non-zero otherwise. It keeps no
   reference to the record, the texts or the callback afterwards.
   Commands: "add" builds a set; "verify" and "repair" ("par.exe verify [-d FOLDER] -- INDEX")
   check the files of a set and, for "repair", rebuild the damaged and missing ones. Their
   texts are progress (above), lines to show, and failures, which start with "¡ "; their
   result is 0 when every file is whole, 1 when one is not (or a failure stopped the job),
   2 when the vector is wrong or no file of the set holds a valid main packet. */
typedef int32_t (*CallParFuncion)(LlamadaPar* llamada);

#ifdef __cplusplus
}
#endif

#endif
