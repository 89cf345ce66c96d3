#ifndef QUIMBEL_LLAMADA_PAR_H
#define QUIMBEL_LLAMADA_PAR_H
/* The fixed contract between the program and the parity library (libpar.so):
   the record whose address is the one argument of call_par. C layout. */
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The progress callback. Takes: one zero-terminated text, valid only during the callback
   (copy what must be kept). Returns: 0 (the library does not examine it). Called only
   during call_par, on the thread that called call_par, never on a worker, never twice at
   once. */
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

/* int32_t call_par(LlamadaPar* llamada): the library's one export.

   Takes: the record, filled by the caller: the callback, the count and the texts of the
   argument vector (program name first), the entry after the last one null. The job works
   in the process's current folder, where bare piece names are looked up.
   Returns: when the whole job is finished (it blocks the calling thread; worker threads it
   starts have ended by then). For "add", which builds a set: 0 when the set was written,
   non-zero otherwise. "verify" and "repair" ("par.exe verify [-d FOLDER] -- INDEX") check
   the files of a set and, for "repair", rebuild the damaged and missing ones: 0 when every
   file is whole, 1 when one is not (or a failure stopped the job), 2 when the vector is
   wrong or no file of the set holds a valid main packet. A null record, a count out of
   range or a vector with a null inside the count returns non-zero.
   Ownership: the record, its texts and the callback stay the caller's; the library reads
   them during the call only and keeps no reference afterwards. Every file the job
   created is closed by then; a failed "add" leaves no file of the set behind.
   Thread safety: one call at a time per process (the job uses the current folder); the
   callback runs on the calling thread only.
   Failure: never aborts or throws past the call (an allocation failure is a failure
   line); every refusal or failure is one callback text starting with "¡ " and a non-zero
   result. Texts otherwise are progress (above) and lines to show. */
typedef int32_t (*CallParFuncion)(LlamadaPar* llamada);

#ifdef __cplusplus
}
#endif

#endif
