#include "PresenterTestSupport.h"
#include "catalogue/Paths.h"
#include "samples/ZipWriter.h"

// Adding through the dialog and by drop, removing, moving and sorting, and the details panel:
// when a typed title and the options reach the entry and its record.

namespace brimble::test {
namespace {

namespace fs = std::filesystem;
using ListTest = PresenterTest;

// The dialog opens in lastdir; what cannot be added is named in one message; the first file's
// folder becomes lastdir, also when nothing could be added. Each dropped file is taken from
// its own folder, an archive's games in its order; the panel and a saved list name a member's
// archive. Adding to a list with a selection leaves the selection alone.
TEST_F(ListTest, AddingThroughTheDialogAndByDrop) {
    Rom("roms/Game_(U).nes", 40976 - 16);
    WriteFile(Dir() / "text.nes", "not a ROM at all");
    WriteZip(Dir() / "Set.zip", {{.name = "Alpha_(U).nes", .data = MakeNesImage(1000, 1)},
                                 {.name = "sub/Beta.nes", .data = MakeNesImage(2000, 2), .method = 0}});
    Rom("two/b.nes", 5000, 5);
    WriteSettings("lastdir=/somewhere\r\n");
    Open();
    View().Cancel();
    View().Choose({Dir() / "roms" / "Game_(U).nes"});
    View().Choose({Dir() / "text.nes", Dir() / "missing.nes"});
    for (int i = 0; i < 3; ++i)
        P().OnAdd();
    EXPECT_EQ(View().requests.at(1).initialDirectory, "/somewhere");
    EXPECT_EQ(View().requests.at(2).initialDirectory, Dir() / "roms");
    EXPECT_EQ(Setting("lastdir"), Dir().string());
    EXPECT_EQ(Shown(), "*Game | Game | Game_(U).nes | 40k | 40k");
    EXPECT_EQ(View().messages,
              (std::vector<MessageRequest>{{"These files were not added:\n" + (Dir() / "text.nes").string() +
                                                ": is not an iNES file\n" + (Dir() / "missing.nes").string() +
                                                ": cannot be opened (No such file or directory)",
                                            "Oh no!", MessageIcon::Warning}}));
    Drop({Dir() / "Set.zip", Dir() / "two" / "b.nes"});
    EXPECT_EQ(Roms().At(3).directory, Dir() / "two");
    Select(2);
    EXPECT_EQ(Shown(), "Game Alpha *Beta b | Beta | Beta.nes in Set.zip | 2k | 48k");
    WriteFile(Dir() / "saved.txt", PathToStoredText(Roms().At(2).FullPath()) + "\r\n");
    WriteSettings("savelist=1\r\n");
    Open();
    EXPECT_EQ(Shown(), "*Beta | Beta | Beta.nes in Set.zip | 2k | 2k");
}

// After a removal the follower takes the place, or the one before at the end; the panel shows
// it; the only entry leaves a blank, disabled panel.
TEST_F(ListTest, RemovingKeepsSelectionTotalAndPanelInStep) {
    const struct {
        std::vector<std::string> list;
        int selected;
        const char* shown;
    } cases[] = {
        {{"a", "b", "c"}, 1, "a *c | c | c.nes | 2k | 4k"},
        {{"a", "b", "c"}, 2, "a *b | b | b.nes | 2k | 3k"},
        {{"a", "b", "c"}, 0, "*b c | b | b.nes | 2k | 5k"},
        {{"a"}, 0, " |  |  |  | 0k"},
    };
    for (const auto& c : cases) {
        OpenWithRoms(c.list);
        Select(c.selected);
        Click(ControlId::PalTiming);
        P().OnRemove();
        EXPECT_EQ(Shown(), c.shown);
        EXPECT_FALSE(Checked(ControlId::PalTiming));
        EXPECT_EQ(View().controls[ControlId::Title].enabled, c.list.size() > 1);
    }
}

// A move swaps with the neighbour by the sign of its delta alone and stops at the ends; sort
// orders by title and selects the first.
TEST_F(ListTest, MovingAndSorting) {
    OpenWithRoms({"a", "b", "c"});
    const struct {
        int delta;
        bool moved;
        const char* list;
    } steps[] = {{-1, false, "*a b c"}, {+1, true, "b *a c"}, {+5, true, "b c *a"}, {+1, false, "b c *a"}};
    for (const auto& step : steps) {
        EXPECT_EQ(P().OnMove(step.delta), step.moved) << step.delta;
        EXPECT_EQ(Shown().substr(0, 6), step.list) << step.delta;
    }
    Open();
    P().OnSort(); // an empty list: nothing happens
    Drop({Rom("Same.nes", 100, 5), Rom("b.nes", 100, 1)});
    Select(1);
    P().OnSort();
    EXPECT_EQ(Shown(), "*b Same | b | b.nes | 0k | 0k");
}

// Before each command that changes the list a typed title is stored into the entry it was
// typed for, and its record; select, sort and build also commit the panel's options, a move
// leaves the panel editing the same entry, a removal drops them with the entry.
TEST_F(ListTest, ATypedTitleAndTheOptionsAreStoredBeforeEachCommand) {
    const struct {
        void (*run)(PresenterTest&);
        bool commitsOptions;
    } commands[] = {
        {[](PresenterTest& t) { t.Select(1); }, true},       {[](PresenterTest& t) { t.P().OnRemove(); }, false},
        {[](PresenterTest& t) { t.P().OnMove(+1); }, false}, {[](PresenterTest& t) { t.P().OnSort(); }, true},
        {[](PresenterTest& t) { t.P().OnBuild(); }, true},
    };
    WriteFile(Dir() / "Vantaro.GBA", "emulator");
    for (const auto& command : commands) {
        WriteSettings("outputfile=out.gba\r\n");
        OpenWithRoms({"a", "b"});
        Click(ControlId::PalTiming);
        Click(ControlId::FollowMemory);
        Type(ControlId::FollowValue, "0012");
        Type(ControlId::Title, "Typed");
        EXPECT_TRUE(P().TitlePending());
        command.run(*this);
        EXPECT_FALSE(P().TitlePending());
        const GameRecord* record = RecordOf(1000, 1);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->title, "Typed");
        EXPECT_EQ(record->flags, command.commitsOptions ? kPalTiming | kFollowMemory : 0u);
        EXPECT_EQ(record->follow, command.commitsOptions ? 12 : 0);
        Shown(); // the list shows the stored title
    }
}

// With no selection nothing typed reaches an entry. Leaving the title box stores its text,
// changed or not, cut to 31 bytes, in Windows-1252 with '?' for what has no form there. A move
// neither commits nor refreshes the panel, and the next selection change commits into the
// moved entry. A list that reports selecting nothing or a row it lacks (as one may while an
// assistive technology selects) gets its row back.
TEST_F(ListTest, ThePanelEditsTheSelectedEntry) {
    Open();
    Type(ControlId::Title, "Nowhere");
    P().OnTitleFocusLost();
    P().OnMove(+1);
    P().OnRemove();
    EXPECT_EQ(m_window->database.Size(), 0u);
    Drop({Rom("first.nes", 1000, 1), Rom("second.nes", 2000, 2)});
    P().OnTitleFocusLost();
    EXPECT_EQ(RecordOf(1000, 1)->title, "first");
    Type(ControlId::Title, "Caf\u00e9 \u0142 Of More Than 31 Characters");
    P().OnTitleFocusLost();
    EXPECT_EQ(RecordOf(1000, 1)->title, "Caf\xE9 ? Of More Than 31 Characte");
    Click(ControlId::PalTiming);
    P().OnMove(+1);
    EXPECT_EQ(Roms().At(1).flags, 0u);
    EXPECT_TRUE(Checked(ControlId::PalTiming));
    Select(0);
    EXPECT_EQ(Roms().At(1).flags, kPalTiming);
    EXPECT_TRUE(!Checked(ControlId::PalTiming) && Checked(ControlId::FollowSprite));
    for (int row : {-1, 2}) {
        Select(row);
        EXPECT_EQ(Shown(), "*second Caf\u00e9 ? Of More Than 31 Characte | second | second.nes | 2k | 3k");
    }
    Select(1);
    EXPECT_TRUE(Checked(ControlId::PalTiming));
}

} // namespace
} // namespace brimble::test
