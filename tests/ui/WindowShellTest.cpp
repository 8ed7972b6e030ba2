#include "UiTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>

namespace brimble::test {
namespace {

using ShellTest = WindowTest;

// Clicks the action of the popup menu that the next event-loop turn shows.
void ClickInNextPopup(QAction* action) {
    QTimer::singleShot(0, [action] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr)
            return;
        QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(action).center());
    });
}

TEST_F(ShellTest, FirstStartInAnEmptyFolder) {
    Open();
    EXPECT_FALSE(window->PanelShown());
    EXPECT_TRUE(Get<QLineEdit>(ControlId::SplashPath)->isReadOnly());
    EXPECT_EQ(Get<QLabel>(ControlId::Total)->text(), Q("0k"));
    EXPECT_EQ(QApplication::focusWidget(), List());
    // The default database path is in the settings from the first start on.
    EXPECT_EQ(Setting("quorrel"), (Dir() / "goodQuorrel.lst").string());
}

TEST_F(ShellTest, SplashBoxMakesThePathEditableAndCountsThePicture) {
    WriteSettings("usesplash=1\r\nsplashfile=pic.raw\r\n");
    Rom("a.nes", 40976 - 16); // 41,024 bytes in the image: 40k
    Open();
    auto* total = Get<QLabel>(ControlId::Total);
    EXPECT_EQ(total->text(), Q("75k")); // the splash alone
    EXPECT_FALSE(Get<QLineEdit>(ControlId::SplashPath)->isReadOnly());
    Drop({Q(Dir() / "a.nes")});
    Click(ControlId::TogglePanel);
    Click(ControlId::Splash);
    EXPECT_FALSE(Get<QCheckBox>(ControlId::Splash)->isChecked());
    EXPECT_TRUE(Get<QLineEdit>(ControlId::SplashPath)->isReadOnly());
    EXPECT_EQ(total->text(), Q("40k"));
}

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
    WriteFile(Dir() / "saved.txt", (Dir() / "roms").string() + "/a.nes\r\n" + (Dir() / "roms").string() + "/b.nes\r\n" +
                                       (Dir() / "roms").string() + "/c.nes\r\n");
    Open();
    EXPECT_EQ(ListTexts(), (QStringList{Q("Named Game"), Q("Recorded"), Q("Recorded Third")}));
    EXPECT_EQ(ShownRow(), 0);
    EXPECT_EQ(window->Roms().At(1).flags, 0x21u);

    // Not read while its box is unchecked.
    window->close();
    WriteSettings("savelist=0\r\n");
    Reopen();
    EXPECT_EQ(List()->count(), 0);
}

TEST_F(ShellTest, EscapeEndsWithoutStoringTheSwitches) {
    Open();
    Click(ControlId::RestoreList);
    ASSERT_TRUE(Get<QCheckBox>(ControlId::RestoreList)->isChecked());
    List()->setFocus();
    QTest::keyClick(List(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(Setting("savelist"), "<missing>");
    Reopen();
    EXPECT_FALSE(Get<QCheckBox>(ControlId::RestoreList)->isChecked());
}

TEST_F(ShellTest, EnterNeverEndsTheWindow) {
    Rom("a.nes");
    Open();
    Drop({Q(Dir() / "a.nes")});
    Click(ControlId::TogglePanel);
    for (QWidget* target : {static_cast<QWidget*>(List()), window->Control(ControlId::Title)}) {
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Return);
        QTest::keyClick(target, Qt::Key_Enter, Qt::KeypadModifier);
        EXPECT_TRUE(window->isVisible()) << target->metaObject()->className();
    }
    EXPECT_TRUE(dialogs.requests.empty());

    // A focused push button answers Enter as a click.
    const bool shown = window->PanelShown();
    window->Control(ControlId::TogglePanel)->setFocus();
    QTest::keyClick(window->Control(ControlId::TogglePanel), Qt::Key_Return);
    EXPECT_NE(window->PanelShown(), shown);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(ShellTest, ClosingStoresTheSwitchesAndTheNextStartShowsThem) {
    WriteSettings("splashfile=old.raw\r\n");
    Open();
    Click(ControlId::TogglePanel);
    Click(ControlId::Flag190k);
    Click(ControlId::Autonumber);
    Click(ControlId::RestoreList);
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(Setting("flag190k"), "1");
    EXPECT_EQ(Setting("savelist"), "1");
    EXPECT_EQ(Setting("autonumber"), "1");

    // An emptied splash path is not stored: the old one comes back.
    Reopen();
    Click(ControlId::TogglePanel);
    Click(ControlId::Splash);
    Get<QLineEdit>(ControlId::SplashPath)->clear();
    window->close();
    EXPECT_EQ(Setting("splashfile"), "old.raw");
    Reopen();
    EXPECT_TRUE(Get<QCheckBox>(ControlId::Splash)->isChecked());
}

TEST_F(ShellTest, ToggleAndDoubleClickShowAndHideThePanel) {
    Open();
    const int narrow = window->width();
    const int height = window->height();
    const QPoint topLeft = window->pos();
    Click(ControlId::TogglePanel);
    EXPECT_TRUE(window->PanelShown());
    EXPECT_EQ(window->height(), height);
    Click(ControlId::TogglePanel);
    EXPECT_FALSE(window->PanelShown());
    EXPECT_EQ(window->width(), narrow);
    EXPECT_EQ(window->pos(), topLeft);

    QTest::mouseDClick(List()->viewport(), Qt::LeftButton);
    EXPECT_TRUE(window->PanelShown());
}

// What each file dialog of the window asks, on the first start in an empty folder.
TEST_F(ShellTest, EachFileDialogAsksForItsKindOfFile) {
    using Mode = FileDialogRequest::Mode;
    const FileFilter any{Q("*.*"), Q("*")};
    struct Case {
        std::function<void()> open;
        Mode mode;
        QString title;
        FileFilter first;
        QString initialDirectory;
        QString defaultSuffix = {};
    };
    // clang-format off
    const std::vector<Case> cases = {
        {[this] { Click(ControlId::Add); }, Mode::OpenMany, Q("Add NES files..."), {Q("*.NES"), Q("*.NES")}, Q(".")},
        {[this] { Click(ControlId::ChooseSplash); }, Mode::OpenOne, Q("Choose splash screen..."),
         {Q("*.raw;*.bin;*.png;*.jpg;*.jpeg;*.bmp;*.gif"), Q("*.raw *.bin *.png *.jpg *.jpeg *.bmp *.gif")}, {}},
        {[this] { Click(ControlId::ChooseOutput); }, Mode::Save, {}, {Q("*.GBA"), Q("*.GBA")}, Q("."), Q("GBA")},
        {[this] { window->LocateEmulatorAction()->trigger(); }, Mode::OpenOne, Q("Locate Vantaro.GBA..."),
         {Q("Vantaro.GBA"), Q("Vantaro.GBA")}, {}},
        {[this] { window->LocateQuorrelAction()->trigger(); }, Mode::OpenOne, {},
         {Q("*.lst;*.db;*.dat"), Q("*.lst *.db *.dat")}, {}},
    };
    // clang-format on
    Open();
    Click(ControlId::TogglePanel);
    for (const Case& c : cases) {
        dialogs.requests.clear();
        dialogs.Cancel();
        c.open();
        ASSERT_EQ(dialogs.requests.size(), 1u) << c.title.toStdString();
        const FileDialogRequest& request = dialogs.requests[0];
        EXPECT_EQ(request.mode, c.mode) << c.title.toStdString();
        EXPECT_EQ(request.title, c.title);
        EXPECT_EQ(request.filters, (QList<FileFilter>{c.first, any})) << c.title.toStdString();
        EXPECT_EQ(request.initialDirectory, c.initialDirectory) << c.title.toStdString();
        EXPECT_EQ(request.defaultSuffix, c.defaultSuffix) << c.title.toStdString();
        EXPECT_EQ(request.mustExist, c.mode != Mode::Save) << c.title.toStdString();
    }
    // A chosen splash only fills the path; the splash stays off.
    dialogs.Choose({Q("/pictures/title.raw")});
    Click(ControlId::ChooseSplash);
    EXPECT_EQ(Get<QLineEdit>(ControlId::SplashPath)->text(), Q("/pictures/title.raw"));
    EXPECT_FALSE(Get<QCheckBox>(ControlId::Splash)->isChecked());
}

// The keyboard tests open the same menu from the list.
TEST_F(ShellTest, TheMenuButtonOpensTheCommandMenu) {
    Open();
    EXPECT_EQ(window->MenuButton()->menu(), window->CommandMenu());
    dialogs.Choose({Q(Dir() / "emu" / "Vantaro.GBA")});
    ClickInNextPopup(window->LocateEmulatorAction());
    QTest::mouseClick(window->MenuButton(), Qt::LeftButton);
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(Setting("vantaro"), (Dir() / "emu" / "Vantaro.GBA").string());
}

TEST_F(ShellTest, LocateListCommandsStoreWhatTheFileTurnedOutToBe) {
    Rom("a.nes", 1000, 1);
    Open();
    Drop({Q(Dir() / "a.nes")});
    ASSERT_EQ(ListTexts(), QStringList{Q("a")});

    GameDatabase records;
    records.Store(RomCrc(1000, 1), Record("From database"));
    WriteDatabaseFile(Dir() / "mine.lst", records);
    WriteFile(Dir() / "junk.dat", "nothing to read here\r\n");

    // The item does not decide: a database chosen through the naming-list item is a database.
    dialogs.Choose({Q(Dir() / "mine.lst")});
    window->LocateGoodNesAction()->trigger();
    EXPECT_EQ(Setting("quorrel"), (Dir() / "mine.lst").string());

    // Unreadable as either kind: no setting changes.
    const std::string before = SettingsText();
    dialogs.Choose({Q(Dir() / "junk.dat")});
    window->LocateGoodNesAction()->trigger();
    EXPECT_EQ(SettingsText(), before);

    // ROMs already in the list keep their titles; a ROM added afterwards sees the database.
    EXPECT_EQ(ListTexts(), QStringList{Q("a")});
    Drop({Q(Dir() / "a.nes")});
    EXPECT_EQ(ListTexts(), (QStringList{Q("a"), Q("From database")}));
}

} // namespace
} // namespace brimble::test
