#include "libs/par/Crc.h"

#include "libs/par/Ceros.h"

#include <isa-l/crc.h>

namespace quimbel::par {

uint32_t SumarCrc(uint32_t crc, const void* datos, size_t n) {
    return n == 0 ? crc : crc32_gzip_refl(crc, static_cast<const unsigned char*>(datos), n);
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
