// SPDX-License-Identifier: GPL-3.0-or-later
/* Stand-ins for libcrc32.so in the tests. Built as is, its crc32 records every call
   ("null:" for a null buffer, then the length) and returns the running value plus the
   length, so a test sees the exact sequence of calls. Built with SIN_CRC32 it loads
   but lacks the export. */
#include <stdint.h>
#include <stdio.h>
#include <string.h>

static char llamadas[4096];

const char* crc32_prueba_llamadas(void) {
    return llamadas;
}
void crc32_prueba_borrar(void) {
    llamadas[0] = '\0';
}

#ifndef SIN_CRC32
uint32_t crc32(uint32_t valor, const unsigned char* buffer, uint32_t longitud) {
    const size_t usado = strlen(llamadas);
    if (usado + 32 < sizeof llamadas)
        snprintf(llamadas + usado, sizeof llamadas - usado, "%s%s%u", usado ? " " : "",
                 buffer == NULL ? "null:" : "", longitud);
    return valor + longitud;
}
#endif
