#include "builder/RomHeader.h"

#include <gtest/gtest.h>
#include <string>

namespace brimble {
namespace {

std::uint32_t ReadLe32(const std::array<std::uint8_t, kRomHeaderSize>& bytes, std::size_t offset) {
    return static_cast<std::uint32_t>(bytes[offset]) | static_cast<std::uint32_t>(bytes[offset + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[offset + 2]) << 16 | static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

TEST(BuilderHeaderTest, SerializesTitleAndLittleEndianFields) {
    RomHeader header;
    header.title = "Abc";
    header.romLength = 0x01020304;
    header.flags = 0x25;
    header.follow = -2;
    const auto bytes = header.Serialize();

    EXPECT_EQ(bytes[0], 'A');
    EXPECT_EQ(bytes[1], 'b');
    EXPECT_EQ(bytes[2], 'c');
    for (std::size_t i = 3; i < 32; ++i)
        EXPECT_EQ(bytes[i], 0) << "title byte " << i;
    EXPECT_EQ(bytes[32], 0x04);
    EXPECT_EQ(bytes[35], 0x01);
    EXPECT_EQ(ReadLe32(bytes, 32), 0x01020304u);
    EXPECT_EQ(ReadLe32(bytes, 36), 0x25u);
    EXPECT_EQ(ReadLe32(bytes, 40), 0xFFFFFFFEu);
    EXPECT_EQ(ReadLe32(bytes, 44), 0u);
}

TEST(BuilderHeaderTest, TitleFieldKeepsItsTerminator) {
    RomHeader header;
    header.title = std::string(40, 'x');
    const auto bytes = header.Serialize();
    for (std::size_t i = 0; i < 31; ++i)
        EXPECT_EQ(bytes[i], 'x');
    EXPECT_EQ(bytes[31], 0);
    EXPECT_EQ(ReadLe32(bytes, 32), 0u);
}

struct TitleCase {
    const char* name;
    std::string title;
    std::uint32_t size;
    std::size_t position;
    bool autonumber;
    bool flag190k;
    std::string expected;
};

class FormatHeaderTitleTest : public ::testing::TestWithParam<TitleCase> {};

TEST_P(FormatHeaderTitleTest, FollowsTheTitleRule) {
    const TitleCase& c = GetParam();
    RomEntry entry;
    entry.title = c.title;
    entry.size = c.size;
    EXPECT_EQ(FormatHeaderTitle(entry, c.position, c.autonumber, c.flag190k), c.expected);
}

const std::string k31 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcde";
const std::string k30 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcd";

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatHeaderTitleTest,
    ::testing::Values(TitleCase{"BoundIsMarked", "Game", 195584, 0, false, true, "Game*"},
                      TitleCase{"AboveBoundNotMarked", "Game", 195588, 0, false, true, "Game"},
                      TitleCase{"SwitchOffNeverMarks", "Game", 64, 0, false, false, "Game"},
                      TitleCase{"NumberedMarked", "Game", 195584, 2, true, true, "3* Game"},
                      TitleCase{"NumberedUnmarked", "Game", 195588, 2, true, true, "3. Game"},
                      TitleCase{"NumberedSwitchOff", "Game", 64, 0, true, false, "1. Game"},
                      TitleCase{"TwoDigitNumber", "Game", 64, 9, true, false, "10. Game"},
                      TitleCase{"NumberedCutTo31", k31, 64, 0, true, false, "1. " + k31.substr(0, 28)},
                      TitleCase{"Unnumbered31LosesMarker", k31, 64, 0, false, true, k31},
                      TitleCase{"Unnumbered30KeepsMarker", k30, 64, 0, false, true, k30 + "*"},
                      TitleCase{"EmptyTitleNumbered", "", 64, 4, true, true, "5* "},
                      // The comparison is signed: a size of 2 GiB or more reads as negative.
                      TitleCase{"SignedComparison", "Big", 0x80000000u, 0, false, true, "Big*"},
                      TitleCase{"TitleEndsAtNul", std::string("Ab\0cd", 5), 64, 0, false, true, "Ab*"}),
    [](const ::testing::TestParamInfo<TitleCase>& param) { return std::string(param.param.name); });

} // namespace
} // namespace brimble
