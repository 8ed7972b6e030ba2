#include "UiTestSupport.h"
#include "ui/UpDownControl.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMimeData>
#include <QTest>
#include <QToolButton>

namespace brimble::test {
namespace {

class ListTest : public WindowTest {
protected:
    std::string LastDir() const { return Setting("lastdir"); }
    UpDownControl* Arrows() const { return qobject_cast<UpDownControl*>(window->Control(ControlId::UpDown)); }
};

TEST_F(ListTest, AddingOneFileThroughTheDialog) {
    const auto rom = Rom("roms/Game_(U).nes", 40976 - 16);
    Open();
    AddThroughDialog({Q(rom)});
    ExpectShown(0, "Game");
    EXPECT_EQ(LastDir(), (Dir() / "roms").string());
    EXPECT_EQ(Get<QLabel>(ControlId::Total)->text(), Q("40k"));
}

TEST_F(ListTest, SeveralFilesArriveInTheDialogsOrderAndNonNesFilesAreSkipped) {
    Rom("z.nes", 100, 1);
    Rom("y.nes", 200, 2);
    WriteFile(Dir() / "text.nes", "not a ROM at all");
    Rom("first.nes", 300, 3);
    Open();
    AddThroughDialog({Q(Dir() / "first.nes")});
    ExpectShown(0, "first");
    AddThroughDialog({Q(Dir() / "z.nes"), Q(Dir() / "text.nes"), Q(Dir() / "missing.nes"), Q(Dir() / "y.nes")});
    EXPECT_EQ(ListTexts(), (QStringList{Q("first"), Q("z"), Q("y")}));
    // Adding to a list that has a selection leaves the selection and the panel alone.
    ExpectShown(0, "first");
}

TEST_F(ListTest, LastDirChangesWithEveryChosenFileEvenOneThatCannotBeAdded) {
    std::filesystem::create_directories(Dir() / "other");
    WriteFile(Dir() / "other" / "bad.nes", "nes\x1a lower case is no signature");
    WriteSettings("lastdir=/somewhere\r\n");
    Open();
    dialogs.Cancel();
    Click(ControlId::Add);
    EXPECT_EQ(dialogs.requests[0].initialDirectory, Q("/somewhere"));
    AddThroughDialog({Q(Dir() / "other" / "bad.nes")});
    EXPECT_EQ(List()->count(), 0);
    EXPECT_EQ(LastDir(), (Dir() / "other").string());
}

// Each dropped file is taken from its own folder; onto an empty list the first file that
// could be added is shown.
TEST_F(ListTest, DroppedFilesAreEachTakenFromTheirOwnFolder) {
    WriteFile(Dir() / "junk.nes", "junk");
    Rom("one/a.nes", 1000, 1);
    Rom("two/b.nes", 2000, 2);
    Rom("one/b.nes", 5000, 5); // same name as the second file, in the first file's folder
    Open();
    Drop({Q(Dir() / "junk.nes"), Q(Dir() / "one" / "a.nes"), Q(Dir() / "two" / "b.nes")});
    EXPECT_EQ(ListTexts(), (QStringList{Q("a"), Q("b")}));
    ExpectShown(0, "a");
    EXPECT_EQ(window->Roms().At(1).directory, Dir() / "two");
    EXPECT_EQ(window->Roms().At(1).crc, RomCrc(2000, 2));
}

TEST_F(ListTest, OnlyTheListTakesDrops) {
    Rom("a.nes");
    Open();
    Click(ControlId::TogglePanel);
    for (const ControlTemplate& control : kWindowTemplate) {
        QWidget* widget = window->Control(control.id);
        if (control.id != ControlId::List) {
            EXPECT_FALSE(widget->acceptDrops()) << static_cast<int>(control.id);
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
    EXPECT_EQ(List()->count(), 0);
    EXPECT_EQ(LastDir(), "<missing>");
}

TEST_F(ListTest, RemovingKeepsSelectionTotalAndPanelInStep) {
    OpenWithRoms({"a", "b", "c"});
    // The middle one: its follower takes its place.
    ClickRow(1);
    ExpectShown(1, "b");
    Click(ControlId::Remove);
    EXPECT_EQ(ListTexts(), (QStringList{Q("a"), Q("c")}));
    ExpectShown(1, "c");
    EXPECT_EQ(Get<QLabel>(ControlId::Total)->text(), Q("4k")); // 1,064 + 3,064 bytes
}

TEST_F(ListTest, RemovingTheOnlyItemClearsThePanel) {
    Rom("a.nes", 1000);
    Open();
    Click(ControlId::TogglePanel);
    Drop({Q(Dir() / "a.nes")});
    EXPECT_TRUE(window->Control(ControlId::Title)->isEnabled());
    // What was checked for the entry goes with it: nothing reaches the database.
    Click(ControlId::PalTiming);
    Click(ControlId::Remove);
    EXPECT_EQ(List()->count(), 0);
    ExpectShown(-1, "");
    EXPECT_FALSE(window->Control(ControlId::Title)->isEnabled());
    EXPECT_FALSE(Get<QCheckBox>(ControlId::PalTiming)->isChecked());
    EXPECT_EQ(database->Size(), 0u);
}

TEST_F(ListTest, ArrowsMoveTheSelectedEntryAndTheFocusFollows) {
    OpenWithRoms({"a", "b", "c"});
    List()->setFocus();
    // At the top, up changes nothing and leaves the focus where it was.
    QTest::mouseClick(Arrows()->UpButton(), Qt::LeftButton);
    EXPECT_EQ(ListTexts(), (QStringList{Q("a"), Q("b"), Q("c")}));
    EXPECT_EQ(QApplication::focusWidget(), List());

    QTest::mouseClick(Arrows()->DownButton(), Qt::LeftButton);
    EXPECT_EQ(ListTexts(), (QStringList{Q("b"), Q("a"), Q("c")}));
    ExpectShown(1, "a");
    EXPECT_EQ(QApplication::focusWidget(), Arrows());

    // The arrow keys move it further while the control has the focus.
    QTest::keyClick(Arrows(), Qt::Key_Down);
    ExpectShown(2, "a");
}

TEST_F(ListTest, MovingNeitherCommitsNorRefreshesThePanel) {
    OpenWithRoms({"a", "b", "c"});
    Click(ControlId::TogglePanel);
    Click(ControlId::PalTiming);
    QTest::mouseClick(Arrows()->DownButton(), Qt::LeftButton);
    EXPECT_EQ(window->Roms().At(1).flags, 0u); // not committed yet
    EXPECT_TRUE(Get<QCheckBox>(ControlId::PalTiming)->isChecked());
    EXPECT_EQ(database->Size(), 0u);
    // Selecting another entry commits to the moved one, wherever it went.
    ClickRow(2);
    EXPECT_EQ(window->Roms().At(1).title, "a");
    EXPECT_EQ(window->Roms().At(1).flags, kPalTiming);
    ASSERT_NE(database->Find(RomCrc(1000, 1)), nullptr);
    EXPECT_EQ(database->Find(RomCrc(1000, 1))->flags, kPalTiming);
}

TEST_F(ListTest, SortOrdersByTitleCaseInsensitivelyAndKeepsEqualTitlesInOrder) {
    Rom("b.nes", 100, 1);
    Rom("one/Same.nes", 100, 5);
    Rom("two/same.nes", 100, 6);
    Open();
    Drop({Q(Dir() / "one" / "Same.nes"), Q(Dir() / "b.nes"), Q(Dir() / "two" / "same.nes")});
    Click(ControlId::Sort);
    EXPECT_EQ(ListTexts(), (QStringList{Q("b"), Q("Same"), Q("same")}));
    EXPECT_EQ(window->Roms().At(1).directory, Dir() / "one");
    EXPECT_EQ(window->Roms().At(2).directory, Dir() / "two");
}

TEST_F(ListTest, SortCommitsThePanelFirstAndAnEmptyListDoesNothing) {
    Open();
    Click(ControlId::Sort);
    EXPECT_EQ(window->Roms().Selection(), -1);
    EXPECT_EQ(database->Size(), 0u);
    Rom("b.nes", 100, 1);
    Rom("a.nes", 100, 2);
    Drop({Q(Dir() / "b.nes"), Q(Dir() / "a.nes")});
    Click(ControlId::TogglePanel);
    Click(ControlId::PalTiming);
    Click(ControlId::Sort);
    EXPECT_EQ(ListTexts(), (QStringList{Q("a"), Q("b")}));
    EXPECT_EQ(window->Roms().At(1).flags, kPalTiming);
    ASSERT_NE(database->Find(RomCrc(100, 1)), nullptr);
    ExpectShown(0, "a");
    EXPECT_FALSE(Get<QCheckBox>(ControlId::PalTiming)->isChecked());
}

} // namespace
} // namespace brimble::test
