#include "builder/RomHeader.h"

#include <gtest/gtest.h>
#include <string>

namespace brimble {
namespace {

std::uint32_t Le32(const std::array<std::uint8_t, kRomHeaderSize>& bytes, std::size_t offset) {
    return static_cast<std::uint32_t>(bytes[offset]) | static_cast<std::uint32_t>(bytes[offset + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[offset + 2]) << 16 | static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

TEST(BuilderHeader, TitleThenLittleEndianFieldsAndALongTitleKeepsItsNul) {
    RomHeader header;
    header.title = "Abc";
    header.romLength = 0x01020304;
    header.flags = 0x25;
    header.follow = -2;
    auto bytes = header.Serialize();
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 32), std::string("Abc") + std::string(29, '\0'));
    EXPECT_EQ(bytes[32], 0x04);
    EXPECT_EQ(Le32(bytes, 32), 0x01020304u);
    EXPECT_EQ(Le32(bytes, 36), 0x25u);
    EXPECT_EQ(Le32(bytes, 40), 0xFFFFFFFEu);
    EXPECT_EQ(Le32(bytes, 44), 0u);

    header.title = std::string(40, 'x');
    bytes = header.Serialize();
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 32), std::string(31, 'x') + '\0');
}

TEST(BuilderHeader, FormatHeaderTitleNumbersMarksAndCutsTo31) {
    const std::string k31 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcde";
    const std::string k30 = k31.substr(0, 30);
    const struct {
        std::string title;
        std::uint32_t size;
        std::size_t position;
        bool autonumber;
        bool flag190k;
        std::string expected;
    } cases[] = {
        {"Game", 195584, 0, false, true, "Game*"}, // the bound itself is marked
        {"Game", 195588, 0, false, true, "Game"},
        {"Game", 64, 0, false, false, "Game"}, // switch off: never marked
        {"Game", 195584, 2, true, true, "3* Game"},
        {"Game", 195588, 2, true, true, "3. Game"},
        {"Game", 64, 0, true, false, "1. Game"},
        {"Game", 64, 9, true, false, "10. Game"},
        {k31, 64, 0, true, false, "1. " + k31.substr(0, 28)},
        {k31, 64, 0, false, true, k31}, // the cut comes after the marker
        {k30, 64, 0, false, true, k30 + "*"},
        {"", 64, 4, true, true, "5* "},
        {"Big", 0x80000000u, 0, false, true, "Big*"}, // signed: 2 GiB or more reads as negative
        {std::string("Ab\0cd", 5), 64, 0, false, true, "Ab*"},
    };
    for (const auto& c : cases) {
        RomEntry entry;
        entry.title = c.title;
        entry.size = c.size;
        EXPECT_EQ(FormatHeaderTitle(entry, c.position, c.autonumber, c.flag190k), c.expected) << c.title;
    }
}

} // namespace
} // namespace brimble
