#ifndef QUIMBEL_CRC32_CONTRATO_H
#define QUIMBEL_CRC32_CONTRATO_H
/* The fixed contract of the CRC-32 library (libcrc32.so), export "crc32":
   crc32(0, NULL, 0) is the starting value 0; crc32(v, buffer, n) is v with the n bytes
   folded in (n = 0 leaves v unchanged); the value after a file's last byte is its
   standard reflected CRC-32 (zlib, PNG, SFV), with no further step. */
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef uint32_t (*Crc32Funcion)(uint32_t valor, const unsigned char* buffer, uint32_t longitud);

#ifdef __cplusplus
}
#endif

#endif
