#include "catalogue/RomList.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace brimble {
namespace {

RomEntry Entry(std::string title, std::uint32_t size = 64, std::uint32_t crc = 0) {
    RomEntry entry;
    entry.directory = "dir";
    entry.fileName = title + ".nes";
    entry.title = std::move(title);
    entry.size = size;
    entry.crc = crc;
    return entry;
}

// Sizes differ from entry to entry, so that a total that loses the wrong one shows.
RomList ListOf(const std::vector<std::string>& titles) {
    RomList list;
    std::uint32_t crc = 0;
    for (const auto& title : titles) {
        list.Append(Entry(title, 64u << crc, crc));
        ++crc;
    }
    return list;
}

std::uint64_t SumOfSizes(const RomList& list) {
    std::uint64_t sum = 0;
    for (const auto& entry : list.Entries())
        sum += entry.size;
    return sum;
}

std::vector<std::string> Titles(const RomList& list) {
    std::vector<std::string> titles;
    for (const auto& entry : list.Entries())
        titles.push_back(entry.title);
    return titles;
}

TEST(RomList, FirstEntrySelectsPositionZeroAndSelectRefusesPositionsOutsideTheList) {
    RomList list;
    EXPECT_EQ(list.Selection(), -1);
    EXPECT_EQ(list.Selected(), nullptr);
    EXPECT_TRUE(list.Append(Entry("a", 100)));
    EXPECT_EQ(list.Selection(), 0);
    EXPECT_FALSE(list.Append(Entry("b", 200)));
    list.Select(1);
    EXPECT_FALSE(list.Append(Entry("c", 300)));
    EXPECT_EQ(list.Selection(), 1);
    EXPECT_EQ(list.Total(), 600u);
    EXPECT_EQ(Titles(list), (std::vector<std::string>{"a", "b", "c"}));
    for (const int outside : {3, 5, -2})
        list.Select(outside);
    ASSERT_NE(list.Selected(), nullptr);
    EXPECT_EQ(list.Selected()->title, "b");
    list.Select(-1);
    EXPECT_EQ(list.Selected(), nullptr);
}

TEST(RomList, RemoveSelectedKeepsThePositionOrStepsBack) {
    const struct {
        std::vector<std::string> titles;
        int selected;
        std::vector<std::string> after;
        int selectionAfter;
    } cases[] = {
        {{"a"}, 0, {}, -1},                  // the only item: the list empties
        {{"a", "b", "c"}, 2, {"a", "b"}, 1}, // the last item: the new last one
        {{"a", "b", "c"}, 0, {"b", "c"}, 0}, // the first: its follower takes its place
        {{"a", "b", "c"}, 1, {"a", "c"}, 1}, // a middle one likewise
        {{"a"}, -1, {"a"}, -1},              // nothing selected: nothing removed
        {{}, -1, {}, -1},
    };
    for (const auto& c : cases) {
        RomList list = ListOf(c.titles);
        list.Select(c.selected);
        const auto removed = list.RemoveSelected();
        EXPECT_EQ(removed, c.selected < 0 ? std::nullopt : std::optional<std::size_t>(c.selected));
        EXPECT_EQ(Titles(list), c.after);
        EXPECT_EQ(list.Selection(), c.selectionAfter);
        EXPECT_EQ(list.Total(), SumOfSizes(list));
    }
}

TEST(RomList, MoveSwapsWithTheNeighbourAndTheSelectionFollows) {
    const struct {
        int selected;
        int delta;
        bool moved;
        std::vector<std::string> after;
        int selectionAfter;
    } cases[] = {
        {1, -1, true, {"b", "a", "c"}, 0},    {1, +1, true, {"a", "c", "b"}, 2},
        {1, -100, true, {"b", "a", "c"}, 0}, // only the sign counts
        {1, 0, true, {"a", "c", "b"}, 2},    // zero moves down
        {0, -1, false, {"a", "b", "c"}, 0},  // already at the top
        {2, +1, false, {"a", "b", "c"}, 2},  // already at the bottom
        {-1, +1, false, {"a", "b", "c"}, -1},
    };
    for (const auto& c : cases) {
        RomList list = ListOf({"a", "b", "c"});
        list.Select(c.selected);
        EXPECT_EQ(list.MoveSelected(c.delta), c.moved) << c.selected << " " << c.delta;
        EXPECT_EQ(Titles(list), c.after);
        EXPECT_EQ(list.Selection(), c.selectionAfter);
        EXPECT_EQ(list.Total(), 7u * 64u);
    }
}

TEST(RomList, SortOrdersTitlesByBytesWithCapitalsAsSmallLetters) {
    const struct {
        std::vector<std::string> titles;
        std::vector<std::string> sorted;
    } cases[] = {
        {{"c", "B", "a", "A"}, {"a", "A", "B", "c"}},           // equal titles keep their order
        {{"a", "_x"}, {"_x", "a"}},                             // '_' lies between 'Z' and 'a'
        {{"ab", "a"}, {"a", "ab"}},                             // a beginning sorts first
        {{"\xE9t\xE9", "zz", "Zy"}, {"Zy", "zz", "\xE9t\xE9"}}, // bytes above 0x7F after letters
        {{"\xC9", "\xE9"}, {"\xC9", "\xE9"}},                   // no folding outside A-Z
    };
    for (const auto& c : cases) {
        RomList list = ListOf(c.titles);
        list.Select(-1);
        ASSERT_TRUE(list.SortByTitle());
        EXPECT_EQ(Titles(list), c.sorted);
        EXPECT_EQ(list.Selection(), 0);
    }
    RomList empty;
    EXPECT_FALSE(empty.SortByTitle());
    EXPECT_EQ(empty.Selection(), -1);
}

TEST(RomList, SortKeepsEqualTitlesInTheirOrder) {
    // Enough entries that an unstable sort would mix up equal titles.
    const char* titles[] = {"delta", "Alpha", "charlie", "ALPHA", "bravo", "Delta", "alpha", "BRAVO"};
    RomList list;
    for (std::uint32_t i = 0; i < 200; ++i)
        list.Append(Entry(titles[(i * 7 + i / 3) % 8], 64, i));
    list.SortByTitle();
    for (std::size_t i = 1; i < list.Count(); ++i) {
        const RomEntry& previous = list.At(i - 1);
        const RomEntry& current = list.At(i);
        const int order = CompareTitles(previous.title, current.title);
        EXPECT_LE(order, 0) << i;
        if (order == 0) {
            EXPECT_LT(previous.crc, current.crc) << i;
        }
    }
}

TEST(RomList, FormatKibDropsTheRemainder) {
    EXPECT_EQ(FormatKib(0), "0k");
    EXPECT_EQ(FormatKib(1023), "0k");
    EXPECT_EQ(FormatKib(41024), "40k");
    EXPECT_EQ(FormatKib(5ull << 30), "5242880k");
}

TEST(RomList, ReadFollowBoxReadsTheShownDigitsAsDecimal) {
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

TEST(RomList, FollowEditTakesTypedDigitsUpToFourAndAnyDeletion) {
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

TEST(RomList, TitleBoxRefusesTheSeparatorAndLineEnds) {
    for (const char32_t refused : {U'\u00AC', U'\r', U'\n'})
        EXPECT_TRUE(IsRefusedTitleCharacter(refused)) << static_cast<std::uint32_t>(refused);
    for (const char32_t taken : {U'a', U'\u00E9', U'\t'})
        EXPECT_FALSE(IsRefusedTitleCharacter(taken)) << static_cast<std::uint32_t>(taken);
}

TEST(RomList, CommitRebuildsTheFlagsFromTheFourControlsAlone) {
    const OptionControls all = ShowFlags(0x0F);
    EXPECT_EQ(all, (OptionControls{true, true, true, false}));
    EXPECT_EQ(CommitFlags(ShowFlags(0xFFFFFFFF)), 0x27u);
    for (RomOptionFlags bit : {0u, kPpuSpeedHack, kNoCpuSpeedHack, kPalTiming, kFollowMemory})
        EXPECT_EQ(CommitFlags(ShowFlags(bit)), bit);
    RomEntry entry = Entry("a");
    entry.flags = 0x0F;
    entry.follow = -1;
    CommitDetails(entry, all, ""); // 0x08 does not survive; an empty box keeps the follow value
    EXPECT_EQ(entry.flags, 0x07u);
    EXPECT_EQ(entry.follow, -1);
    CommitDetails(entry, OptionControls{.followMemory = true}, "0012");
    EXPECT_EQ(entry.flags, kFollowMemory);
    EXPECT_EQ(entry.follow, 12);
}

TEST(RomList, TotalsWithSplashEmulatorImageAndCartridgeLimit) {
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
