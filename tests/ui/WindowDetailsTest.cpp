#include "UiTestSupport.h"
#include "ui/UpDownControl.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <fstream>

namespace brimble::test {
namespace {

class DetailsTest : public WindowTest {
protected:
    QLineEdit* TitleBox() const { return qobject_cast<QLineEdit*>(window->Control(ControlId::Title)); }
    QLineEdit* FollowBox() const { return qobject_cast<QLineEdit*>(window->Control(ControlId::FollowValue)); }
    QCheckBox* Box(ControlId id) const { return qobject_cast<QCheckBox*>(window->Control(id)); }
    QRadioButton* Radio(ControlId id) const { return qobject_cast<QRadioButton*>(window->Control(id)); }

    // Two ROMs in the list, the panel shown, the first selected.
    void OpenWithTwo() {
        OpenWithRoms({"first", "second"});
        Click(ControlId::TogglePanel);
    }
    // Types into a box as the user does: click, select all, type.
    void Retype(QLineEdit* box, const QString& text) {
        QTest::mouseClick(box, Qt::LeftButton);
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
    }
    const GameRecord* RecordOf(std::size_t position) const { return database->Find(window->Roms().At(position).crc); }
};

TEST_F(DetailsTest, NoSelectionLeavesThePanelBlankAndDisabled) {
    Open();
    Click(ControlId::TogglePanel);
    for (ControlId id : {ControlId::Title, ControlId::FollowValue, ControlId::PpuSpeedHack, ControlId::NoCpuSpeedHack,
                         ControlId::PalTiming, ControlId::FollowSprite, ControlId::FollowMemory})
        EXPECT_FALSE(window->Control(id)->isEnabled()) << static_cast<int>(id);
    EXPECT_TRUE(Get<QLabel>(ControlId::FileName)->text().isEmpty());
    // The global switches stay usable.
    EXPECT_TRUE(window->Control(ControlId::Autonumber)->isEnabled());
}

TEST_F(DetailsTest, ExtraFlagBitsAreShownByTheirBoxesAndDroppedAtCommit) {
    Rom("a.nes", 1000, 1);
    Rom("b.nes", 1000, 2);
    GameDatabase records;
    records.Store(RomCrc(1000, 1), Record("Fifteen", 0x0F, -1));
    WriteDatabaseFile(Dir() / "goodQuorrel.lst", records);
    Open();
    Drop({Q(Dir() / "a.nes"), Q(Dir() / "b.nes")});
    Click(ControlId::TogglePanel);
    EXPECT_TRUE(Box(ControlId::PpuSpeedHack)->isChecked());
    EXPECT_TRUE(Box(ControlId::NoCpuSpeedHack)->isChecked());
    EXPECT_TRUE(Box(ControlId::PalTiming)->isChecked());
    EXPECT_EQ(FollowBox()->text(), Q("-1"));
    ClickRow(1);
    ASSERT_NE(RecordOf(0), nullptr);
    EXPECT_EQ(RecordOf(0)->flags, 0x07u);
}

TEST_F(DetailsTest, OptionsSurviveMovingTheSelectionAway) {
    OpenWithTwo();
    Click(ControlId::PalTiming);
    Click(ControlId::FollowMemory);
    ClickRow(1);
    EXPECT_FALSE(Box(ControlId::PalTiming)->isChecked());
    EXPECT_TRUE(Radio(ControlId::FollowSprite)->isChecked());
    ClickRow(0);
    EXPECT_TRUE(Box(ControlId::PalTiming)->isChecked());
    EXPECT_TRUE(Radio(ControlId::FollowMemory)->isChecked());
    ASSERT_NE(RecordOf(0), nullptr);
    EXPECT_EQ(RecordOf(0)->flags, kPalTiming | kFollowMemory);
    // The keyboard moves the selection too, and commits as a click does.
    Click(ControlId::PpuSpeedHack);
    List()->setFocus();
    QTest::keyClick(List(), Qt::Key_Down);
    EXPECT_EQ(window->Roms().Selection(), 1);
    EXPECT_EQ(window->Roms().At(0).flags, kPalTiming | kFollowMemory | kPpuSpeedHack);
}

// "010" is ten, not the octal eight.
TEST_F(DetailsTest, FollowBoxIsReadAsTheDecimalNumberItShows) {
    OpenWithTwo();
    Retype(FollowBox(), Q("010"));
    ClickRow(1);
    EXPECT_EQ(window->Roms().At(0).follow, 10);
    ClickRow(0);
    EXPECT_EQ(FollowBox()->text(), Q("10"));
}

TEST_F(DetailsTest, FollowBoxTakesFourDigitsButShowsALongerStoredValueWhole) {
    Rom("a.nes", 1000, 1);
    Rom("b.nes", 1000, 2);
    GameDatabase records;
    records.Store(RomCrc(1000, 1), Record("A long follow", 0, 12345678));
    WriteDatabaseFile(Dir() / "goodQuorrel.lst", records);
    Open();
    Drop({Q(Dir() / "a.nes"), Q(Dir() / "b.nes")});
    Click(ControlId::TogglePanel);
    EXPECT_EQ(FollowBox()->text(), Q("12345678"));
    Click(ControlId::Sort); // commits
    EXPECT_EQ(window->Roms().At(0).follow, 12345678);

    ClickRow(1);
    Retype(FollowBox(), Q("12a-3456"));
    EXPECT_EQ(FollowBox()->text(), Q("1234"));
}

TEST_F(DetailsTest, TitleIsStoredWhenTheBoxLosesTheFocus) {
    OpenWithTwo();
    const QString full = Q("A Title Of Exactly 31 Characters");
    Retype(TitleBox(), full);
    EXPECT_EQ(TitleBox()->text(), full.left(31)); // the 32nd is refused
    // Clicking another item: the title goes to the entry it was typed for.
    ClickRow(1);
    EXPECT_EQ(window->Roms().At(0).title, "A Title Of Exactly 31 Character");
    EXPECT_EQ(List()->item(0)->text(), full.left(31));
    ASSERT_NE(RecordOf(0), nullptr);
    EXPECT_EQ(RecordOf(0)->title, "A Title Of Exactly 31 Character");

    // Leaving the box for another control stores too.
    Retype(TitleBox(), Q("Other"));
    QTest::mouseClick(window->Control(ControlId::PalTiming), Qt::LeftButton);
    EXPECT_EQ(window->Roms().At(1).title, "Other");
}

TEST_F(DetailsTest, TitleTextIsWindows1252) {
    OpenWithTwo();
    // The separator typed and line ends pasted are refused; é is a Windows-1252 byte; the
    // snowman has no Windows-1252 form.
    Retype(TitleBox(), Q("Caf"));
    for (const QString& typed : {Q("\u00e9"), Q("\u00ac"), Q(" "), Q("\u2603")})
        QTest::sendKeyEvent(QTest::Click, TitleBox(), Qt::Key_unknown, typed, Qt::NoModifier);
    EXPECT_EQ(TitleBox()->text(), Q("Caf\u00e9 \u2603"));
    TitleBox()->insert(Q("x\ny"));
    EXPECT_EQ(TitleBox()->text(), Q("Caf\u00e9 \u2603"));
    ClickRow(1);
    EXPECT_EQ(window->Roms().At(0).title, "Caf\xE9 ?");
    EXPECT_EQ(List()->item(0)->text(), Q("Caf\u00e9 ?"));
}

TEST_F(DetailsTest, TitleIsStoredBeforeAMoveThatLeavesTheFocusInTheBox) {
    OpenWithTwo();
    Retype(TitleBox(), Q("Renamed"));
    ASSERT_EQ(QApplication::focusWidget(), TitleBox());
    // The arrows take no focus when clicked; the title must still reach the moved entry.
    auto* arrows = qobject_cast<UpDownControl*>(window->Control(ControlId::UpDown));
    QTest::mouseClick(arrows->DownButton(), Qt::LeftButton);
    EXPECT_EQ(ListTexts(), (QStringList{Q("second"), Q("Renamed")}));
    EXPECT_EQ(window->Roms().At(1).title, "Renamed");
}

TEST_F(DetailsTest, DestroyingTheWindowWhileTheTitleIsBeingEditedIsSafe) {
    OpenWithTwo();
    Retype(TitleBox(), Q("Unfinished"));
    ASSERT_EQ(QApplication::focusWidget(), TitleBox());
    window.reset(); // still shown: the title box loses the focus while the window goes
    EXPECT_EQ(database->Size(), 0u);
}

TEST_F(DetailsTest, TotalWarnsWhileTheImageWouldOutgrowACartridge) {
    // A sparse stand-in emulator image just under the largest cartridge.
    {
        std::ofstream(Dir() / "Vantaro.GBA").put('x');
        std::filesystem::resize_file(Dir() / "Vantaro.GBA", 32u * 1024 * 1024 - 50000);
    }
    Rom("a.nes", 1000, 1);
    Open();
    Click(ControlId::TogglePanel);
    auto* total = Get<QLabel>(ControlId::Total);
    const QColor normal = total->palette().color(QPalette::WindowText);
    EXPECT_FALSE(window->TotalWarns());

    Click(ControlId::Splash); // 76,800 more bytes
    EXPECT_TRUE(window->TotalWarns());
    EXPECT_NE(total->palette().color(QPalette::WindowText), normal);
    EXPECT_FALSE(total->toolTip().isEmpty());

    Click(ControlId::Splash);
    EXPECT_FALSE(window->TotalWarns());
    EXPECT_EQ(total->palette().color(QPalette::WindowText), normal);
}

// A screen reader selects an item through its accessible "Toggle" action, which clears the
// list's selection before it selects the item, while the focus stays in the title box.
TEST_F(DetailsTest, ASelectionMadeThroughAccessibilityShowsTheItemAndKeepsTheTypedTitle) {
    OpenWithTwo();
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
    EXPECT_EQ(window->Roms().At(0).title, "Typed for first");
    EXPECT_EQ(ListTexts().front(), Q("Typed for first"));
}

} // namespace
} // namespace brimble::test
