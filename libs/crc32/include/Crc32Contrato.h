/* SPDX-License-Identifier: GPL-3.0-or-later */
#ifndef QUIMBEL_CRC32_CONTRATO_H
#define QUIMBEL_CRC32_CONTRATO_H
/* The fixed contract of the CRC-32 library (libcrc32.so), whose one export is "crc32".

   uint32_t crc32(uint32_t valor, const unsigned char* buffer, uint32_t longitud);

   Takes: the running value (0 to start), and longitud bytes at buffer; crc32(0, NULL, 0) is
   the starting value 0.
   Returns: valor with the bytes folded in; longitud 0, or a null buffer, returns valor
   unchanged. The value after a file's last byte is its standard reflected CRC-32 (zlib, PNG,
   SFV), with no further step.
   Ownership: the bytes stay the caller's; nothing is kept after the call returns.
   Thread safety: no state at all; any number of threads may call it at once, on any buffers.
   Failure: none; it allocates nothing and touches no file. */
#include <stdint.h>

/* The contract's version, which the library's SONAME carries (libcrc32.so.1). */
#define CRC32_CONTRATO_VERSION 1

#ifdef __cplusplus
extern "C" {
#endif

typedef uint32_t (*Crc32Funcion)(uint32_t valor, const unsigned char* buffer, uint32_t longitud);

#ifdef __cplusplus
}
#endif

#endif
