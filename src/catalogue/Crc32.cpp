#include "Crc32.h"

#include <array>

namespace brimble {
namespace {

constexpr std::uint32_t kPolynomial = 0xEDB88320u;
constexpr std::size_t kSlices = 16;

using Table = std::array<std::uint32_t, 256>;

// tables[0] is the plain byte table; tables[k][b] is the CRC of byte b followed by k zero
// bytes, so that the bytes of a 16-byte block can be looked up independently and combined.
constexpr std::array<Table, kSlices> MakeTables() {
    std::array<Table, kSlices> tables{};
    for (std::uint32_t byte = 0; byte < 256; ++byte) {
        std::uint32_t crc = byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1u) != 0 ? (crc >> 1) ^ kPolynomial : crc >> 1;
        tables[0][byte] = crc;
    }
    for (std::size_t slice = 1; slice < kSlices; ++slice) {
        for (std::size_t byte = 0; byte < 256; ++byte) {
            const std::uint32_t previous = tables[slice - 1][byte];
            tables[slice][byte] = (previous >> 8) ^ tables[0][previous & 0xFFu];
        }
    }
    return tables;
}

constexpr std::array<Table, kSlices> kTables = MakeTables();

static_assert(kTables[0][1] == 0x77073096u, "CRC-32 byte table");
static_assert(kTables[0][255] == 0x2D02EF8Du, "CRC-32 byte table");

// Little-endian load assembled from bytes: no alignment or byte-order assumptions, and
// compilers turn it into one load where the machine allows.
inline std::uint32_t Load32(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

inline std::uint32_t Lookup(std::size_t slice, std::uint32_t word, int shift) {
    return kTables[slice][(word >> shift) & 0xFFu];
}

std::uint32_t UpdateBytes(std::uint32_t state, const std::uint8_t* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        state = kTables[0][(state ^ bytes[i]) & 0xFFu] ^ (state >> 8);
    return state;
}

} // namespace

std::uint32_t Crc32Update(std::uint32_t state, std::span<const std::uint8_t> bytes) {
    const std::uint8_t* data = bytes.data();
    std::size_t remaining = bytes.size();
    while (remaining >= kSlices) {
        const std::uint32_t w0 = Load32(data) ^ state;
        const std::uint32_t w1 = Load32(data + 4);
        const std::uint32_t w2 = Load32(data + 8);
        const std::uint32_t w3 = Load32(data + 12);
        state = Lookup(15, w0, 0) ^ Lookup(14, w0, 8) ^ Lookup(13, w0, 16) ^ Lookup(12, w0, 24) ^ Lookup(11, w1, 0) ^
                Lookup(10, w1, 8) ^ Lookup(9, w1, 16) ^ Lookup(8, w1, 24) ^ Lookup(7, w2, 0) ^ Lookup(6, w2, 8) ^
                Lookup(5, w2, 16) ^ Lookup(4, w2, 24) ^ Lookup(3, w3, 0) ^ Lookup(2, w3, 8) ^ Lookup(1, w3, 16) ^
                Lookup(0, w3, 24);
        data += kSlices;
        remaining -= kSlices;
    }
    return UpdateBytes(state, data, remaining);
}

std::uint32_t Crc32UpdateReference(std::uint32_t state, std::span<const std::uint8_t> bytes) {
    return UpdateBytes(state, bytes.data(), bytes.size());
}

} // namespace brimble
