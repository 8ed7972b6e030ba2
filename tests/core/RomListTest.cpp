#include "catalogue/RomList.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace brimble {
namespace {

// Sizes differ from entry to entry, so that a total that loses the wrong one shows.
RomList ListOf(const std::vector<std::string>& titles) {
    RomList list;
    for (std::uint32_t i = 0; i < titles.size(); ++i)
        list.Append(RomEntry{"dir", titles[i] + ".nes", titles[i], 0, 0, 64u * (i + 1), i});
    return list;
}

std::vector<std::string> Titles(const RomList& list) {
    std::vector<std::string> titles;
    for (const auto& entry : list.Entries())
        titles.push_back(entry.title);
    return titles;
}

TEST(RomList, EditsKeepTheSelectionAndTheTotal) {
    enum Op { Append, Select, Remove, Move, Sort };
    const std::vector<std::string> abc = {"a", "b", "c"};
    const struct {
        std::vector<std::string> titles;
        int selected; // selected before the edit
        Op op;
        int delta;  // the position to select, or the direction to move
        int result; // Append, Move and Sort: 1 for true; Remove: the position removed or -1
        std::vector<std::string> after;
        int selectionAfter;
    } cases[] = {
        {{}, -1, Append, 0, 1, {"x"}, 0}, // the first entry is selected
        {{"a"}, -1, Append, 0, 1, {"a", "x"}, 0},
        {abc, 1, Append, 0, 0, {"a", "b", "c", "x"}, 1},
        {abc, 1, Select, 3, 0, abc, 1}, // positions outside the list are ignored
        {abc, 1, Select, -2, 0, abc, 1},
        {abc, 1, Select, -1, 0, abc, -1},
        {{"a"}, 0, Remove, 0, 0, {}, -1},      // the only item: the list empties
        {abc, 2, Remove, 0, 2, {"a", "b"}, 1}, // the last item: the new last one
        {abc, 0, Remove, 0, 0, {"b", "c"}, 0}, // the first: its follower takes its place
        {abc, 1, Remove, 0, 1, {"a", "c"}, 1}, // a middle one likewise
        {{"a"}, -1, Remove, 0, -1, {"a"}, -1}, // nothing selected: nothing removed
        {abc, 1, Move, -1, 1, {"b", "a", "c"}, 0},
        {abc, 1, Move, +1, 1, {"a", "c", "b"}, 2},
        {abc, 1, Move, -100, 1, {"b", "a", "c"}, 0}, // only the sign counts
        {abc, 1, Move, 0, 1, {"a", "c", "b"}, 2},    // zero moves down
        {abc, 0, Move, -1, 0, abc, 0},               // already at the top
        {abc, 2, Move, +1, 0, abc, 2},               // already at the bottom
        {abc, -1, Move, +1, 0, abc, -1},
        // Capitals sort as small letters, equal titles keep their order.
        {{"c", "B", "a", "A"}, -1, Sort, 0, 1, {"a", "A", "B", "c"}, 0},
        {{"a", "_x"}, 1, Sort, 0, 1, {"_x", "a"}, 0},                             // '_' lies between 'Z' and 'a'
        {{"ab", "a"}, 1, Sort, 0, 1, {"a", "ab"}, 0},                             // a beginning sorts first
        {{"\xE9t\xE9", "zz", "Zy"}, 2, Sort, 0, 1, {"Zy", "zz", "\xE9t\xE9"}, 0}, // bytes above 0x7F after letters
        {{"\xC9", "\xE9"}, -1, Sort, 0, 1, {"\xC9", "\xE9"}, 0},                  // no folding outside A-Z
        {{}, -1, Sort, 0, 0, {}, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.titles) + " " + std::to_string(c.op) + " " + std::to_string(c.delta));
        RomList list = ListOf(c.titles);
        list.Select(c.selected);
        int result = 0;
        if (c.op == Append)
            result = list.Append(RomEntry{"dir", "x.nes", "x", 0, 0, 7, 9});
        else if (c.op == Select)
            list.Select(c.delta);
        else if (c.op == Remove)
            result = static_cast<int>(list.RemoveSelected().value_or(-1));
        else
            result = c.op == Move ? list.MoveSelected(c.delta) : list.SortByTitle();
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(Titles(list), c.after);
        EXPECT_EQ(list.Selection(), c.selectionAfter);
        EXPECT_EQ(list.Selected(), c.selectionAfter < 0 ? nullptr : &list.At(c.selectionAfter));
        std::uint64_t sum = 0;
        for (const auto& entry : list.Entries())
            sum += entry.size;
        EXPECT_EQ(list.Total(), sum);
    }
}

TEST(RomList, SortKeepsEqualTitlesInTheirOrder) {
    // Enough entries that an unstable sort would mix up equal titles.
    const char* titles[] = {"delta", "Alpha", "charlie", "ALPHA", "bravo", "Delta", "alpha", "BRAVO"};
    std::vector<std::string> many;
    for (std::uint32_t i = 0; i < 200; ++i)
        many.push_back(titles[(i * 7 + i / 3) % 8]);
    RomList list = ListOf(many);
    list.SortByTitle();
    for (std::size_t i = 1; i < list.Count(); ++i) {
        const int order = CompareTitles(list.At(i - 1).title, list.At(i).title);
        EXPECT_TRUE(order < 0 || (order == 0 && list.At(i - 1).crc < list.At(i).crc)) << i;
    }
}

} // namespace
} // namespace brimble
