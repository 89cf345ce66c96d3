#pragma once
// CRC-32 as zip and SFV compute it (ISA-L), carried from one call to the next:
// start from 0 and pass each result on.
#include <cstddef>
#include <cstdint>

namespace quimbel::par {

uint32_t SumarCrc(uint32_t crc, const void* datos, size_t n);
// The CRC-32 after n more zero bytes.
uint32_t SumarCerosCrc(uint32_t crc, uint64_t n);

} // namespace quimbel::par
