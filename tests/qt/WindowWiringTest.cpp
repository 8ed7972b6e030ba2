#include "UiTestSupport.h"
#include "qt/UpDownControl.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <chrono>
#include <functional>
#include <thread>

// What is the Qt window's own: that each widget's event reaches the presenter, closing by the
// close box, Escape and a build, Enter, drops, the edit boxes' typing rules, and the progress
// dialog. The behaviour behind the events is the presenter's and is tested there.

namespace brimble::test {
namespace {

namespace fs = std::filesystem;

class WiringTest : public WindowTest {
protected:
    QLineEdit* TitleBox() const { return Get<QLineEdit>(ControlId::Title); }
    UpDownControl* Arrows() const { return Get<UpDownControl>(ControlId::UpDown); }
    // Types into a box as the user does: click, select all, type.
    void Retype(QLineEdit* box, const QString& text) {
        QTest::mouseClick(box, Qt::LeftButton);
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
    }
    std::string LastRequestTitle() const { return dialogs.requests.empty() ? "<none>" : dialogs.requests.back().title; }
};

TEST_F(WiringTest, EveryCommandReachesThePresenter) {
    OpenWithRoms({"a", "b", "c"});
    EXPECT_EQ(QApplication::focusWidget(), List());
    Click(ControlId::TogglePanel);
    ASSERT_TRUE(Presenter().PanelShown());
    EXPECT_EQ(Get<QPushButton>(ControlId::TogglePanel)->text(), Q("<< Hide"));

    // The dialogs of the buttons and the menu, each cancelled.
    const struct {
        std::function<void()> run;
        const char* title;
    } dialogsCases[] = {
        {[this] { Click(ControlId::Add); }, "Add NES files..."},
        {[this] { Click(ControlId::ChooseSplash); }, "Choose splash screen..."},
        {[this] { Click(ControlId::ChooseOutput); }, ""},
        {[this] { window->LocateEmulatorAction()->trigger(); }, "Locate Vantaro.GBA..."},
        {[this] { window->LocateGoodNesAction()->trigger(); }, ""},
        {[this] { window->LocateQuorrelAction()->trigger(); }, ""},
    };
    for (const auto& c : dialogsCases) {
        const std::size_t before = dialogs.requests.size();
        c.run();
        ASSERT_EQ(dialogs.requests.size(), before + 1) << c.title;
        EXPECT_EQ(LastRequestTitle(), c.title);
    }

    // A click on an item shows it; the panel's labels show what the presenter sets.
    ClickRow(1);
    ExpectShown(1, "b");
    EXPECT_EQ(Get<QLabel>(ControlId::FileName)->text(), Q("b.nes"));
    EXPECT_EQ(Get<QLabel>(ControlId::RomSize)->text(), Q("2k"));

    // The down arrow moves the entry and takes the focus; its key goes on moving it.
    List()->setFocus();
    QTest::mouseClick(Arrows()->DownButton(), Qt::LeftButton);
    EXPECT_EQ(ListTexts(), (QStringList{Q("a"), Q("c"), Q("b")}));
    EXPECT_EQ(QApplication::focusWidget(), Arrows());
    QTest::keyClick(Arrows(), Qt::Key_Up);
    ExpectShown(1, "b");
    // At the top nothing moves, and the focus stays where it was.
    ClickRow(0);
    List()->setFocus();
    QTest::mouseClick(Arrows()->UpButton(), Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), List());

    Click(ControlId::Sort);
    EXPECT_EQ(ListTexts(), (QStringList{Q("a"), Q("b"), Q("c")}));
    Click(ControlId::Remove);
    EXPECT_EQ(ListTexts(), (QStringList{Q("b"), Q("c")}));
    EXPECT_EQ(Get<QLabel>(ControlId::Total)->text(), Q("5k"));

    // The splash box: the path box's read-only state and the total follow it.
    Click(ControlId::Splash);
    EXPECT_FALSE(Get<QLineEdit>(ControlId::SplashPath)->isReadOnly());
    EXPECT_EQ(Get<QLabel>(ControlId::Total)->text(), Q("80k"));

    // The radio buttons and the check boxes hold what the presenter commits.
    Click(ControlId::FollowMemory);
    Click(ControlId::PalTiming);
    ClickRow(1);
    EXPECT_EQ(Presenter().Roms().At(0).flags, kPalTiming | kFollowMemory);
    EXPECT_FALSE(Get<QRadioButton>(ControlId::FollowMemory)->isChecked());
    EXPECT_TRUE(Get<QRadioButton>(ControlId::FollowSprite)->isChecked());

    // A double-click in the list toggles the panel as the button does.
    QTest::mouseDClick(List()->viewport(), Qt::LeftButton);
    EXPECT_FALSE(Presenter().PanelShown());
    EXPECT_EQ(Get<QPushButton>(ControlId::TogglePanel)->text(), Q("More >>"));
}

// The title box tells the presenter when its text was typed and when the focus leaves it:
// leaving it stores the title; arrows, which take no focus, find it pending.
TEST_F(WiringTest, TheTitleBoxReportsTypingAndLeaving) {
    OpenWithRoms({"first", "second"});
    Click(ControlId::TogglePanel);
    Retype(TitleBox(), Q("Renamed"));
    EXPECT_TRUE(Presenter().TitlePending());
    QTest::mouseClick(Arrows()->DownButton(), Qt::LeftButton);
    EXPECT_EQ(ListTexts(), (QStringList{Q("second"), Q("Renamed")}));

    Retype(TitleBox(), Q("Left"));
    QTest::mouseClick(window->Control(ControlId::PalTiming), Qt::LeftButton);
    EXPECT_EQ(Presenter().Roms().At(1).title, "Left");
    EXPECT_FALSE(Presenter().TitlePending());

    // Shown again, the box holds the entry's title and nothing is pending.
    ClickRow(0);
    EXPECT_EQ(TitleBox()->text(), Q("second"));
    EXPECT_FALSE(Presenter().TitlePending());
}

// What the edit boxes let the user type: the title at most 31 characters, without the
// field separator or line ends; the follow box four digits, though it shows a longer value.
TEST_F(WiringTest, TheEditBoxesTakeWhatTheirRulesAllow) {
    OpenWithRoms({"first", "second"});
    Click(ControlId::TogglePanel);
    Retype(TitleBox(), Q("A Title Of Exactly 31 Characters"));
    EXPECT_EQ(TitleBox()->text(), Q("A Title Of Exactly 31 Character"));
    Retype(TitleBox(), Q("Caf"));
    for (const QString& typed : {Q("\u00e9"), Q("\u00ac"), Q(" "), Q("\u0142")})
        QTest::sendKeyEvent(QTest::Click, TitleBox(), Qt::Key_unknown, typed, Qt::NoModifier);
    TitleBox()->insert(Q("x\ny"));
    EXPECT_EQ(TitleBox()->text(), Q("Caf\u00e9 \u0142"));
    ClickRow(1);
    EXPECT_EQ(Presenter().Roms().At(0).title, "Caf\xE9 ?");
    EXPECT_EQ(ListTexts().front(), Q("Caf\u00e9 ?"));

    auto* follow = Get<QLineEdit>(ControlId::FollowValue);
    Retype(follow, Q("12a-3456"));
    EXPECT_EQ(follow->text(), Q("1234"));
}

TEST_F(WiringTest, OnlyTheListTakesDrops) {
    Rom("a.nes");
    Open();
    Click(ControlId::TogglePanel);
    for (const ControlTemplate& control : kWindowTemplate) {
        if (control.id != ControlId::List) {
            EXPECT_FALSE(window->Control(control.id)->acceptDrops()) << static_cast<int>(control.id);
        }
    }
    Drop({Q(Dir() / "a.nes")}, window->Control(ControlId::Title));
    Drop({Q(Dir() / "a.nes")}, window->Control(ControlId::OutputPath));
    EXPECT_EQ(List()->count(), 0);

    // Data without local files is refused by the list as well.
    QMimeData data;
    data.setUrls({QUrl(Q("https://example.invalid/a.nes"))});
    data.setText(Q("a.nes"));
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(List()->viewport(), &enter);
    EXPECT_FALSE(enter.isAccepted());

    Drop({Q(Dir() / "a.nes")});
    EXPECT_EQ(ListTexts(), QStringList{Q("a")});
}

TEST_F(WiringTest, EscapeEndsWithoutStoringTheSwitchesAndTheCloseBoxStoresThem) {
    Open();
    Click(ControlId::RestoreList);
    List()->setFocus();
    QTest::keyClick(List(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(Setting("savelist"), "<missing>");

    Reopen();
    Click(ControlId::RestoreList);
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(Setting("savelist"), "1");
    Reopen();
    EXPECT_TRUE(Get<QCheckBox>(ControlId::RestoreList)->isChecked());
}

TEST_F(WiringTest, EnterNeverEndsTheWindow) {
    OpenWithRoms({"a"});
    Click(ControlId::TogglePanel);
    for (QWidget* target : {static_cast<QWidget*>(List()), window->Control(ControlId::Title)}) {
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Return);
        QTest::keyClick(target, Qt::Key_Enter, Qt::KeypadModifier);
        EXPECT_TRUE(window->isVisible()) << target->metaObject()->className();
    }
    EXPECT_TRUE(dialogs.requests.empty());

    // A focused push button answers Enter as a click.
    window->Control(ControlId::TogglePanel)->setFocus();
    QTest::keyClick(window->Control(ControlId::TogglePanel), Qt::Key_Return);
    EXPECT_FALSE(Presenter().PanelShown());
    EXPECT_TRUE(window->isVisible());
}

// A finished build ends the window once its handler has returned, after "Done!".
TEST_F(WiringTest, AFinishedBuildEndsTheWindowAfterDone) {
    WriteFile(Dir() / "Vantaro.GBA", "emulator");
    WriteSettings("outputfile=out.gba\r\n");
    OpenWithRoms({"a"});
    Click(ControlId::Build);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "Done!");
    EXPECT_TRUE(window->isVisible());
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(fs::exists(Dir() / "out.gba"));
}

TEST_F(WiringTest, TheTotalShowsItsWarningInColourWithItsReason) {
    WriteFile(Dir() / "Vantaro.GBA", "x");
    fs::resize_file(Dir() / "Vantaro.GBA", 32u * 1024 * 1024 - 50000);
    Open();
    Click(ControlId::TogglePanel);
    auto* total = Get<QLabel>(ControlId::Total);
    const QColor normal = total->palette().color(QPalette::WindowText);
    Click(ControlId::Splash);
    ASSERT_TRUE(Presenter().TotalWarns());
    for (ControlId id : {ControlId::Total, ControlId::TotalCaption}) {
        auto* label = Get<QLabel>(id);
        EXPECT_NE(label->palette().color(QPalette::WindowText), normal);
        EXPECT_TRUE(label->toolTip().startsWith(Q("The image would take "))) << label->toolTip().toStdString();
    }
    Click(ControlId::Splash);
    EXPECT_EQ(total->palette().color(QPalette::WindowText), normal);
    EXPECT_TRUE(total->toolTip().isEmpty());
}

TEST_F(WiringTest, DestroyingTheWindowWhileTheTitleIsBeingEditedIsSafe) {
    OpenWithRoms({"first", "second"});
    Click(ControlId::TogglePanel);
    Retype(TitleBox(), Q("Unfinished"));
    ASSERT_EQ(QApplication::focusWidget(), TitleBox());
    window.reset(); // still shown: the title box loses the focus while the window goes
    EXPECT_EQ(database->Size(), 0u);
}

// A screen reader selects an item through its accessible "Toggle" action, which clears the
// list's selection before it selects the item, while the focus stays in the title box.
TEST_F(WiringTest, ASelectionMadeThroughAccessibilityShowsTheItemAndKeepsTheTypedTitle) {
    OpenWithRoms({"first", "second"});
    Click(ControlId::TogglePanel);
    Retype(TitleBox(), Q("Typed for first"));
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(List());
    ASSERT_NE(list, nullptr);
    QAccessibleInterface* second = list->child(1);
    ASSERT_NE(second, nullptr);
    ASSERT_NE(second->actionInterface(), nullptr);
    second->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());

    EXPECT_EQ(ShownRow(), 1);
    EXPECT_EQ(List()->selectedItems().size(), 1);
    EXPECT_EQ(Get<QLabel>(ControlId::FileName)->text(), Q("second.nes"));
    EXPECT_EQ(Presenter().Roms().At(0).title, "Typed for first");
    EXPECT_EQ(ListTexts().front(), Q("Typed for first"));
}

// The progress dialog appears only once the build has lasted half a second; it names the ROM
// being written, is modal and has no cancel button. Timers run inside the build, which lets
// events through at every ROM.
TEST_F(WiringTest, LongBuildShowsModalProgressNamingTheRom) {
    WriteFile(Dir() / "Vantaro.GBA", "emulator");
    for (std::uint32_t i = 0; i < 4; ++i)
        Rom("rom" + std::to_string(i) + ".nes", 1024, i + 1);
    GameDatabase records;
    records.Store(RomCrc(1024, 2), Record("Caf\xE9"));
    WriteDatabaseFile(Dir() / "games.lst", records);
    WriteSettings("outputfile=out.gba\r\nquorrel=games.lst\r\n");
    Open();
    Drop({Q(Dir() / "rom0.nes"), Q(Dir() / "rom1.nes"), Q(Dir() / "rom2.nes"), Q(Dir() / "rom3.nes")});

    // The progress dialog as seen at a moment: shown or hidden, modal, its buttons and label.
    const auto look = [this] {
        auto* progress = window->findChild<QProgressDialog*>();
        if (progress == nullptr)
            return Q("none");
        return QStringLiteral("%1 %2 buttons:%3 %4")
            .arg(progress->isVisible() ? Q("shown") : Q("hidden"), progress->isModal() ? Q("modal") : Q("modeless"))
            .arg(progress->findChildren<QPushButton*>().size())
            .arg(progress->labelText());
    };
    QString atStart;
    QString afterWait;
    std::function<void()> first = [&] {
        if (window->findChild<QProgressDialog*>() == nullptr) {
            QTimer::singleShot(0, first); // the build has not started yet
            return;
        }
        atStart = look();
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
        QTimer::singleShot(0, [&] { afterWait = look(); });
    };
    QTimer::singleShot(0, first);
    Click(ControlId::Build);

    EXPECT_TRUE(atStart.startsWith(Q("hidden "))) << atStart.toStdString();
    EXPECT_TRUE(atStart.endsWith(Q("Writing rom0..."))) << atStart.toStdString();
    EXPECT_EQ(afterWait.toStdString(), "shown modal buttons:0 Writing Caf\u00E9...");
    // Gone before "Done!".
    EXPECT_EQ(window->findChild<QProgressDialog*>(), nullptr);
    EXPECT_EQ(dialogs.messages.size(), 1u);
}

} // namespace
} // namespace brimble::test
