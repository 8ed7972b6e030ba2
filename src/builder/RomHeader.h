#pragma once

#include "catalogue/RomEntry.h"

#include <array>
#include <cstdint>
#include <string>

namespace brimble {

// The 48 bytes written before each ROM in the image; integers are little-endian.
struct RomHeader {
    std::string title;           // at most kMaxTitleLength bytes; written NUL-ended in 32 bytes
    std::uint32_t romLength = 0; // the padded size of the ROM file that follows
    RomOptionFlags flags = 0;
    std::int32_t follow = 0;
    std::uint32_t reserved = 0;

    std::array<std::uint8_t, kRomHeaderSize> Serialize() const;
};

// Entries whose size (header included) is at most this are marked by "flag <190k".
inline constexpr std::uint32_t kSmallRomLimit = 195584; // 191 * 1024

// The header title: "%i%c %s" of the 1-based position, the marker ('*' marked, '.' not) and
// the title with autonumber on; "%s%c" of the title and '*' (marked) or nothing with it
// off; then cut to 31 bytes.
std::string FormatHeaderTitle(const RomEntry& entry, std::size_t position, bool autonumber, bool flag190k);

} // namespace brimble
