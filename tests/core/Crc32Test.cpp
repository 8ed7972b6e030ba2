#include "catalogue/Crc32.h"

#include <gtest/gtest.h>
#include <random>
#include <string_view>
#include <vector>

namespace brimble {
namespace {

std::span<const std::uint8_t> BytesOf(std::string_view text) {
    return std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

TEST(Crc32, KnownValues) {
    const struct {
        std::string_view text;
        std::uint32_t crc;
    } cases[] = {
        {"", 0x00000000u},
        {"a", 0xE8B7BE43u},
        {"abc", 0x352441C2u},
        {"123456789", 0xCBF43926u},
        {"The quick brown fox jumps over the lazy dog", 0x414FA339u},
        // Longer than one 16-byte step, with a tail.
        {"abcdefghijklmnopqrstuvwxyz", 0x4C2750BDu},
    };
    for (const auto& [text, crc] : cases) {
        EXPECT_EQ(Crc32(BytesOf(text)), crc) << text;
        EXPECT_EQ(Crc32Finish(Crc32UpdateReference(kCrc32Initial, BytesOf(text))), crc) << text;
    }
}

TEST(Crc32, ZeroBlocks) {
    // Runs of equal bytes, where a table slip shows at once.
    const std::vector<std::uint8_t> zeros(32, 0x00);
    const std::vector<std::uint8_t> ones(32, 0xFF);
    EXPECT_EQ(Crc32(zeros), 0x190A55ADu);
    EXPECT_EQ(Crc32(ones), 0xFF6CAB0Bu);
}

TEST(Crc32, BothMethodsAgreeOnRandomInputsLengthsAndAlignments) {
    std::mt19937 random(20240611u);
    std::vector<std::uint8_t> buffer(8192 + 64);
    for (auto& byte : buffer)
        byte = static_cast<std::uint8_t>(random());

    std::uniform_int_distribution<std::uint32_t> anyState;
    for (std::size_t length = 0; length <= 5000; length += (length < 300 ? 1 : 37)) {
        for (std::size_t start = 0; start < 16; start += (length < 300 ? 5 : 1)) {
            const auto bytes = std::span<const std::uint8_t>(buffer).subspan(start, length);
            const std::uint32_t state = anyState(random);
            ASSERT_EQ(Crc32Update(state, bytes), Crc32UpdateReference(state, bytes))
                << "length " << length << " start " << start;
        }
    }
}

TEST(Crc32, SplitInputsGiveTheSameValueAsWholeOnes) {
    std::mt19937 random(7u);
    std::vector<std::uint8_t> buffer(3000);
    for (auto& byte : buffer)
        byte = static_cast<std::uint8_t>(random());
    const std::span<const std::uint8_t> whole(buffer);
    const std::uint32_t expected = Crc32(whole);
    for (std::size_t cut = 0; cut <= buffer.size(); cut += 97) {
        std::uint32_t state = Crc32Update(kCrc32Initial, whole.first(cut));
        state = Crc32Update(state, whole.subspan(cut));
        EXPECT_EQ(Crc32Finish(state), expected) << "cut " << cut;
    }
}

} // namespace
} // namespace brimble
