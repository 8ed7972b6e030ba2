#include "window/PanelRules.h"

#include "builder/CompilationWriter.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace brimble {
namespace {

TEST(PanelRules, EditBoxesFlagsAndTotals) {
    // The follow box reads decimal digits up to another character, keeps the value without one, takes 32 bits.
    const std::tuple<const char*, std::int32_t, std::int32_t> reads[] = {
        {"", 7, 7},    {"a1", 7, 7}, {"0012", 7, 12}, {"08", 7, 8},
        {"-1", 0, -1}, {"-", 5, 5},  {"12ab", 0, 12}, {"4294967295", 0, -1}};
    for (const auto& [text, current, expected] : reads)
        EXPECT_EQ(ReadFollowBox(text, current), expected) << text;
    // It takes up to four typed digits and any deletion.
    const std::tuple<const char*, const char*, bool> edits[] = {
        {"123", "1234", true}, {"1234", "12345", false},  {"12", "12a", false},         {"", "-", false},
        {"-1", "-12", true},   {"123456", "12345", true}, {"123456", "1234567", false}, {"1", "", true}};
    for (const auto& [before, after, accepted] : edits)
        EXPECT_EQ(AcceptFollowEdit(before, after), accepted) << before << " -> " << after;
    // The title box refuses the field separator and line ends.
    const std::pair<char32_t, bool> characters[] = {{U'\u00AC', true}, {U'\r', true},      {U'\n', true},
                                                    {U'a', false},     {U'\u00E9', false}, {U'\t', false}};
    for (const auto& [character, refused] : characters)
        EXPECT_EQ(IsRefusedTitleCharacter(character), refused) << std::uint32_t(character);
    // A commit rebuilds the flags from the four controls alone.
    EXPECT_EQ(ShowFlags(0x0F), (OptionControls{true, true, true, false}));
    EXPECT_EQ(CommitFlags(ShowFlags(0xFFFFFFFF)), 0x27u);
    for (RomOptionFlags bit : {0u, kPpuSpeedHack, kNoCpuSpeedHack, kPalTiming, kFollowMemory})
        EXPECT_EQ(CommitFlags(ShowFlags(bit)), bit);
    RomEntry entry;
    entry.flags = 0x0F, entry.follow = -1;
    CommitDetails(entry, ShowFlags(0x0F), ""); // an empty follow box keeps the value
    EXPECT_TRUE(entry.flags == 0x07u && entry.follow == -1);
    EXPECT_EQ(FormatKib(1023) + FormatKib(5ull << 30), "0k5242880k");
    EXPECT_EQ(FormatMib(35651584), "34.0");
    EXPECT_TRUE(!ExceedsCartridge(kMaxCartridgeSize) && ExceedsCartridge(kMaxCartridgeSize + 1));
    test::TempDir dir;
    test::WriteFile(dir / "emu.gba", test::PatternBytes(1001, 3));
    EXPECT_EQ(EmulatorImageSize(dir / "emu.gba"), 1004u); // padded to a multiple of four
    EXPECT_EQ(PlannedImageSize(1000, true, dir / "missing.gba"), 77800u);
    for (const std::filesystem::path& none : {dir / "missing.gba", dir.Path(), std::filesystem::path()})
        EXPECT_FALSE(EmulatorImageSize(none).has_value()) << none;
}

} // namespace
} // namespace brimble
