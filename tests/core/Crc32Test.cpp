#include "catalogue/Crc32.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace brimble {
namespace {

std::span<const std::uint8_t> BytesOf(const std::string& text) {
    return std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

TEST(Crc32, KnownValuesByBothMethods) {
    const struct {
        std::string text;
        std::uint32_t crc;
    } cases[] = {
        {"", 0x00000000u},
        {"a", 0xE8B7BE43u},
        {"123456789", 0xCBF43926u},
        {"The quick brown fox jumps over the lazy dog", 0x414FA339u},
        {"abcdefghijklmnopqrstuvwxyz", 0x4C2750BDu}, // longer than one 16-byte step, with a tail
        // Runs of equal bytes, where a table slip shows at once.
        {std::string(32, '\0'), 0x190A55ADu},
        {std::string(32, '\xFF'), 0xFF6CAB0Bu},
    };
    for (const auto& [text, crc] : cases) {
        EXPECT_EQ(Crc32(BytesOf(text)), crc) << text;
        EXPECT_EQ(Crc32Finish(Crc32UpdateReference(kCrc32Initial, BytesOf(text))), crc) << text;
    }
}

TEST(Crc32, FastMethodAgreesWithTheReferenceOnAnyLengthAlignmentStateAndSplit) {
    std::mt19937 random(20240611u);
    std::vector<std::uint8_t> buffer(8192 + 64);
    for (auto& byte : buffer)
        byte = static_cast<std::uint8_t>(random());
    const std::span<const std::uint8_t> all(buffer);

    std::uniform_int_distribution<std::uint32_t> anyState;
    for (std::size_t length = 0; length <= 5000; length += (length < 300 ? 1 : 37)) {
        for (std::size_t start = 0; start < 16; start += (length < 300 ? 5 : 1)) {
            const auto bytes = all.subspan(start, length);
            const std::uint32_t state = anyState(random);
            ASSERT_EQ(Crc32Update(state, bytes), Crc32UpdateReference(state, bytes))
                << "length " << length << " start " << start;
        }
    }
    const auto whole = all.first(3000);
    for (std::size_t cut = 0; cut <= whole.size(); cut += 97) {
        const std::uint32_t state = Crc32Update(Crc32Update(kCrc32Initial, whole.first(cut)), whole.subspan(cut));
        EXPECT_EQ(Crc32Finish(state), Crc32(whole)) << "cut " << cut;
    }
}

} // namespace
} // namespace brimble
