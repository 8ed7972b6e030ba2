#include "UiTestSupport.h"

#include <QApplication>
#include <QLineEdit>
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
    const std::uint64_t full = window->Roms().Total();
    ClickRow(1);
    Press(List(), Qt::Key_Delete);
    EXPECT_EQ(ListTexts(), (QStringList{Q("a"), Q("c")}));
    ExpectShown(1, "c");
    EXPECT_EQ(window->Roms().Total(), full - (2000 + 16 + 48));
    EXPECT_EQ(QApplication::focusWidget(), List());
}

TEST_F(KeyboardTest, CtrlArrowsMoveTheEntryAndPlainArrowsMoveTheSelection) {
    OpenWithThree();
    struct Step {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* order;
        int row;
        const char* title;
    };
    const Step steps[] = {
        {Qt::Key_Up, Qt::ControlModifier, "abc", 0, "a"}, // already first
        {Qt::Key_Down, Qt::ControlModifier, "bac", 1, "a"}, {Qt::Key_Down, Qt::ControlModifier, "bca", 2, "a"},
        {Qt::Key_Down, Qt::ControlModifier, "bca", 2, "a"}, // already last
        {Qt::Key_Up, Qt::ControlModifier, "bac", 1, "a"},   {Qt::Key_Down, Qt::NoModifier, "bac", 2, "c"},
        {Qt::Key_Up, Qt::NoModifier, "bac", 1, "a"},
    };
    for (const Step& step : steps) {
        QTest::keyClick(List(), step.key, step.modifiers);
        QStringList order;
        for (const char* c = step.order; *c != '\0'; ++c)
            order.append(QString(QLatin1Char(*c)));
        EXPECT_EQ(ListTexts(), order) << step.order;
        ExpectShown(step.row, step.title);
        EXPECT_EQ(QApplication::focusWidget(), List()) << step.order;
    }
    EXPECT_EQ(window->Roms().At(1).crc, RomCrc(1000, 1));
}

TEST_F(KeyboardTest, InsertInTheListAndCtrlOAnywhereOpenTheAddDialog) {
    Rom("d.nes", 500, 4);
    OpenWithThree();
    dialogs.Choose({Q(Dir() / "d.nes")});
    Press(List(), Qt::Key_Insert);
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].title, Q("Add NES files..."));
    EXPECT_EQ(ListTexts(), (QStringList{Q("a"), Q("b"), Q("c"), Q("d")}));

    Click(ControlId::TogglePanel);
    const ControlId anywhere[] = {ControlId::List,        ControlId::Title,      ControlId::FollowValue,
                                  ControlId::OutputPath,  ControlId::Autonumber, ControlId::TogglePanel,
                                  ControlId::ChooseSplash};
    std::size_t asked = dialogs.requests.size();
    for (ControlId id : anywhere) {
        Press(window->Control(id), Qt::Key_O, Qt::ControlModifier);
        ASSERT_EQ(dialogs.requests.size(), ++asked) << static_cast<int>(id);
        EXPECT_EQ(dialogs.requests.back().mode, FileDialogRequest::Mode::OpenMany);
        EXPECT_EQ(dialogs.requests.back().title, Q("Add NES files..."));
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
    EXPECT_EQ(dialogs.requests[0].title, Q("Locate Vantaro.GBA..."));
    EXPECT_TRUE(window->isVisible());
}

} // namespace
} // namespace brimble::test
