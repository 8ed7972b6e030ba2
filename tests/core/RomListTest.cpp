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

} // namespace
} // namespace brimble
