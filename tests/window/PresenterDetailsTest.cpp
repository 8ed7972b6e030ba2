#include "PresenterTestSupport.h"

#include <functional>

// The details panel: what it shows, and at which moments a typed title and the options reach
// the entry and its database record.

namespace brimble::test {
namespace {

using Command = std::function<void(PresenterTest&)>;

class DetailsTest : public PresenterTest {
protected:
    // Two ROMs, first and second, with a stand-in emulator image and an output path, so that a
    // build goes through; the first is selected.
    void OpenWithTwo() {
        WriteFile(Dir() / "Vantaro.GBA", "emulator");
        WriteSettings("outputfile=out.gba\r\n");
        OpenWithRoms({"first", "second"});
    }
    const GameRecord* RecordOf(std::uint32_t seed) { return Database().Find(RomCrc(1000 * seed, seed)); }
};

const struct {
    const char* name;
    Command run;
} kCommands[] = {
    {"select", [](PresenterTest& t) { t.Select(1); }},
    {"remove", [](PresenterTest& t) { t.Presenter().OnRemove(); }},
    {"move", [](PresenterTest& t) { t.Presenter().OnMove(+1); }},
    {"sort", [](PresenterTest& t) { t.Presenter().OnSort(); }},
    {"build", [](PresenterTest& t) { t.Presenter().OnBuild(); }},
};

// A typed title is stored into the entry it was typed for, and its record, before each of
// these commands changes the list, also while the focus never left the box.
TEST_F(DetailsTest, ATypedTitleIsStoredBeforeEachCommand) {
    for (const auto& command : kCommands) {
        OpenWithTwo();
        Type(ControlId::Title, "Typed");
        EXPECT_TRUE(Presenter().TitlePending());
        command.run(*this);
        EXPECT_FALSE(Presenter().TitlePending()) << command.name;
        ASSERT_NE(RecordOf(1), nullptr) << command.name;
        EXPECT_EQ(RecordOf(1)->title, "Typed") << command.name;
        for (std::size_t row = 0; row < Roms().Count(); ++row) {
            if (Roms().At(row).crc == RomCrc(1000, 1)) {
                EXPECT_EQ(Items()[row], "Typed") << command.name;
            }
        }
    }
}

// Which commands store the panel's options into the selected entry and its record: select,
// sort and build do; a move leaves the panel editing the same entry uncommitted; a removal
// drops them with the entry.
TEST_F(DetailsTest, TheOptionsAreCommittedBySelectSortAndBuild) {
    const bool committed[] = {true, false, false, true, true};
    for (std::size_t i = 0; i < std::size(kCommands); ++i) {
        OpenWithTwo();
        Click(ControlId::PalTiming);
        Click(ControlId::FollowMemory);
        Type(ControlId::FollowValue, "12");
        kCommands[i].run(*this);
        const GameRecord* record = RecordOf(1);
        if (!committed[i]) {
            EXPECT_EQ(record, nullptr) << kCommands[i].name;
            continue;
        }
        ASSERT_NE(record, nullptr) << kCommands[i].name;
        EXPECT_EQ(record->flags, kPalTiming | kFollowMemory) << kCommands[i].name;
        EXPECT_EQ(record->follow, 12) << kCommands[i].name;
    }
}

// The panel shows the entry again as committed; a move neither commits nor refreshes it, and
// the next selection change commits into the moved entry wherever it went.
TEST_F(DetailsTest, OptionsSurviveMovingTheSelectionAway) {
    OpenWithTwo();
    Click(ControlId::PalTiming);
    Presenter().OnMove(+1);
    EXPECT_EQ(Roms().At(1).flags, 0u);
    EXPECT_TRUE(Checked(ControlId::PalTiming));
    Select(0);
    EXPECT_EQ(Roms().At(1).flags, kPalTiming);
    EXPECT_FALSE(Checked(ControlId::PalTiming));
    EXPECT_TRUE(Checked(ControlId::FollowSprite));
    Select(1);
    EXPECT_TRUE(Checked(ControlId::PalTiming));
    EXPECT_FALSE(Checked(ControlId::FollowMemory));
}

TEST_F(DetailsTest, ExtraFlagBitsAreShownByTheirBoxesAndDroppedAtCommit) {
    Rom("a.nes", 1000, 1);
    Rom("b.nes", 1000, 2);
    GameDatabase records;
    records.Store(RomCrc(1000, 1), Record("Fifteen", 0x0F, -1));
    WriteDatabaseFile(Dir() / "goodQuorrel.lst", records);
    Open();
    Drop({Dir() / "a.nes", Dir() / "b.nes"});
    for (ControlId id :
         {ControlId::PpuSpeedHack, ControlId::NoCpuSpeedHack, ControlId::PalTiming, ControlId::FollowSprite})
        EXPECT_TRUE(Checked(id)) << static_cast<int>(id);
    EXPECT_FALSE(Checked(ControlId::FollowMemory));
    EXPECT_EQ(Text(ControlId::FollowValue), "-1");
    Select(1);
    const GameRecord* record = Database().Find(RomCrc(1000, 1));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->flags, 0x07u);
    EXPECT_EQ(record->follow, -1);
}

// The follow box is read as the decimal number it shows; an empty box keeps the value; a
// longer value from the database is shown and kept whole.
TEST_F(DetailsTest, FollowBoxIsReadAsTheDecimalNumberItShows) {
    Rom("a.nes", 1000, 1);
    Rom("b.nes", 1000, 2);
    GameDatabase records;
    records.Store(RomCrc(1000, 1), Record("Long", 0, 12345678));
    WriteDatabaseFile(Dir() / "goodQuorrel.lst", records);
    Open();
    Drop({Dir() / "a.nes", Dir() / "b.nes"});
    EXPECT_EQ(Text(ControlId::FollowValue), "12345678");
    Select(1);
    EXPECT_EQ(Roms().At(0).follow, 12345678);
    const struct {
        const char* typed;
        std::int32_t follow;
        const char* shown;
    } cases[] = {{"010", 10, "10"}, {"", 10, "10"}, {"0012", 12, "12"}, {"99", 99, "99"}};
    for (const auto& c : cases) {
        Type(ControlId::FollowValue, c.typed);
        Select(0);
        EXPECT_EQ(Roms().At(1).follow, c.follow) << c.typed;
        Select(1);
        EXPECT_EQ(Text(ControlId::FollowValue), c.shown) << c.typed;
    }
}

// Leaving the title box stores its text, changed or not, cut to 31 bytes and converted to
// Windows-1252: a character without a form there becomes '?' (no best fit: "ł" is not "l").
TEST_F(DetailsTest, LeavingTheTitleBoxStoresItsTextAsWindows1252) {
    OpenWithTwo();
    Presenter().OnTitleFocusLost();
    ASSERT_NE(RecordOf(1), nullptr); // a record made without a change
    EXPECT_EQ(RecordOf(1)->title, "first");

    const struct {
        const char* typed;  // UTF-8
        const char* stored; // Windows-1252
        const char* shown;  // UTF-8
    } cases[] = {
        {"Caf\u00e9 \u0142\u2603", "Caf\xE9 ??", "Caf\u00e9 ??"},
        {"A Title Of Exactly 31 Characters", "A Title Of Exactly 31 Character", "A Title Of Exactly 31 Character"},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        Type(ControlId::Title, c.typed);
        Presenter().OnTitleFocusLost();
        EXPECT_EQ(Roms().At(0).title, c.stored);
        EXPECT_EQ(RecordOf(1)->title, c.stored);
        EXPECT_EQ(Items()[0], c.shown);
        EXPECT_EQ(Roms().Selection(), 0);
    }
}

TEST_F(DetailsTest, WithNoSelectionNothingTypedReachesAnEntry) {
    Open();
    Type(ControlId::Title, "Nowhere");
    Presenter().OnTitleFocusLost();
    Click(ControlId::PalTiming);
    Presenter().OnSort();
    Presenter().OnMove(+1);
    Presenter().OnRemove();
    EXPECT_EQ(Database().Size(), 0u);
}

// A list control that reports selecting nothing (as one may while an assistive technology
// selects) gets its row back; the shown entry stays.
TEST_F(DetailsTest, AListThatLosesItsSelectionGetsItBack) {
    OpenWithTwo();
    Select(1);
    Select(-1);
    ExpectShown(1, "second");
    Select(2); // no such row
    ExpectShown(1, "second");
}

} // namespace
} // namespace brimble::test
