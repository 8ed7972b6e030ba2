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

RomList ListOf(const std::vector<std::string>& titles) {
    RomList list;
    std::uint32_t crc = 0;
    for (const auto& title : titles)
        list.Append(Entry(title, 64, crc++));
    return list;
}

std::vector<std::string> Titles(const RomList& list) {
    std::vector<std::string> titles;
    for (const auto& entry : list.Entries())
        titles.push_back(entry.title);
    return titles;
}

TEST(RomListAppend, FirstEntrySelectsPositionZeroLaterOnesLeaveTheSelection) {
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
}

TEST(RomListAppend, SelectRefusesPositionsOutsideTheList) {
    RomList list = ListOf({"a", "b"});
    list.Select(5);
    EXPECT_EQ(list.Selection(), 0);
    list.Select(-2);
    EXPECT_EQ(list.Selection(), 0);
    list.Select(-1);
    EXPECT_EQ(list.Selection(), -1);
    list.Select(1);
    ASSERT_NE(list.Selected(), nullptr);
    EXPECT_EQ(list.Selected()->title, "b");
}

TEST(RomListRemove, SelectionArithmetic) {
    struct Case {
        std::vector<std::string> titles;
        int selected;
        std::vector<std::string> after;
        int selectionAfter;
    };
    const Case cases[] = {
        {{"a"}, 0, {}, -1},                  // the only item: the list empties
        {{"a", "b", "c"}, 2, {"a", "b"}, 1}, // the last item: the new last one
        {{"a", "b", "c"}, 0, {"b", "c"}, 0}, // the first: its follower takes its place
        {{"a", "b", "c"}, 1, {"a", "c"}, 1}, // a middle one likewise
    };
    for (const auto& c : cases) {
        RomList list = ListOf(c.titles);
        list.Select(c.selected);
        const auto removed = list.RemoveSelected();
        ASSERT_TRUE(removed.has_value());
        EXPECT_EQ(*removed, static_cast<std::size_t>(c.selected));
        EXPECT_EQ(Titles(list), c.after);
        EXPECT_EQ(list.Selection(), c.selectionAfter);
        EXPECT_EQ(list.Total(), 64u * c.after.size());
    }
}

TEST(RomListRemove, NothingSelectedRemovesNothing) {
    RomList list;
    EXPECT_FALSE(list.RemoveSelected().has_value());
    list = ListOf({"a"});
    list.Select(-1);
    EXPECT_FALSE(list.RemoveSelected().has_value());
    EXPECT_EQ(list.Count(), 1u);
}

TEST(RomListRemove, RemovingAndAddingTheSameEntryRestoresTheTotal) {
    RomList list;
    list.Append(Entry("a", 41024));
    list.Append(Entry("b", 24640));
    const auto before = list.Total();
    list.Select(1);
    list.RemoveSelected();
    EXPECT_EQ(list.Total(), 41024u);
    list.Append(Entry("b", 24640));
    EXPECT_EQ(list.Total(), before);
}

TEST(RomListMove, SwapsWithTheNeighbourAndTheSelectionFollows) {
    struct Case {
        int selected;
        int delta;
        bool moved;
        std::vector<std::string> after;
        int selectionAfter;
    };
    const Case cases[] = {
        {1, -1, true, {"b", "a", "c"}, 0},    {1, +1, true, {"a", "c", "b"}, 2},
        {1, -100, true, {"b", "a", "c"}, 0}, // only the sign counts
        {1, 0, true, {"a", "c", "b"}, 2},    // zero moves down
        {0, -1, false, {"a", "b", "c"}, 0},  // already at the top
        {2, +1, false, {"a", "b", "c"}, 2},  // already at the bottom
        {-1, -1, false, {"a", "b", "c"}, -1}, {-1, +1, false, {"a", "b", "c"}, -1},
    };
    for (const auto& c : cases) {
        RomList list = ListOf({"a", "b", "c"});
        list.Select(c.selected);
        EXPECT_EQ(list.MoveSelected(c.delta), c.moved) << c.selected << " " << c.delta;
        EXPECT_EQ(Titles(list), c.after);
        EXPECT_EQ(list.Selection(), c.selectionAfter);
        EXPECT_EQ(list.Total(), 3u * 64u);
    }
}

TEST(RomListMove, SelectedEntryStaysSelectedThroughManyMoves) {
    RomList list = ListOf({"a", "b", "c", "d"});
    list.Select(0);
    for (int delta : {1, 1, 1, 1, -1, 1, -1, -1, -1, -1})
        list.MoveSelected(delta);
    ASSERT_NE(list.Selected(), nullptr);
    EXPECT_EQ(list.Selected()->title, "a");
    EXPECT_EQ(list.At(static_cast<std::size_t>(list.Selection())).title, "a");
}

TEST(RomListSort, OrderOfTitles) {
    struct Case {
        std::vector<std::string> titles;
        std::vector<std::string> sorted;
    };
    const Case cases[] = {
        {{"b", "A", "c"}, {"A", "b", "c"}},
        {{"a", "_x"}, {"_x", "a"}}, // '_' lies between 'Z' and 'a'
        {{"a", "[", "\\", "]", "^", "`"}, {"[", "\\", "]", "^", "`", "a"}},
        {{"ab", "a"}, {"a", "ab"}},                             // a beginning sorts first
        {{"\xE9t\xE9", "zz", "Zy"}, {"Zy", "zz", "\xE9t\xE9"}}, // bytes above 0x7F after letters
        {{"\xC9", "\xE9"}, {"\xC9", "\xE9"}},                   // no folding outside A-Z
        {{"", "a"}, {"", "a"}},
    };
    for (const auto& c : cases) {
        RomList list = ListOf(c.titles);
        ASSERT_TRUE(list.SortByTitle());
        EXPECT_EQ(Titles(list), c.sorted);
        EXPECT_EQ(list.Selection(), 0);
    }
}

TEST(RomListSort, EqualTitlesKeepTheirOrder) {
    RomList list;
    list.Append(Entry("Same", 64, 1));
    list.Append(Entry("other", 64, 2));
    list.Append(Entry("SAME", 64, 3));
    list.Append(Entry("same", 64, 4));
    list.Append(Entry("aaa", 64, 5));
    list.Append(Entry("Same", 64, 6));
    list.SortByTitle();
    std::vector<std::uint32_t> crcs;
    for (const auto& entry : list.Entries())
        crcs.push_back(entry.crc);
    EXPECT_EQ(crcs, (std::vector<std::uint32_t>{5, 2, 1, 3, 4, 6}));
}

TEST(RomListSort, ManyEqualTitlesKeepTheirOrder) {
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

TEST(RomListSort, EmptyListStaysEmptyAndUnselected) {
    RomList list;
    EXPECT_FALSE(list.SortByTitle());
    EXPECT_EQ(list.Selection(), -1);
    RomList one = ListOf({"x"});
    one.Select(-1);
    EXPECT_TRUE(one.SortByTitle());
    EXPECT_EQ(one.Selection(), 0);
}

TEST(CompareTitles, SignFollowsTheFirstDifferingByte) {
    EXPECT_EQ(CompareTitles("abc", "ABC"), 0);
    EXPECT_LT(CompareTitles("abc", "abd"), 0);
    EXPECT_GT(CompareTitles("b", "A"), 0);
    EXPECT_GT(CompareTitles("Z", "a"), 0);
    EXPECT_LT(CompareTitles("_", "A"), 0);    // A counts as a, which lies after the underscore
    EXPECT_GT(CompareTitles("\x80", "z"), 0); // unsigned bytes
    EXPECT_LT(CompareTitles("", "\x01"), 0);
}

TEST(FormatKib, DropsTheRemainder) {
    EXPECT_EQ(FormatKib(0), "0k");
    EXPECT_EQ(FormatKib(1023), "0k");
    EXPECT_EQ(FormatKib(1024), "1k");
    EXPECT_EQ(FormatKib(41024), "40k");
    EXPECT_EQ(FormatKib(117824), "115k");
    EXPECT_EQ(FormatKib(76800), "75k");
    EXPECT_EQ(FormatKib(5ull * 1024 * 1024 * 1024), "5242880k");
}

TEST(ReadFollowBox, DecimalReadingOfTheShownDigits) {
    struct Case {
        const char* text;
        std::int32_t current;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"", 7, 7},      // empty: unchanged
        {"0012", 7, 12}, // decimal, not octal
        {"08", 7, 8},    // an octal reading would stop at the 8
        {"010", 7, 10},
        {"99", 0, 99},
        {"0", 7, 0},
        {"-1", 0, -1}, // a database value shown with its sign
        {"-", 5, 5},   // a sign alone is no number
        {"+3", 0, 3},
        {"12ab", 0, 12}, // stops at the first other character
        {"x12", 4, 4},
        {"2147483647", 0, 2147483647},
        {"-2147483648", 0, -2147483647 - 1},
        {"4294967295", 0, -1}, // low 32 bits
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadFollowBox(c.text, c.current), c.expected) << '"' << c.text << '"';
}

TEST(AcceptFollowEdit, TypingDigitsUpToFourDeletingAlways) {
    struct Case {
        const char* before;
        const char* after;
        bool accepted;
    };
    const Case cases[] = {
        {"", "1", true},
        {"123", "1234", true},
        {"1234", "12345", false},
        {"12", "12a", false},
        {"", "-", false},
        {"-1", "-", true},
        {"-1", "1", true},
        {"-1", "-12", true},
        {"123456", "12345", true},
        {"123456", "1234567", false},
        {"123456", "123457", false},
        {"1", "", true},
        {"12", "1 2", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AcceptFollowEdit(c.before, c.after), c.accepted) << '"' << c.before << "\" -> \"" << c.after << '"';
}

TEST(TitleCharacters, RefusesSeparatorAndLineEnds) {
    EXPECT_TRUE(IsRefusedTitleCharacter(U'\u00AC'));
    EXPECT_TRUE(IsRefusedTitleCharacter(U'\r'));
    EXPECT_TRUE(IsRefusedTitleCharacter(U'\n'));
    EXPECT_FALSE(IsRefusedTitleCharacter(U'a'));
    EXPECT_FALSE(IsRefusedTitleCharacter(U'\u00E9'));
    EXPECT_FALSE(IsRefusedTitleCharacter(U'\t'));
}

TEST(OptionFlags, ShowAndCommit) {
    const OptionControls all = ShowFlags(0x0F);
    EXPECT_TRUE(all.ppuSpeedHack);
    EXPECT_TRUE(all.noCpuSpeedHack);
    EXPECT_TRUE(all.palTiming);
    EXPECT_FALSE(all.followMemory);
    EXPECT_EQ(CommitFlags(all), 0x07u); // 0x08 does not survive a commit
    EXPECT_EQ(CommitFlags(ShowFlags(0xFFFFFFFF)), 0x27u);
    EXPECT_EQ(CommitFlags(OptionControls{}), 0u);
    for (RomOptionFlags bit : {kPpuSpeedHack, kNoCpuSpeedHack, kPalTiming, kFollowMemory})
        EXPECT_EQ(CommitFlags(ShowFlags(bit)), bit);
}

TEST(OptionFlags, CommitDetailsTakesFlagsAndFollow) {
    RomEntry entry = Entry("a");
    entry.flags = 0x0F;
    entry.follow = -1;
    CommitDetails(entry, ShowFlags(entry.flags), "");
    EXPECT_EQ(entry.flags, 0x07u);
    EXPECT_EQ(entry.follow, -1);
    CommitDetails(entry, OptionControls{.followMemory = true}, "0012");
    EXPECT_EQ(entry.flags, kFollowMemory);
    EXPECT_EQ(entry.follow, 12);
}

TEST(TotalSize, SplashAndCartridgeLimit) {
    EXPECT_EQ(TotalWithSplash(0, false), 0u);
    EXPECT_EQ(TotalWithSplash(0, true), 76800u);
    EXPECT_EQ(FormatKib(TotalWithSplash(41024, true)), "115k");
    EXPECT_EQ(EstimatedImageSize(1000, std::nullopt), 1000u);
    EXPECT_EQ(EstimatedImageSize(1000, 24), 1024u);
    EXPECT_FALSE(ExceedsCartridge(kMaxCartridgeSize));
    EXPECT_TRUE(ExceedsCartridge(kMaxCartridgeSize + 1));
}

TEST(TotalSize, EmulatorImageSizeIsPaddedAndNeedsAFile) {
    test::TempDir dir;
    test::WriteFile(dir / "emu.gba", test::PatternBytes(1001, 3));
    test::WriteFile(dir / "four.gba", test::PatternBytes(1000, 3));
    EXPECT_EQ(EmulatorImageSize(dir / "emu.gba"), 1004u);
    EXPECT_EQ(EmulatorImageSize(dir / "four.gba"), 1000u);
    EXPECT_FALSE(EmulatorImageSize(dir / "missing.gba").has_value());
    EXPECT_FALSE(EmulatorImageSize(dir.Path()).has_value());
    EXPECT_FALSE(EmulatorImageSize("").has_value());
}

} // namespace
} // namespace brimble
