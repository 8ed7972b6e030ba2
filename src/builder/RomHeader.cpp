#include "RomHeader.h"

#include <algorithm>
#include <string_view>

namespace brimble {

namespace {

constexpr std::size_t kTitleFieldSize = 32;

void PutLittleEndian(std::array<std::uint8_t, kRomHeaderSize>& bytes, std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

} // namespace

std::array<std::uint8_t, kRomHeaderSize> RomHeader::Serialize() const {
    std::array<std::uint8_t, kRomHeaderSize> bytes{};
    // The title field always keeps its NUL: at most 31 bytes of text, the rest zeros.
    const std::size_t length = std::min(title.size(), kMaxTitleLength);
    std::copy_n(title.begin(), length, bytes.begin());
    PutLittleEndian(bytes, kTitleFieldSize, romLength);
    PutLittleEndian(bytes, kTitleFieldSize + 4, flags);
    PutLittleEndian(bytes, kTitleFieldSize + 8, static_cast<std::uint32_t>(follow));
    PutLittleEndian(bytes, kTitleFieldSize + 12, reserved);
    return bytes;
}

std::string FormatHeaderTitle(const RomEntry& entry, std::size_t position, bool autonumber, bool flag190k) {
    // The size is compared as a signed 32-bit number, so sizes of 2 GiB and more count as small.
    const bool marked = flag190k && static_cast<std::int32_t>(entry.size) <= static_cast<std::int32_t>(kSmallRomLimit);

    // The title is text up to its first NUL, as it is in the header field.
    std::string_view title(entry.title);
    title = title.substr(0, title.find('\0'));

    std::string result;
    if (autonumber) {
        result = std::to_string(position + 1);
        result += marked ? '*' : '.';
        result += ' ';
        result += title;
    } else {
        result = title;
        if (marked)
            result += '*';
    }
    // The cut comes last: a long title loses its tail, an unnumbered 31-byte title its marker.
    if (result.size() > kMaxTitleLength)
        result.resize(kMaxTitleLength);
    return result;
}

} // namespace brimble
