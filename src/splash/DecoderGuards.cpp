#include "DecoderGuards.h"

#include "catalogue/Crc32.h"

#include <array>
#include <cstddef>
#include <vector>

namespace brimble {

namespace {

// Bytes past the end read as zero, as the decoder reads them.
struct Bytes {
    std::span<const std::uint8_t> file;

    unsigned At(std::size_t offset) const { return offset < file.size() ? file[offset] : 0u; }
    unsigned Le16(std::size_t offset) const { return At(offset) | (At(offset + 1) << 8); }
    unsigned Be16(std::size_t offset) const { return (At(offset) << 8) | At(offset + 1); }
    std::uint32_t Be32(std::size_t offset) const {
        return (static_cast<std::uint32_t>(Be16(offset)) << 16) | static_cast<std::uint32_t>(Be16(offset + 2));
    }
    std::uint32_t Le32(std::size_t offset) const {
        return static_cast<std::uint32_t>(Le16(offset)) | (static_cast<std::uint32_t>(Le16(offset + 2)) << 16);
    }
};

} // namespace

std::string_view PngDamage(std::span<const std::uint8_t> file) {
    const Bytes bytes{file};
    constexpr std::size_t kSignature = 8;
    constexpr std::size_t kChunkFrame = 12; // length, type, then the checksum after the data
    if (file.size() < kSignature + kChunkFrame + 13)
        return "cut short";
    if (bytes.Be32(12) != 0x49484452 || bytes.Be32(8) != 13) // IHDR, 13 bytes
        return "damaged (it does not begin with its header)";
    for (std::size_t at = kSignature;;) {
        if (file.size() - at < kChunkFrame)
            return "cut short";
        const std::uint32_t length = bytes.Be32(at);
        if (length > file.size() - at - kChunkFrame)
            return "cut short";
        const auto typeAndData = file.subspan(at + 4, 4 + static_cast<std::size_t>(length));
        if (Crc32(typeAndData) != bytes.Be32(at + 8 + length))
            return "damaged (a chunk whose checksum does not match its bytes)";
        if (bytes.Be32(at + 4) == 0x49454E44) // IEND
            return {};
        at += kChunkFrame + length;
    }
}

PictureSize PngSize(std::span<const std::uint8_t> file) {
    const Bytes bytes{file};
    return {bytes.Be32(16), bytes.Be32(20)};
}

// The PNG decoder sets aside room for a chunk, and for the whole picture, before it finds the
// data missing. A chunk that runs past the end is the file cut short; a picture larger than its
// compressed data could ever expand to (deflate gives at most 1,032 bytes for each byte) is
// damage.
std::string_view PngFault(std::span<const std::uint8_t> file) {
    const Bytes bytes{file};
    if (file.size() < 33 || bytes.Be32(12) != 0x49484452) // IHDR
        return {};                                        // refused by the decoder
    const std::uint64_t width = bytes.Be32(16);
    const std::uint64_t height = bytes.Be32(20);
    const unsigned depth = bytes.At(24);
    const unsigned colourType = bytes.At(25);
    unsigned channels = 0;
    switch (colourType) {
    case 0:
    case 3:
        channels = 1;
        break;
    case 2:
        channels = 3;
        break;
    case 4:
        channels = 2;
        break;
    case 6:
        channels = 4;
        break;
    default:
        return {}; // refused by the decoder
    }

    std::uint64_t compressed = 0;
    std::size_t at = 8;
    for (;;) {
        if (file.size() - at < 8)
            return "cut short";
        const std::uint32_t length = bytes.Be32(at);
        const std::uint32_t type = bytes.Be32(at + 4);
        if (type == 0x49454E44) // IEND, the last chunk read
            break;
        if (length > file.size() - at - 8 || file.size() - at - 8 - length < 4)
            return "cut short";
        if (type == 0x49444154) // IDAT
            compressed += length;
        at += 12 + length;
    }
    const std::uint64_t rowBytes = 1 + (width * depth * channels + 7) / 8;
    if (height * rowBytes > compressed * 1032)
        return "damaged (more pixels than its compressed data can hold)";
    return {};
}

// The JPEG decoder trusts the file's tables: a Huffman table that claims more than 256 codes
// makes it write past the end of its tables, and a scan that uses a table never defined makes
// it decode with whatever its memory held. This walks the file as the decoder does, finding
// every marker it could act on. Where the decoder gives up, the walk stops; it never misses a
// segment that the decoder reads.
std::string_view JpegFault(std::span<const std::uint8_t> file) {
    const Bytes bytes{file};
    std::size_t at = 0;

    // The next marker at or after `at`: 0xFF, any number of 0xFF fill bytes, then the code.
    // In entropy-coded data, 0xFF 0x00 is a data byte and the restart markers lie within it.
    auto nextMarker = [&](bool entropy) -> int {
        while (at < file.size()) {
            if (file[at] != 0xFF) {
                ++at;
                continue;
            }
            std::size_t code = at + 1;
            while (code < file.size() && file[code] == 0xFF)
                ++code;
            if (code >= file.size())
                return -1;
            const unsigned value = file[code];
            at = code + 1;
            if (entropy && (value == 0x00 || (value >= 0xD0 && value <= 0xD7)))
                continue;
            return static_cast<int>(value);
        }
        return -1;
    };

    struct Component {
        unsigned id = 0;
        unsigned quantTable = 0;
        bool filled = false; // a scan has given every block of it a value
    };
    std::vector<Component> components; // from the frame header, once it is read
    bool progressive = false;
    std::array<bool, 4> quantDefined{};
    std::array<std::array<bool, 4>, 2> huffmanDefined{}; // [DC, AC][table]

    bool entropy = false;
    for (;;) {
        const int marker = nextMarker(entropy);
        entropy = false;
        if (marker < 0 || marker == 0xD9) {
            // The end: nothing more is read. A component that no scan filled would be shown
            // from memory the decoder never wrote.
            for (const Component& component : components) {
                if (!component.filled)
                    return "damaged (a part of the picture that no scan holds)";
            }
            return {};
        }
        if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x00)
            continue; // no segment follows
        const std::size_t length = bytes.Be16(at);
        const std::size_t segment = at + 2;
        if (marker == 0xC4) {
            // Tables follow one another while the length lasts.
            std::size_t table = segment;
            long long left = static_cast<long long>(length) - 2;
            while (left > 0) {
                const unsigned kind = bytes.At(table) >> 4;
                const unsigned slot = bytes.At(table) & 15;
                if (kind > 1 || slot > 3)
                    return {}; // refused by the decoder
                unsigned codes = 0;
                for (std::size_t i = 0; i < 16; ++i)
                    codes += bytes.At(table + 1 + i);
                if (codes > 256)
                    return "damaged (a Huffman table of more than 256 codes)";
                huffmanDefined[kind][slot] = true;
                table += 17 + codes;
                left -= 17 + static_cast<long long>(codes);
            }
            if (left != 0)
                return {}; // refused by the decoder
        } else if (marker == 0xDB) {
            std::size_t table = segment;
            long long left = static_cast<long long>(length) - 2;
            while (left > 0) {
                const unsigned precision = bytes.At(table) >> 4;
                const unsigned slot = bytes.At(table) & 15;
                if (precision > 1 || slot > 3)
                    return {}; // refused by the decoder
                quantDefined[slot] = true;
                const long long size = precision ? 129 : 65;
                table += static_cast<std::size_t>(size);
                left -= size;
            }
            if (left != 0)
                return {}; // refused by the decoder
        } else if (marker >= 0xC0 && marker <= 0xC2) {
            if (!components.empty())
                return {}; // a second frame: refused by the decoder
            progressive = marker == 0xC2;
            const unsigned count = bytes.At(segment + 5);
            if (count != 1 && count != 3 && count != 4)
                return {}; // refused by the decoder
            for (unsigned i = 0; i < count; ++i)
                components.push_back({bytes.At(segment + 6 + i * 3), bytes.At(segment + 8 + i * 3), false});
        } else if (marker == 0xDA) {
            if (components.empty())
                return {}; // a scan before the frame: refused by the decoder
            const unsigned count = bytes.At(segment);
            const std::size_t tail = segment + 1 + count * 2;
            const unsigned spectralStart = bytes.At(tail);
            const unsigned approximationHigh = bytes.At(tail + 2) >> 4;
            const bool usesDc = !progressive || (spectralStart == 0 && approximationHigh == 0);
            const bool usesAc = !progressive || spectralStart > 0;
            for (unsigned i = 0; i < count; ++i) {
                const unsigned id = bytes.At(segment + 1 + i * 2);
                const unsigned tables = bytes.At(segment + 2 + i * 2);
                Component* component = nullptr;
                for (Component& candidate : components) {
                    if (candidate.id == id) {
                        component = &candidate;
                        break;
                    }
                }
                if (!component || (tables >> 4) > 3 || (tables & 15) > 3 || component->quantTable > 3)
                    return {}; // refused by the decoder
                if (!quantDefined[component->quantTable] || (usesDc && !huffmanDefined[0][tables >> 4]) ||
                    (usesAc && !huffmanDefined[1][tables & 15]))
                    return "damaged (a scan that uses a table the file never defines)";
                // A progressive file's first scan of the DC values clears each block whole.
                if (usesDc)
                    component->filled = true;
            }
        }
        if (length < 2)
            return {}; // refused by the decoder
        at += length;
        entropy = marker == 0xDA; // the scan's coded data follows its header
    }
}

// The decoder's own reading of the header: the palette size comes from the offset of the
// pixels, and only the indices of real pixels are read (not the padding of a row).
std::string_view BmpFault(std::span<const std::uint8_t> file) {
    constexpr std::string_view kBeyondPalette = "damaged (a pixel whose colour lies beyond the palette)";
    const Bytes bytes{file};
    if (bytes.At(0) != 'B' || bytes.At(1) != 'M')
        return {};
    const auto offset = static_cast<std::int32_t>(bytes.Le32(10));
    const auto headerSize = static_cast<std::int32_t>(bytes.Le32(14));
    if (offset < 0)
        return {}; // refused by the decoder
    std::int64_t width = 0;
    std::int64_t height = 0;
    unsigned bitsPerPixel = 0;
    std::int32_t paletteSize = 0;
    if (headerSize == 12) {
        width = bytes.Le16(18);
        height = bytes.Le16(20);
        bitsPerPixel = bytes.Le16(24);
        paletteSize = (offset - 14 - 24) / 3;
    } else if (headerSize == 40 || headerSize == 56 || headerSize == 108 || headerSize == 124) {
        width = bytes.Le32(18);
        height = static_cast<std::int32_t>(bytes.Le32(22));
        height = height < 0 ? -height : height;
        bitsPerPixel = bytes.Le16(28);
        // The decoder takes the field as signed and only refuses the values 1 and up.
        const auto compression = static_cast<std::int32_t>(bytes.Le32(30));
        if (compression > 0)
            return {}; // refused, or bit fields, which have no palette
        paletteSize = (offset - 14 - headerSize) >> 2;
    } else {
        return {}; // refused by the decoder
    }
    if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8)
        return {}; // no palette, or refused
    if (paletteSize < 0)
        return kBeyondPalette;
    if (paletteSize == 0 || paletteSize > 256)
        return {}; // refused by the decoder
    if (paletteSize >= (1 << bitsPerPixel))
        return {}; // every index has its colour
    if (width > 65535 || height > 65535)
        return {}; // left to the size checks

    const std::int64_t rowBytes = (width * bitsPerPixel + 7) / 8;
    const std::int64_t stride = (rowBytes + 3) & ~std::int64_t{3};
    const unsigned mask = (1u << bitsPerPixel) - 1;
    for (std::int64_t y = 0; y < height; ++y) {
        const std::size_t row = static_cast<std::size_t>(offset + y * stride);
        if (row >= file.size())
            break; // the rest reads as index 0
        for (std::int64_t x = 0; x < width; ++x) {
            const std::int64_t bit = x * bitsPerPixel;
            const unsigned shift = 8 - bitsPerPixel - static_cast<unsigned>(bit % 8);
            const unsigned index = (bytes.At(row + static_cast<std::size_t>(bit / 8)) >> shift) & mask;
            if (index >= static_cast<unsigned>(paletteSize))
                return kBeyondPalette;
        }
    }
    return {};
}

} // namespace brimble
