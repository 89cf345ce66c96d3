/* SPDX-License-Identifier: GPL-3.0-or-later */
#ifndef QUIMBEL_LLAMADA_PAR_H
#define QUIMBEL_LLAMADA_PAR_H
/* The fixed contract between the program and the parity library (libpar.so): the records
   whose address is the one argument of its two exports, call_par (the first record, kept as
   it was for any caller built against it) and call_par_contexto (the versioned record, which
   the program uses); and the streamed creation (par_flujo_*), which is handed the pieces'
   bytes as they are written. C layout. */
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The version of the versioned record, which the library's SONAME carries (libpar.so.3);
   the first record, which has no version field, counts as 1. Version 3 added `detener`; the
   library still takes a record of version 2, which ends before it. */
#define LLAMADA_PAR_VERSION 3

/* The vector holds at most 1000 arguments (program name included) and the null after them. */
#define LLAMADA_PAR_ENTRADAS 1001

/* ---- The first record: call_par ---- */

/* The progress callback. Takes: one zero-terminated text, valid only during the callback
   (copy what must be kept). Returns: 0 (the library does not examine it). Called only
   during call_par, on the thread that called call_par, never on a worker, never twice at
   once. */
typedef int32_t (*ProgresoParFuncion)(const char* texto);

/* A line "add" sends about once a second while it works, saying how far the job is: this
   prefix, a whole percentage and " %" ("Calculando: 45 %"). A line like any other. */
#define LLAMADA_PAR_PROGRESO "Calculando: "

typedef struct LlamadaPar {
    ProgresoParFuncion progreso;            /* progress callback */
    int32_t cuenta;                         /* arguments in use: entries 0 .. cuenta - 1 */
    char* argumentos[LLAMADA_PAR_ENTRADAS]; /* entry cuenta and all beyond it are null */
} LlamadaPar;

/* A text that starts with this prefix is no line to show but progress: the decimal bytes
   done, "/", and the decimal bytes of the current step ("%123/4567"). Through call_par only
   the commands "verify" and "repair" send them; through call_par_contexto every command. */
#define LLAMADA_PAR_AVANCE "%"

/* int32_t call_par(LlamadaPar* llamada)

   Takes: the record, filled by the caller: the callback, the count and the texts of the
   argument vector (program name first), the entry after the last one null. The job works
   in the process's current folder, where bare piece names are looked up.
   Returns: when the whole job is finished (it blocks the calling thread; worker threads it
   starts have ended by then). For "add", which builds a set: 0 when the set was written,
   non-zero otherwise. "verify" and "repair" ("par.exe verify [-d FOLDER] -- INDEX [FILE...]")
   check the files of a set and, for "repair", rebuild the damaged and missing ones; slices
   are also looked for at other offsets of the listed files and, when FILEs follow the index
   (opened from the process's current folder, read only), in those files. "repair": 0 when
   every file is whole, 1 when one is not (or a failure stopped the job), 2 when the vector is
   wrong or no file of the set holds a valid main packet. "verify", as par2's: 0 when every
   file is whole, 1 when a repair would make them whole, 2 when it would not (or the vector
   is wrong, or there is no valid main packet). A null record, a count out of
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

/* ---- The versioned record: call_par_contexto ---- */

/* The callback of the versioned record: the caller's context comes back with every text.
   Called as ProgresoParFuncion is: during the call only, on the calling thread only. */
typedef int32_t (*ProgresoParContextoFuncion)(void* contexto, const char* texto);

/* The folder of a job that has none of its own: the process's current folder (AT_FDCWD). */
#define LLAMADA_PAR_CARPETA_ACTUAL (-100)

/* The question whether the job must stop, with the caller's context. Returns non-zero to stop
   it. Called during call_par_contexto only, on the calling thread only, never twice at once:
   before each step of the job and, while the job's threads work, every few tens of
   milliseconds and whenever a text is sent; the job's threads look at the answer before each
   block they read or write. */
typedef int32_t (*DetenerParFuncion)(void* contexto);

/* The result of a job that stopped because `detener` asked it to: every file it was writing
   is removed (they had temporary names), every name it moved is given back, an earlier set
   or a damaged file it would have replaced is as it was; no text is sent for it. */
#define LLAMADA_PAR_INTERRUMPIDA 3

typedef struct LlamadaParContexto {
    uint32_t tamano;                        /* sizeof(LlamadaParContexto) as the caller built it */
    uint32_t version;                       /* LLAMADA_PAR_VERSION */
    ProgresoParContextoFuncion progreso;    /* the callback; null: no texts are sent */
    void* contexto;                         /* handed back with every text, never read */
    int32_t carpeta;                        /* the job's folder: an open descriptor (see below) */
    int32_t cuenta;                         /* arguments in use: entries 0 .. cuenta - 1 */
    char* argumentos[LLAMADA_PAR_ENTRADAS]; /* entry cuenta and all beyond it are null */
    DetenerParFuncion detener;              /* version 3: asked whether to stop; null: never */
} LlamadaParContexto;

/* The size of a record of version 2: the fields before `detener`. */
#define LLAMADA_PAR_TAMANO_V2 offsetof(LlamadaParContexto, detener)

/* int32_t call_par_contexto(LlamadaParContexto* llamada)

   Takes: the record, filled by the caller. The vector and the results are call_par's. The job
   works in the folder `carpeta` (a descriptor of a folder, O_PATH allowed, or
   LLAMADA_PAR_CARPETA_ACTUAL): "add" looks up its pieces (bare names) there and writes the set
   there, under the last component of the PAR path; "verify" and "repair" read the set's files
   there, under the last component of the index, and, without -d, check and rebuild the listed
   files beneath it (-d FOLDER is opened once, from the process's current folder). The folder
   part of a path in the vector is only shown in the lines, never opened: the job is bound to
   the folder it was handed, whatever happens to its path meanwhile. Files are created,
   renamed and removed relative to that descriptor only (openat, renameat2 without replacing,
   unlinkat); the process's current folder and every other process-wide state stay as they were.
   Texts: a text that starts with LLAMADA_PAR_AVANCE is progress (every command sends them);
   every other text is a line to show, as through call_par ("add" still sends its
   "Calculando: " lines).
   Stopping: a job whose `detener` answers non-zero stops at its next block and returns
   LLAMADA_PAR_INTERRUMPIDA (see there); a job that was not stopped returns as call_par does.
   A record of version 2 has no `detener`: its job is never stopped.
   Refuses, returning 1 without any callback, a null record, a version other than 2 or
   LLAMADA_PAR_VERSION, and a tamano smaller than its version's size (LLAMADA_PAR_TAMANO_V2 for
   version 2, sizeof(LlamadaParContexto) for version 3).
   Ownership: the record, its texts, the callback, the context and the descriptor stay the
   caller's (the library duplicates the descriptor for the job and closes its copy before it
   returns); nothing is kept after the call.
   Thread safety: the job touches no process-wide state, so calls on distinct records may run
   at once on distinct threads; each call's callback runs on its calling thread only.
   Failure: as call_par. */
typedef int32_t (*CallParContextoFuncion)(LlamadaParContexto* llamada);

/* ---- The description of a set: par_describir ---- */

/* One file a set lists, as par_describir hands it to the caller. */
typedef struct FicheroParDescrito {
    const char* nombre;      /* as the set lists it, beneath the set's folder ("/" between folders) */
    uint64_t tamano;         /* its listed length in bytes */
    uint64_t tamanoRebanada; /* the set's slice size in bytes */
    uint32_t rebanadas;      /* its slices: tamano divided by tamanoRebanada, rounded up */
    const uint32_t* crcs;    /* the CRC-32 of each of its slices, the last one padded with zeros to
                                tamanoRebanada; null when the set holds no checksums for it */
} FicheroParDescrito;

/* The callback of par_describir: one described file, valid only during the callback (copy
   what must be kept), with the caller's context. Returns 0 (the library does not examine
   it). Called only during par_describir, on its calling thread, in the set's order. */
typedef int32_t (*FicheroParFuncion)(void* contexto, const FicheroParDescrito* fichero);

/* The version of par_describir's record. */
#define LLAMADA_PAR_DESCRIBIR_VERSION 1

typedef struct LlamadaParDescribir {
    uint32_t tamano;           /* sizeof(LlamadaParDescribir) as the caller built it */
    uint32_t version;          /* LLAMADA_PAR_DESCRIBIR_VERSION */
    int32_t carpeta;           /* the set's folder: an open descriptor, or LLAMADA_PAR_CARPETA_ACTUAL */
    const char* indice;        /* the name (no folder) of one of the set's files in it */
    FicheroParFuncion fichero; /* the callback; null: nothing is handed */
    void* contexto;            /* handed back with every file, never read */
} LlamadaParDescribir;

/* int32_t par_describir(const LlamadaParDescribir* llamada)

   Takes: the record, filled by the caller. Reads the file named and, only when it does not
   describe every file with its slices' checksums, the set as "verify" does (every ".par2" file
   of the folder, any case, that carries the set's packets); bounded in time and memory whatever
   the files hold. Reads no file the set lists.
   Returns: 0 after handing every file the set describes to the callback, in the set's order
   (a file whose description packet is lost is left out); 2 when no file of the set can be
   opened or holds a valid main packet, or its packets describe no usable set; 1 for a null
   record, a version other than LLAMADA_PAR_DESCRIBIR_VERSION, a tamano smaller than the
   record, a null or empty name, or a failure (memory, a thread). No text is sent.
   Ownership: the record, the name, the callback, the context and the descriptor stay the
   caller's (the library duplicates the descriptor and closes its copy before it returns);
   nothing is kept after the call.
   Thread safety: as call_par_contexto: calls on distinct records may run at once.
   Failure: never aborts or throws past the call. */
typedef int32_t (*ParDescribirFuncion)(const LlamadaParDescribir* llamada);

/* ---- The streamed creation: par_flujo_* ----
   An "add" job whose pieces the caller hands over as it writes them, so that the library
   never reads them: the set written is byte for byte the one call_par_contexto would write
   for the same vector and pieces. The job holds one recovery slice's sums for each recovery
   slice in memory from par_flujo_abrir to its end. Calls of one job come one at a time, from
   any one thread at a time; distinct jobs are independent. */

/* The bytes of a piece's start that par_flujo_principio takes (fewer when the piece is shorter). */
#define LLAMADA_PAR_PRINCIPIO 16384

/* A job: opaque, made by par_flujo_abrir, ended by par_flujo_terminar or par_flujo_abandonar. */
typedef struct ParFlujo ParFlujo;

/* par_flujo_abrir's result when the recovery data would pass the bound: nothing was done. */
#define LLAMADA_PAR_FLUJO_NO_CABE 4

/* int32_t par_flujo_abrir(const LlamadaParContexto* llamada, const uint64_t* tamanos,
                           uint64_t memoria, ParFlujo** flujo)

   Takes: a record as call_par_contexto's (version, vector, folder; its callback, context and
   stop question are not used here) whose vector is an "add" job, the size of every piece of
   the vector in its order (the pieces need not exist yet: they must, with those sizes, by
   par_flujo_terminar), and the most bytes of recovery data the job may hold (0: a quarter
   of the machine's memory, MemTotal).
   Returns: 0 and the job in *flujo; LLAMADA_PAR_FLUJO_NO_CABE when the recovery slices times
   the slice size (rounded up to 64 bytes) would pass `memoria`; 1 when the record or vector is refused, a
   check of "add" refuses the job (names, outputs) or memory fails. On a result other than 0, *flujo is null
   and nothing of the set was written: the caller may run the same job through call_par_contexto, which says
   why it refuses, if it does. Sends no text; removes only the leftover temporaries of dead runs that "add"
   removes. Ownership: the record, its texts, the sizes and the descriptor stay the caller's and are not kept
   (the job holds its own copy of the folder). The job is the library's until it ends. */
typedef int32_t (*ParFlujoAbrirFuncion)(const LlamadaParContexto* llamada, const uint64_t* tamanos,
                                        uint64_t memoria, ParFlujo** flujo);

/* int32_t par_flujo_principio(ParFlujo* flujo, int32_t trozo, const void* datos, uint64_t n)

   Takes: the first min(LLAMADA_PAR_PRINCIPIO, size) bytes of piece `trozo` (0 for the first of the vector),
   read by the caller before that piece is fed; every piece's, each once, before any
   par_flujo_datos. Returns 0; 1 for another count, a piece out of range or given twice, or a
   call after the first par_flujo_datos. The bytes are the caller's, read during the call only. */
typedef int32_t (*ParFlujoPrincipioFuncion)(ParFlujo* flujo, int32_t trozo, const void* datos, uint64_t n);

/* int32_t par_flujo_datos(ParFlujo* flujo, const void* datos, uint64_t n)

   Takes: the next n bytes of the pieces, all of the first piece, then all of the next, in the
   vector's order, as they are written. Returns 0; 1 once the job is broken: bytes beyond the
   sizes, a piece's first bytes other than those given to par_flujo_principio, a missing first
   part, or memory that fails; every later call returns 1 as well and the caller should end the
   job with par_flujo_abandonar. The bytes are copied during the call (the caller's, read during
   the call only); their hashing and summing go on on two threads of the job's own, which
   par_flujo_terminar and par_flujo_abandonar wait for. Sends no text. */
typedef int32_t (*ParFlujoDatosFuncion)(ParFlujo* flujo, const void* datos, uint64_t n);

/* The pieces a caller that writes several at once hands per par_flujo_datos_de call to keep
   the library's MD5 lanes and recovery passes full. */
#define LLAMADA_PAR_FLUJO_ANCHURA 8

/* int32_t par_flujo_datos_de(ParFlujo* flujo, uint32_t cuantos, const int32_t* trozos,
                              const void* const* datos, const uint64_t* n)

   Takes: for each k below `cuantos`, the next n[k] bytes of piece trozos[k] (0 for the first of
   the vector), the pieces of one call distinct; each piece's bytes in order, the pieces in any
   interleaving, after every first part. A caller writing several pieces at once hands one part
   of each (up to LLAMADA_PAR_FLUJO_ANCHURA, at the same offset of their pieces) per call: the
   parts are hashed in the kernel's lanes together and summed in one pass. Returns, breaks the
   job, copies and threads as par_flujo_datos (a piece out of range or named twice in one call
   breaks it too); the two may be mixed. The arrays and bytes are the caller's, read during the
   call only. */
typedef int32_t (*ParFlujoDatosDeFuncion)(ParFlujo* flujo, uint32_t cuantos, const int32_t* trozos,
                                          const void* const* datos, const uint64_t* n);

/* int32_t par_flujo_terminar(ParFlujo* flujo, ProgresoParContextoFuncion progreso,
                              void* contexto, DetenerParFuncion detener)

   Writes the set from what was fed, as call_par_contexto would: the same texts (lines,
   failures) through `progreso` with `contexto`, the same temporaries, publishing, ".old"
   handling with -m and the same result codes; `detener` (null: never) is asked as there and a
   stop returns LLAMADA_PAR_INTERRUMPIDA with the folder as it was. A job not fed every byte of
   every piece, a broken one, or pieces on disk missing or of other sizes fail with a line and 1.
   The callbacks run on the calling thread, during the call only. The job is released in every
   case: flujo must not be used again. */
typedef int32_t (*ParFlujoTerminarFuncion)(ParFlujo* flujo, ProgresoParContextoFuncion progreso,
                                           void* contexto, DetenerParFuncion detener);

/* void par_flujo_abandonar(ParFlujo* flujo)

   Releases a job without writing anything; null does nothing. */
typedef void (*ParFlujoAbandonarFuncion)(ParFlujo* flujo);

#ifdef __cplusplus
}
#endif

#endif
