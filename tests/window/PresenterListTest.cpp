#include "PresenterTestSupport.h"
#include "samples/ZipWriter.h"

namespace brimble::test {
namespace {

using ListTest = PresenterTest;

// The dialog opens in lastdir, then in the last chosen folder; a drop sets the total once.
TEST_F(ListTest, AddingThroughTheDialogAndByDrop) {
    Rom("roms/Game_(U).nes", 40960);
    WriteFile(Dir() / "text.nes", "not a ROM at all");
    WriteZip(Dir() / "Set.zip", {{.name = "sub/Beta.nes", .data = MakeNesImage(2000, 2)}});
    WriteSettings("lastdir=/somewhere\r\n");
    Open();
    for (const auto& files : {std::vector<std::filesystem::path>{},
                              {Dir() / "roms" / "Game_(U).nes"},
                              {Dir() / "text.nes", Dir() / "missing.nes"}})
        View().Choose(files), P().OnAdd();
    EXPECT_EQ(View().requests.at(1).initialDirectory, "/somewhere");
    EXPECT_EQ(View().requests.at(2).initialDirectory, Dir() / "roms");
    EXPECT_EQ(Setting("lastdir"), Dir().string());
    EXPECT_EQ(Shown(), "*Game | Game | Game_(U).nes | 40k | 40k");
    EXPECT_EQ(View().messages,
              Warned("These files were not added:\n" + (Dir() / "text.nes").string() + ": is not an iNES file\n" +
                     (Dir() / "missing.nes").string() + ": cannot be opened (No such file or directory)"));
    const int totals = View().totalsShown;
    Drop({Dir() / "Set.zip", Rom("two/b.nes", 5000, 5)});
    EXPECT_EQ(View().totalsShown, totals + 1);
    EXPECT_EQ(P().Roms().At(2).directory, Dir() / "two");
    View().SelectListRow(1);
    EXPECT_EQ(Shown(), "Game *Beta b | Beta | Beta.nes in Set.zip | 2k | 47k");
}

// Which entry a removal or a move selects is the list's rule; here the view follows it. Removing
// the last entry moves the selection, so a row removed or selected wrongly shows.
TEST_F(ListTest, RemovingMovingAndSorting) {
    Open({"a", "b", "c"});
    View().SelectListRow(2);
    P().OnRemove();
    EXPECT_EQ(Shown(), "a *b | b | b.nes | 2k | 3k");
    EXPECT_FALSE(P().OnMove(+1));
    EXPECT_TRUE(P().OnMove(-1));
    EXPECT_EQ(Shown(), "*b a | b | b.nes | 2k | 3k");
    Open({"a"});
    Click(ControlId::PalTiming);
    P().OnRemove();
    EXPECT_EQ(Shown(), " |  |  |  | 0k");
    EXPECT_TRUE(!View().Checked(ControlId::PalTiming) && !View().controls[ControlId::Title].enabled);

    Open();
    P().OnSort(); // an empty list: nothing happens
    Drop({Rom("Same.nes", 100, 5), Rom("b.nes", 100, 1)});
    View().SelectListRow(1);
    P().OnSort();
    EXPECT_EQ(Shown(), "*b Same | b | b.nes | 0k | 0k");
}

// What each command commits: the typed title, the options, the switches.
TEST_F(ListTest, WhatEachCommandStores) {
    // clang-format off
    const struct { void (*run)(PresenterTest&); bool title, options, switches; } commands[] = {
        {[](PresenterTest& t) { t.View().SelectListRow(1); }, true, true, false},
        {[](PresenterTest& t) { t.P().OnRemove(); }, true, false, false},
        {[](PresenterTest& t) { t.P().OnMove(+1); }, true, false, false},
        {[](PresenterTest& t) { t.P().OnSort(); }, true, true, false},
        {[](PresenterTest& t) { t.P().OnClose(CloseReason::CloseBox); }, false, false, true},
        {[](PresenterTest& t) { t.P().OnClose(CloseReason::Escape); }, false, false, false},
        {[](PresenterTest& t) { t.P().OnBuild(); }, true, true, true}}; // last: it writes the database
    // clang-format on
    WriteFile(Dir() / "Vantaro.GBA", "emulator");
    for (const auto& c : commands) {
        WriteSettings("outputfile=out.gba\r\nsplashfile=old.raw\r\n");
        Open({"a", "b"});
        for (ControlId id : {ControlId::Flag190k, ControlId::Autonumber, ControlId::RestoreList, ControlId::Splash,
                             ControlId::PalTiming, ControlId::FollowMemory})
            Click(id);
        Type(ControlId::SplashPath, "new.raw");
        Type(ControlId::FollowValue, "0012");
        Type(ControlId::Title, "Typed");
        c.run(*this);
        EXPECT_EQ(P().TitlePending(), !c.title);
        const GameRecord* record = m_window->database.Find(RomCrc(1000, 1));
        EXPECT_EQ(record ? *record : GameRecord{},
                  c.title ? Record("Typed", c.options ? kPalTiming | kFollowMemory : 0u, c.options ? 12 : 0)
                          : GameRecord{});
        Shown(); // the list shows the stored title
        for (const char* key : {"flag190k", "autonumber", "savelist", "usesplash"})
            EXPECT_EQ(Setting(key), c.switches ? "1" : "<missing>") << key;
        EXPECT_EQ(Setting("splashfile"), c.switches ? "new.raw" : "old.raw");
    }
}

// The title box stores 31 Windows-1252 bytes; a list that reports no row gets its row back.
TEST_F(ListTest, ThePanelEditsTheSelectedEntry) {
    Open();
    Type(ControlId::Title, "Nowhere");
    P().OnTitleFocusLost();
    P().OnMove(+1);
    P().OnRemove();
    EXPECT_EQ(m_window->database.Size(), 0u);
    Drop({Rom("first.nes", 1000, 1), Rom("second.nes", 2000, 2)});
    P().OnTitleFocusLost();
    EXPECT_EQ(m_window->database.Find(RomCrc(1000, 1))->title, "first");
    Type(ControlId::Title, "Caf\u00e9 \u0142 Of More Than 31 Characters");
    P().OnTitleFocusLost();
    EXPECT_EQ(m_window->database.Find(RomCrc(1000, 1))->title, "Caf\xE9 ? Of More Than 31 Characte");
    Click(ControlId::PalTiming);
    P().OnMove(+1);
    EXPECT_TRUE(P().Roms().At(1).flags == 0u && View().Checked(ControlId::PalTiming));
    View().SelectListRow(0);
    EXPECT_EQ(P().Roms().At(1).flags, kPalTiming);
    EXPECT_TRUE(!View().Checked(ControlId::PalTiming) && View().Checked(ControlId::FollowSprite));
    for (int row : {-1, 2}) {
        View().SelectListRow(row);
        EXPECT_EQ(Shown(), "*second Caf\u00e9 ? Of More Than 31 Characte | second | second.nes | 2k | 3k");
    }
}

} // namespace
} // namespace brimble::test
