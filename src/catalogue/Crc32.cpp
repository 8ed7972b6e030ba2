#include "Crc32.h"

#include <zlib.h>

namespace brimble {

std::uint32_t Crc32Update(std::uint32_t state, std::span<const std::uint8_t> bytes) {
    // zlib takes and gives the complemented value; crc32_z takes lengths beyond 32 bits.
    const uLong crc = crc32_z(Crc32Finish(state), bytes.data(), bytes.size());
    return Crc32Finish(static_cast<std::uint32_t>(crc));
}

} // namespace brimble
