#include "SumaCrc.h"

#include "Ceros.h"
#include "Procesador.h"

#include <isa-l/crc.h>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace quimbel::par {
namespace {

// ISA-L leaves the upper halves of the wide vector registers dirty; the SSE code of
// GF-Complete that runs next on the thread then goes about three times slower. Clearing
// them after each sum avoids it.
#if defined(__x86_64__)
__attribute__((target("avx"))) void LimpiarRegistrosAnchos() {
    _mm256_zeroupper();
}
#endif

} // namespace

uint32_t SumarCrc(uint32_t crc, const void* datos, size_t n) {
    if (n == 0) return crc;
    crc = crc32_gzip_refl(crc, static_cast<const unsigned char*>(datos), n);
#if defined(__x86_64__)
    if (ExtensionesDelProcesador().avx) LimpiarRegistrosAnchos();
#endif
    return crc;
}

uint32_t SumarCerosCrc(uint32_t crc, uint64_t n) {
    while (n > 0) {
        const size_t parte = n < TamanoCeros ? static_cast<size_t>(n) : TamanoCeros;
        crc = SumarCrc(crc, Ceros(), parte);
        n -= parte;
    }
    return crc;
}

} // namespace quimbel::par
