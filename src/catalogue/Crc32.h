#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace brimble {

// The CRC-32 of IEEE 802.3 and zip (reflected polynomial 0xEDB88320, initial value and final
// complement 0xFFFFFFFF), computed by zlib. The state between updates is the uncomplemented
// register, so a CRC can be folded over several blocks.
std::uint32_t Crc32Update(std::uint32_t state, std::span<const std::uint8_t> bytes);

inline constexpr std::uint32_t kCrc32Initial = 0xFFFFFFFFu;
inline std::uint32_t Crc32Finish(std::uint32_t state) {
    return state ^ 0xFFFFFFFFu;
}

inline std::uint32_t Crc32(std::span<const std::uint8_t> bytes) {
    return Crc32Finish(Crc32Update(kCrc32Initial, bytes));
}

} // namespace brimble
