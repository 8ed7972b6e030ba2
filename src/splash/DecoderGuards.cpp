#include "DecoderGuards.h"

#include <cstddef>

namespace brimble {

namespace {

// Bytes past the end read as zero, as the decoder reads them.
struct Bytes {
    std::span<const std::uint8_t> file;

    unsigned At(std::size_t offset) const { return offset < file.size() ? file[offset] : 0u; }
    unsigned Le16(std::size_t offset) const { return At(offset) | (At(offset + 1) << 8); }
    unsigned Be16(std::size_t offset) const { return (At(offset) << 8) | At(offset + 1); }
    std::uint32_t Le32(std::size_t offset) const {
        return static_cast<std::uint32_t>(Le16(offset)) | (static_cast<std::uint32_t>(Le16(offset + 2)) << 16);
    }
};

} // namespace

// The JPEG decoder trusts the code counts of a Huffman table: a table that claims more than
// 256 codes makes it write past the end of its tables. This walks the file as the decoder
// does, finding every marker it could act on, and tells whether any Huffman table would do
// that. Where the decoder would give up anyway, the walk may stop or go on; it never misses a
// table the decoder reads.
bool JpegHuffmanTablesFit(std::span<const std::uint8_t> file) {
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

    bool entropy = false;
    for (;;) {
        const int marker = nextMarker(entropy);
        entropy = false;
        if (marker < 0 || marker == 0xD9)
            return true; // the end: nothing more is read
        if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x00)
            continue; // no segment follows
        const std::size_t length = bytes.Be16(at);
        if (marker == 0xC4) {
            // As the decoder reads them: tables follow one another while the length lasts.
            std::size_t table = at + 2;
            long long left = static_cast<long long>(length) - 2;
            while (left > 0) {
                unsigned codes = 0;
                for (std::size_t i = 0; i < 16; ++i)
                    codes += bytes.At(table + 1 + i);
                if (codes > 256)
                    return false;
                table += 17 + codes;
                left -= 17 + static_cast<long long>(codes);
            }
        }
        if (length < 2)
            return true; // refused by the decoder
        at += length;
        entropy = marker == 0xDA; // the scan's coded data follows its header
    }
}

// The decoder's own reading of the header: the palette size comes from the offset of the
// pixels, and only the indices of real pixels are read (not the padding of a row).
bool BmpPaletteCoversPixels(std::span<const std::uint8_t> file) {
    const Bytes bytes{file};
    if (bytes.At(0) != 'B' || bytes.At(1) != 'M')
        return true;
    const auto offset = static_cast<std::int32_t>(bytes.Le32(10));
    const auto headerSize = static_cast<std::int32_t>(bytes.Le32(14));
    if (offset < 0)
        return true; // refused by the decoder
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
        const std::uint32_t compression = bytes.Le32(30);
        if (compression != 0)
            return true; // refused, or bit fields, which have no palette
        paletteSize = (offset - 14 - headerSize) >> 2;
    } else {
        return true; // refused by the decoder
    }
    if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8)
        return true; // no palette, or refused
    if (paletteSize < 0)
        return false;
    if (paletteSize == 0 || paletteSize > 256)
        return true; // refused by the decoder
    if (paletteSize >= (1 << bitsPerPixel))
        return true; // every index has its colour
    if (width > 65535 || height > 65535)
        return true; // left to the size checks

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
                return false;
        }
    }
    return true;
}

} // namespace brimble
