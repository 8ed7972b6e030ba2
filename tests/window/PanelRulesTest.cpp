#include "window/PanelRules.h"

#include "builder/CompilationWriter.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace brimble {
namespace {

TEST(PanelRules, FormatKibDropsTheRemainder) {
    EXPECT_EQ(FormatKib(0), "0k");
    EXPECT_EQ(FormatKib(1023), "0k");
    EXPECT_EQ(FormatKib(41024), "40k");
    EXPECT_EQ(FormatKib(5ull << 30), "5242880k");
}

TEST(PanelRules, ReadFollowBoxReadsTheShownDigitsAsDecimal) {
    const struct {
        const char* text;
        std::int32_t current;
        std::int32_t expected;
    } cases[] = {
        {"", 7, 7},      // empty: unchanged
        {"0012", 7, 12}, // decimal, not octal
        {"08", 7, 8},    // an octal reading would stop at the 8
        {"0", 7, 0},
        {"-1", 0, -1},   // a database value shown with its sign
        {"-", 5, 5},     // a sign alone is no number
        {"12ab", 0, 12}, // stops at the first other character
        {"2147483647", 0, 2147483647},
        {"-2147483648", 0, -2147483647 - 1},
        {"4294967295", 0, -1}, // low 32 bits
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadFollowBox(c.text, c.current), c.expected) << '"' << c.text << '"';
}

TEST(PanelRules, FollowEditTakesTypedDigitsUpToFourAndAnyDeletion) {
    const struct {
        const char* before;
        const char* after;
        bool accepted;
    } cases[] = {
        {"", "1", true},      {"123", "1234", true},     {"1234", "12345", false},
        {"12", "12a", false}, {"", "-", false},          {"-1", "-", true},
        {"-1", "-12", true},  {"123456", "12345", true}, {"123456", "1234567", false},
        {"1", "", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AcceptFollowEdit(c.before, c.after), c.accepted) << '"' << c.before << "\" -> \"" << c.after << '"';
}

TEST(PanelRules, TitleBoxRefusesTheSeparatorAndLineEnds) {
    for (const char32_t refused : {U'\u00AC', U'\r', U'\n'})
        EXPECT_TRUE(IsRefusedTitleCharacter(refused)) << static_cast<std::uint32_t>(refused);
    for (const char32_t taken : {U'a', U'\u00E9', U'\t'})
        EXPECT_FALSE(IsRefusedTitleCharacter(taken)) << static_cast<std::uint32_t>(taken);
}

TEST(PanelRules, CommitRebuildsTheFlagsFromTheFourControlsAlone) {
    const OptionControls all = ShowFlags(0x0F);
    EXPECT_EQ(all, (OptionControls{true, true, true, false}));
    EXPECT_EQ(CommitFlags(ShowFlags(0xFFFFFFFF)), 0x27u);
    for (RomOptionFlags bit : {0u, kPpuSpeedHack, kNoCpuSpeedHack, kPalTiming, kFollowMemory})
        EXPECT_EQ(CommitFlags(ShowFlags(bit)), bit);
    RomEntry entry;
    entry.flags = 0x0F;
    entry.follow = -1;
    CommitDetails(entry, all, ""); // 0x08 does not survive; an empty box keeps the follow value
    EXPECT_EQ(entry.flags, 0x07u);
    EXPECT_EQ(entry.follow, -1);
    CommitDetails(entry, OptionControls{.followMemory = true}, "0012");
    EXPECT_EQ(entry.flags, kFollowMemory);
    EXPECT_EQ(entry.follow, 12);
}

TEST(PanelRules, TotalsWithSplashEmulatorImageAndCartridgeLimit) {
    EXPECT_EQ(TotalWithSplash(0, false), 0u);
    EXPECT_EQ(TotalWithSplash(41024, true), 117824u);
    EXPECT_EQ(EstimatedImageSize(1000, std::nullopt), 1000u);
    EXPECT_EQ(EstimatedImageSize(1000, 24), 1024u);
    EXPECT_FALSE(ExceedsCartridge(kMaxCartridgeSize));
    EXPECT_TRUE(ExceedsCartridge(kMaxCartridgeSize + 1));
    test::TempDir dir;
    test::WriteFile(dir / "emu.gba", test::PatternBytes(1001, 3));
    test::WriteFile(dir / "four.gba", test::PatternBytes(1000, 3));
    EXPECT_EQ(EmulatorImageSize(dir / "emu.gba"), 1004u);
    EXPECT_EQ(EmulatorImageSize(dir / "four.gba"), 1000u);
    for (const std::filesystem::path& none : {dir / "missing.gba", dir.Path(), std::filesystem::path()})
        EXPECT_FALSE(EmulatorImageSize(none).has_value()) << none;
}

} // namespace
} // namespace brimble
