#include "PresenterTestSupport.h"
#include "catalogue/ListFiles.h"
#include "window/WindowTexts.h"

namespace brimble::test {
namespace {

namespace fs = std::filesystem;
using ShellTest = PresenterTest;

// The saved list comes back after both tables, which give its titles and options; a lost ROM is named.
TEST_F(ShellTest, SettingsAndTheSavedListComeBack) {
    const fs::path a = Rom("roms/a.nes", 1000, 1), b = Rom("roms/b.nes", 2000, 2);
    WriteFile(Dir() / "names.dat", NamingList({{RomCrc(1000, 1), "Named Game (U) [!]"}}));
    GameDatabase records;
    records.Store(RomCrc(2000, 2), Record("Recorded", 0x21, 7));
    ASSERT_TRUE(WriteGameDatabase(Dir() / "games.lst", records));
    WriteSettings("savelist=1\r\ngoodnes=names.dat\r\nquorrel=games.lst\r\nflag190k=1\r\nautonumber=1\r\n"
                  "usesplash=1\r\noutputfile=out.gba\r\nsplashfile=pic.raw\r\n");
    WriteFile(Dir() / "saved.txt", a.string() + "\r\n" + (Dir() / "gone.nes").string() + "\r\n" + b.string() + "\r\n");
    Open();
    for (ControlId id : {ControlId::Flag190k, ControlId::Autonumber, ControlId::RestoreList, ControlId::Splash})
        EXPECT_TRUE(View().Checked(id)) << int(id);
    EXPECT_EQ(View().Text(ControlId::OutputPath) + " " + View().Text(ControlId::SplashPath), "out.gba pic.raw");
    EXPECT_FALSE(View().controls[ControlId::SplashPath].readOnly);
    EXPECT_EQ(Shown(), "*Named Game Recorded | Named Game | a.nes | 1k | 78k"); // the splash counts
    EXPECT_EQ(P().Roms().At(1).flags, 0x21u);
    EXPECT_EQ(View().messages,
              Warned("These ROMs of the saved list could not be restored:\n" + (Dir() / "gone.nes").string() +
                     ": cannot be opened (No such file or directory)"));
    WriteSettings("savelist=0\r\n"); // not read while its box is unchecked
    Open();
    EXPECT_TRUE(View().items.empty());
}

// The splash box makes the path editable and counts; the total warns past a cartridge, rechecked on activation.
TEST_F(ShellTest, FirstStartThePanelsAndTheSplashBox) {
    WriteFile(Dir() / "Vantaro.GBA", "x");
    fs::resize_file(Dir() / "Vantaro.GBA", 32u * 1024 * 1024 - 50000);
    Open();
    EXPECT_EQ(Shown(), " |  |  |  | 0k");
    EXPECT_FALSE(P().SplashBoxFile().has_value());
    for (bool shown : {false, true, false}) {
        EXPECT_EQ(View().panelShown, shown);
        EXPECT_EQ(View().Text(ControlId::TogglePanel), shown ? kHideCaption : kMoreCaption);
        P().OnTogglePanel();
    }
    Drop({Rom("a.nes", 1000, 1)});
    for (bool on : {false, true, false}) {
        EXPECT_EQ(View().controls[ControlId::SplashPath].readOnly, !on);
        EXPECT_EQ(View().Text(ControlId::Total), on ? "76k" : "1k");
        EXPECT_EQ(View().totalWarns, on);
        EXPECT_EQ(View().totalToolTip,
                  on ? "The image would take 32795k, more than the 32768k of the largest GBA cartridge." : "");
        Click(ControlId::Splash);
    }
    fs::remove(Dir() / "Vantaro.GBA");
    P().OnActivated();
    EXPECT_FALSE(View().totalWarns);
    Type(ControlId::SplashPath, "pic.raw");
    fs::create_directories(Dir() / "other");
    CurrentDirectory elsewhere(Dir() / "other");
    EXPECT_EQ(P().SplashBoxFile(), Dir() / "other" / "pic.raw");
}

// Each command asks its dialog, preselecting the filter chosen last; a list file is what it holds.
TEST_F(ShellTest, EachCommandAsksItsFileDialogAndTakesTheAnswer) {
    using P = MainWindowPresenter;
    using enum FileDialogUse;
    GameDatabase records;
    records.Store(RomCrc(1000, 1), Record("From database"));
    ASSERT_TRUE(WriteGameDatabase(Dir() / "mine.lst", records));
    const std::tuple<void (P::*)(), FileDialogUse, std::vector<fs::path>, int> cases[] = {
        {&P::OnAdd, AddRoms, {}, 0},
        {&P::OnChooseSplash, Splash, {"/pictures/title.raw"}, 1},
        {&P::OnLocateEmulator, Emulator, {"emu/Vantaro.GBA"}, 0},
        {&P::OnChooseOutput, Output, {Dir() / "out.gba"}, 0},
        {&P::OnLocateQuorrel, ListFile, {}, 0},
        {&P::OnLocateGoodNes, ListFile, {Dir() / "mine.lst"}, 0},
    };
    Open();
    int preselected = 0;
    for (const auto& [command, use, files, filter] : cases) {
        View().Choose(files, filter);
        (this->P().*command)();
        FileDialogRequest expected = FileDialogFor(use);
        expected.initialDirectory = use == AddRoms ? "." : expected.initialDirectory; // lastdir's default
        expected.filterIndex = preselected;
        EXPECT_EQ(View().requests.back(), expected) << int(use);
        preselected = files.empty() ? preselected : filter;
    }
    EXPECT_EQ(View().Text(ControlId::SplashPath), "/pictures/title.raw");
    EXPECT_FALSE(View().Checked(ControlId::Splash)); // a chosen splash only fills the path
    EXPECT_EQ(View().Text(ControlId::OutputPath), (Dir() / "out.gba").string());
    EXPECT_EQ(Setting("vantaro"), (Dir() / "emu" / "Vantaro.GBA").string());
    EXPECT_EQ(Setting("quorrel"), (Dir() / "mine.lst").string());
    Drop({Rom("a.nes", 1000, 1)});
    EXPECT_EQ(View().items, std::vector<std::string>{"From database"});
}

} // namespace
} // namespace brimble::test
