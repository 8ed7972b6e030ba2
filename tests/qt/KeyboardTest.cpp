#include "UiTestSupport.h"

#include <QApplication>
#include <QMenu>
#include <QTest>

namespace brimble::test {
namespace {

class KeyboardTest : public WindowTest {
protected:
    // Three ROMs a, b, c in this order, the first selected, the list focused.
    void OpenWithThree() {
        OpenWithRoms({"a", "b", "c"});
        List()->setFocus();
    }
    void Press(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        target->setFocus();
        QTest::keyClick(target, key, modifiers);
    }
};

TEST_F(KeyboardTest, DeleteInTheListRemovesTheSelectedRom) {
    OpenWithThree();
    ClickRow(1);
    Press(List(), Qt::Key_Delete);
    EXPECT_EQ(ListTexts(), (QStringList{Q("a"), Q("c")}));
    EXPECT_EQ(QApplication::focusWidget(), List());
}

TEST_F(KeyboardTest, CtrlArrowsMoveTheEntryAndPlainArrowsMoveTheSelection) {
    OpenWithThree();
    QTest::keyClick(List(), Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(ListTexts(), (QStringList{Q("b"), Q("a"), Q("c")}));
    ExpectShown(1, "a");
    QTest::keyClick(List(), Qt::Key_Down);
    EXPECT_EQ(ListTexts(), (QStringList{Q("b"), Q("a"), Q("c")}));
    ExpectShown(2, "c");
    EXPECT_EQ(QApplication::focusWidget(), List());
}

TEST_F(KeyboardTest, InsertInTheListAndCtrlOAnywhereOpenTheAddDialog) {
    Rom("d.nes", 500, 4);
    OpenWithThree();
    dialogs.Choose({Dir() / "d.nes"});
    Press(List(), Qt::Key_Insert);
    EXPECT_EQ(ListTexts(), (QStringList{Q("a"), Q("b"), Q("c"), Q("d")}));

    Click(ControlId::TogglePanel);
    const ControlId anywhere[] = {ControlId::Title, ControlId::OutputPath, ControlId::Autonumber};
    std::size_t asked = dialogs.requests.size();
    for (ControlId id : anywhere) {
        Press(window->Control(id), Qt::Key_O, Qt::ControlModifier);
        ASSERT_EQ(dialogs.requests.size(), ++asked) << static_cast<int>(id);
        EXPECT_EQ(dialogs.requests.back().title, "Add NES files...");
    }
    // Insert outside the list adds nothing.
    Press(window->Control(ControlId::OutputPath), Qt::Key_Insert);
    EXPECT_EQ(dialogs.requests.size(), asked);
}

TEST_F(KeyboardTest, MenuKeyAndShiftF10OpenTheListsMenuWhichTheKeysThenDrive) {
    OpenWithThree();
    QMenu* menu = window->CommandMenu();
    for (const auto& [key, modifiers] : {std::pair{Qt::Key_Menu, Qt::KeyboardModifiers(Qt::NoModifier)},
                                         std::pair{Qt::Key_F10, Qt::KeyboardModifiers(Qt::ShiftModifier)}}) {
        Press(List(), key, modifiers);
        ASSERT_EQ(QApplication::activePopupWidget(), menu) << key;
        // Opened at the list, where the keyboard user is.
        EXPECT_TRUE(List()->rect().contains(List()->mapFromGlobal(menu->geometry().topLeft()))) << key;
        QTest::keyClick(menu, Qt::Key_Escape);
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << key;
        EXPECT_EQ(QApplication::focusWidget(), List()) << key;
    }

    // Down and Enter in the opened menu run its first command.
    dialogs.Cancel();
    Press(List(), Qt::Key_Menu);
    ASSERT_EQ(QApplication::activePopupWidget(), menu);
    QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Return);
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].title, "Locate Vantaro.GBA...");
    EXPECT_TRUE(window->isVisible());
}

} // namespace
} // namespace brimble::test
