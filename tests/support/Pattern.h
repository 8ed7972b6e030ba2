#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace brimble::test {

// Deterministic made-up bytes (xorshift) for synthetic ROMs and images; the same seed gives
// the same bytes on every system.
inline std::vector<std::uint8_t> PatternBytes(std::size_t count, std::uint32_t seed) {
    std::vector<std::uint8_t> bytes(count);
    std::uint32_t state = seed * 2654435761u + 12345u;
    for (auto& byte : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<std::uint8_t>(state >> 24);
    }
    return bytes;
}

} // namespace brimble::test
