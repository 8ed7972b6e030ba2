#include "PresenterTestSupport.h"
#include "window/WindowTexts.h"

#include <functional>

// Start-up, the options panel, the splash controls, closing and the file dialogs.

namespace brimble::test {
namespace {

namespace fs = std::filesystem;
using ShellTest = PresenterTest;

TEST_F(ShellTest, FirstStartInAnEmptyFolder) {
    Open();
    EXPECT_FALSE(Presenter().PanelShown());
    EXPECT_FALSE(View().panelShown);
    EXPECT_EQ(Text(ControlId::TogglePanel), "More >>");
    EXPECT_TRUE(View().controls[ControlId::SplashPath].readOnly);
    EXPECT_EQ(Text(ControlId::Total), "0k");
    // The blank panel: nothing to edit, nothing checked.
    for (ControlId id : {ControlId::Title, ControlId::FollowValue, ControlId::PpuSpeedHack, ControlId::NoCpuSpeedHack,
                         ControlId::PalTiming, ControlId::FollowSprite, ControlId::FollowMemory}) {
        EXPECT_FALSE(View().controls[id].enabled) << static_cast<int>(id);
        EXPECT_FALSE(Checked(id)) << static_cast<int>(id);
    }
    // The default database path is in the settings from the first start on.
    EXPECT_EQ(Setting("quorrel"), (Dir() / "goodQuorrel.lst").string());
}

TEST_F(ShellTest, SettingsComeIntoTheControls) {
    WriteSettings("flag190k=1\r\nautonumber=1\r\nsavelist=0\r\nusesplash=1\r\noutputfile=out.gba\r\n"
                  "splashfile=pic.raw\r\n");
    Open();
    EXPECT_TRUE(Checked(ControlId::Flag190k));
    EXPECT_TRUE(Checked(ControlId::Autonumber));
    EXPECT_FALSE(Checked(ControlId::RestoreList));
    EXPECT_TRUE(Checked(ControlId::Splash));
    EXPECT_EQ(Text(ControlId::OutputPath), "out.gba");
    EXPECT_EQ(Text(ControlId::SplashPath), "pic.raw");
    EXPECT_FALSE(View().controls[ControlId::SplashPath].readOnly);
    EXPECT_EQ(Text(ControlId::Total), "75k"); // the splash alone
}

// The saved list comes back after both tables are loaded, so that its entries take their
// titles and options from them.
TEST_F(ShellTest, SavedListIsRestoredAfterBothTablesAreLoaded) {
    Rom("roms/a.nes", 1000, 1);
    Rom("roms/b.nes", 2000, 2);
    Rom("roms/c.nes", 3000, 3);
    WriteNamingList(Dir() / "names.dat", {{RomCrc(1000, 1), "Named Game (U) [!]"}, {RomCrc(3000, 3), "Third"}});
    GameDatabase records;
    records.Store(RomCrc(2000, 2), Record("Recorded", 0x21, 7));
    records.Store(RomCrc(3000, 3), Record("Recorded Third", 0, 0));
    WriteDatabaseFile(Dir() / "games.lst", records);
    WriteSettings("savelist=1\r\ngoodnes=names.dat\r\nquorrel=games.lst\r\n");
    const std::string roms = (Dir() / "roms").string();
    WriteFile(Dir() / "saved.txt",
              roms + "/a.nes\r\n" + roms + "/gone.nes\r\n" + roms + "/b.nes\r\n" + roms + "/c.nes\r\n");
    Open();
    EXPECT_EQ(Items(), (std::vector<std::string>{"Named Game", "Recorded", "Recorded Third"}));
    // The ROM that is not there is named once the list is back, not dropped without a word.
    EXPECT_EQ(View().messages, (std::vector<MessageRequest>{{"These ROMs of the saved list could not be restored:\n" +
                                                                 (Dir() / "roms" / "gone.nes").string() +
                                                                 ": cannot be opened (No such file or directory)",
                                                             "Oh no!", MessageIcon::Warning}}));
    ExpectShown(0, "Named Game");
    EXPECT_EQ(Roms().At(1).flags, 0x21u);
    EXPECT_EQ(Text(ControlId::Total), "6k"); // shown once the list is back

    // Not read while its box is unchecked.
    WriteSettings("savelist=0\r\n");
    Open();
    EXPECT_TRUE(Items().empty());
}

TEST_F(ShellTest, SplashBoxMakesThePathEditableAndCountsThePicture) {
    Rom("a.nes", 40976 - 16); // 41,024 bytes in the image: 40k
    Open();
    Drop({Dir() / "a.nes"});
    EXPECT_EQ(Text(ControlId::Total), "40k");
    Click(ControlId::Splash);
    EXPECT_FALSE(View().controls[ControlId::SplashPath].readOnly);
    EXPECT_EQ(Text(ControlId::Total), "115k");
    Click(ControlId::Splash);
    EXPECT_TRUE(View().controls[ControlId::SplashPath].readOnly);
    EXPECT_EQ(Text(ControlId::Total), "40k");
}

TEST_F(ShellTest, TotalWarnsWhileTheImageWouldOutgrowACartridge) {
    // A sparse stand-in emulator image just under the largest cartridge.
    WriteFile(Dir() / "Vantaro.GBA", "x");
    fs::resize_file(Dir() / "Vantaro.GBA", 32u * 1024 * 1024 - 50000);
    Open();
    EXPECT_FALSE(View().totalWarns);
    Click(ControlId::Splash); // 76,800 more bytes
    EXPECT_TRUE(Presenter().TotalWarns());
    EXPECT_EQ(View().totalToolTip, "The image would take 32794k, more than the 32768k of the largest GBA cartridge.");
    Click(ControlId::Splash);
    EXPECT_FALSE(View().totalWarns);
    EXPECT_EQ(View().totalToolTip, "");

    // The emulator image is looked for again when the window comes to the front.
    Click(ControlId::Splash);
    fs::remove(Dir() / "Vantaro.GBA");
    Presenter().OnActivated();
    EXPECT_FALSE(View().totalWarns);
}

TEST_F(ShellTest, ToggleShowsAndHidesThePanel) {
    Open();
    Presenter().OnTogglePanel();
    EXPECT_TRUE(View().panelShown);
    EXPECT_EQ(Text(ControlId::TogglePanel), "<< Hide");
    Presenter().OnTogglePanel();
    EXPECT_FALSE(View().panelShown);
    EXPECT_EQ(Text(ControlId::TogglePanel), "More >>");
}

// How the window ends decides what is stored: the close box and a finished build store the
// four switches and a non-empty splash path, Escape nothing.
TEST_F(ShellTest, ClosingSettingsByCloseReason) {
    const struct {
        const char* name;
        std::function<void(PresenterTest&)> close;
        bool stored;
    } cases[] = {
        {"close box", [](PresenterTest& t) { t.Presenter().OnClose(CloseReason::CloseBox); }, true},
        {"escape", [](PresenterTest& t) { t.Presenter().OnClose(CloseReason::Escape); }, false},
        {"finished build", [](PresenterTest& t) { t.Click(ControlId::Build); }, true},
    };
    for (const auto& c : cases) {
        WriteSettings("outputfile=out.gba\r\nsplashfile=old.raw\r\n");
        WriteFile(Dir() / "Vantaro.GBA", "emulator");
        Rom("a.nes");
        Open();
        Drop({Dir() / "a.nes"});
        for (ControlId id : {ControlId::Flag190k, ControlId::Autonumber, ControlId::RestoreList, ControlId::Splash})
            Click(id);
        Type(ControlId::SplashPath, "new.raw");
        c.close(*this);
        for (const char* key : {"flag190k", "autonumber", "savelist", "usesplash"})
            EXPECT_EQ(Setting(key), c.stored ? "1" : "<missing>") << c.name << ' ' << key;
        EXPECT_EQ(Setting("splashfile"), c.stored ? "new.raw" : "old.raw") << c.name;
    }
    // An emptied splash path is not stored: the old one comes back.
    WriteSettings("splashfile=old.raw\r\n");
    Open();
    Type(ControlId::SplashPath, "");
    Presenter().OnClose(CloseReason::CloseBox);
    EXPECT_EQ(Setting("splashfile"), "old.raw");
}

// What each file dialog asks, on the first start in an empty folder, and what its answer does.
TEST_F(ShellTest, EachFileDialogAsksForItsKindOfFile) {
    using Mode = FileDialogRequest::Mode;
    const FileFilter any{"*.*", {"*"}};
    const struct {
        std::function<void(MainWindowPresenter&)> open;
        Mode mode;
        std::string title;
        FileFilter first;
        fs::path initialDirectory;
        std::string defaultSuffix;
    } cases[] = {
        {&MainWindowPresenter::OnAdd, Mode::OpenMany, "Add NES files...", {"*.NES;*.zip", {"*.NES", "*.zip"}}, ".", ""},
        {&MainWindowPresenter::OnChooseSplash,
         Mode::OpenOne,
         "Choose splash screen...",
         {"*.raw;*.bin;*.png;*.jpg;*.jpeg;*.bmp;*.gif",
          {"*.raw", "*.bin", "*.png", "*.jpg", "*.jpeg", "*.bmp", "*.gif"}},
         "",
         ""},
        {&MainWindowPresenter::OnChooseOutput, Mode::Save, "", {"*.GBA", {"*.GBA"}}, ".", "GBA"},
        {&MainWindowPresenter::OnLocateEmulator,
         Mode::OpenOne,
         "Locate Vantaro.GBA...",
         {"Vantaro.GBA", {"Vantaro.GBA"}},
         "",
         ""},
        {&MainWindowPresenter::OnLocateGoodNes,
         Mode::OpenOne,
         "",
         {"*.lst;*.db;*.dat", {"*.lst", "*.db", "*.dat"}},
         "",
         ""},
        {&MainWindowPresenter::OnLocateQuorrel,
         Mode::OpenOne,
         "",
         {"*.lst;*.db;*.dat", {"*.lst", "*.db", "*.dat"}},
         "",
         ""},
    };
    Open();
    for (const auto& c : cases) {
        View().requests.clear();
        c.open(Presenter());
        ASSERT_EQ(View().requests.size(), 1u) << c.title;
        const FileDialogRequest& request = View().requests[0];
        EXPECT_EQ(request.mode, c.mode) << c.title;
        EXPECT_EQ(request.title, c.title);
        EXPECT_EQ(request.filters, (std::vector<FileFilter>{c.first, any})) << c.title;
        EXPECT_EQ(request.initialDirectory, c.initialDirectory) << c.title;
        EXPECT_EQ(request.defaultSuffix, c.defaultSuffix) << c.title;
        EXPECT_EQ(request.mustExist, c.mode != Mode::Save) << c.title;
    }
    // Cancelled dialogs changed nothing.
    EXPECT_EQ(Text(ControlId::OutputPath), "");
    EXPECT_EQ(Setting("vantaro"), "<missing>");

    // The answers: a chosen splash only fills the path, the splash stays off; the output fills
    // its box; a located emulator image is stored with its full path.
    View().Choose({"/pictures/title.raw"});
    Presenter().OnChooseSplash();
    EXPECT_EQ(Text(ControlId::SplashPath), "/pictures/title.raw");
    EXPECT_FALSE(Checked(ControlId::Splash));
    View().Choose({Dir() / "out.gba"});
    Presenter().OnChooseOutput();
    EXPECT_EQ(Text(ControlId::OutputPath), (Dir() / "out.gba").string());
    View().Choose({"emu/Vantaro.GBA"});
    Presenter().OnLocateEmulator();
    EXPECT_EQ(Setting("vantaro"), (Dir() / "emu" / "Vantaro.GBA").string());
}

// The filter the user chose last in any file dialog is preselected in the next one, as far as
// that one has as many; a cancelled dialog leaves the choice as it was.
TEST_F(ShellTest, TheLastFilterChoiceCarriesOverToTheNextDialog) {
    Open();
    EXPECT_EQ(Presenter().LastFilterIndex(), 0);
    View().Choose({Dir() / "x.raw"}, 1);
    Presenter().OnChooseSplash();
    View().Cancel();
    Presenter().OnChooseOutput();
    Presenter().OnLocateEmulator();
    ASSERT_EQ(View().requests.size(), 3u);
    EXPECT_EQ(View().requests[0].filterIndex, 0);
    EXPECT_EQ(View().requests[1].filterIndex, 1);
    EXPECT_EQ(View().requests[2].filterIndex, 1);
    EXPECT_EQ(Presenter().LastFilterIndex(), 1);
}

TEST_F(ShellTest, LocateListCommandsStoreWhatTheFileTurnedOutToBe) {
    Rom("a.nes", 1000, 1);
    Open();
    Drop({Dir() / "a.nes"});
    ASSERT_EQ(Items(), std::vector<std::string>{"a"});

    GameDatabase records;
    records.Store(RomCrc(1000, 1), Record("From database"));
    WriteDatabaseFile(Dir() / "mine.lst", records);
    WriteFile(Dir() / "junk.dat", "nothing to read here\r\n");

    // The item does not decide: a database chosen through the naming-list item is a database.
    View().Choose({Dir() / "mine.lst"});
    Presenter().OnLocateGoodNes();
    EXPECT_EQ(Setting("quorrel"), (Dir() / "mine.lst").string());

    // Unreadable as either kind: no setting changes.
    const std::string before = SettingsText();
    View().Choose({Dir() / "junk.dat"});
    Presenter().OnLocateQuorrel();
    EXPECT_EQ(SettingsText(), before);

    // ROMs already in the list keep their titles; a ROM added afterwards sees the database.
    EXPECT_EQ(Items(), std::vector<std::string>{"a"});
    Drop({Dir() / "a.nes"});
    EXPECT_EQ(Items(), (std::vector<std::string>{"a", "From database"}));
}

TEST_F(ShellTest, SplashPreviewFollowsTheBoxAndTheCurrentDirectory) {
    fs::create_directories(Dir() / "other");
    WriteFile(Dir() / "other" / "pic.raw", PatternBytes(76800, 3));
    Open();
    EXPECT_FALSE(Presenter().PreviewSplashBox().has_value());
    Type(ControlId::SplashPath, "pic.raw");
    ASSERT_TRUE(Presenter().PreviewSplashBox().has_value());
    EXPECT_EQ(Presenter().PreviewSplashBox()->status, SplashData::Status::Absent);
    CurrentDirectory elsewhere(Dir() / "other");
    EXPECT_EQ(Presenter().PreviewSplashBox()->status, SplashData::Status::Ready);
}

} // namespace
} // namespace brimble::test
