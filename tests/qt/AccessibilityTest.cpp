#include "UiTestSupport.h"

#include <QAccessible>
#include <QApplication>
#include <QMenu>
#include <QMetaEnum>
#include <QTimer>
#include <algorithm>

namespace brimble::test {
namespace {

// A node of the accessibility tree as an assistive technology reads it: role, name and
// description, the way a screen reader announces it.
std::string Announced(QAccessibleInterface* node) {
    // PushButton shares its value with the older Button, whose key the enum gives first.
    const char* role = node->role() == QAccessible::PushButton
                           ? "PushButton"
                           : QMetaEnum::fromType<QAccessible::Role>().valueToKey(node->role());
    return std::string(role != nullptr ? role : "?") + " | " + node->text(QAccessible::Name).toStdString() + " | " +
           node->text(QAccessible::Description).toStdString();
}

// Every node below the root, depth first, by the interfaces alone.
void Walk(QAccessibleInterface* node, std::vector<QAccessibleInterface*>& nodes) {
    ASSERT_NE(node, nullptr);
    ASSERT_TRUE(node->isValid());
    nodes.push_back(node);
    for (int i = 0; i < node->childCount(); ++i)
        Walk(node->child(i), nodes);
}

std::vector<std::string> AnnouncedTree(QObject* root) {
    std::vector<QAccessibleInterface*> nodes;
    Walk(QAccessible::queryAccessibleInterface(root), nodes);
    std::vector<std::string> announced;
    for (QAccessibleInterface* node : nodes)
        announced.push_back(Announced(node));
    std::sort(announced.begin(), announced.end());
    return announced;
}

using AccessibilityTest = WindowTest;

TEST_F(AccessibilityTest, EveryControlIsAnnouncedByItsRoleNameAndDescription) {
    Rom("a.nes", 40960, 1); // 40k with its headers
    Rom("b.nes", 20480, 2); // 20k
    Open();
    Drop({Q(Dir() / "a.nes"), Q(Dir() / "b.nes")});
    Click(ControlId::TogglePanel);

    std::vector<std::string> expected = {
        "Dialog | Brimble 1.1 | ",
        "List | ROM list | ",
        "ListItem | a | ",
        "ListItem | b | ",
        // Icon buttons and arrows: their tooltips give the description.
        "PushButton | Add ROMs | Add ROMs",
        "PushButton | Remove ROM | Remove ROM",
        "PushButton | sort | ",
        "Client |  | ", // the up-down control, holding its two arrows
        "PushButton | Move up | Move up",
        "PushButton | Move down | Move down",
        "PushButton | Build | Build",
        "EditableText | Output file | ",
        "PushButton | Choose output file | Choose output file",
        "CheckBox | restore rom list on startup | ",
        "PushButton | << Hide | ",
        "EditableText | Title | ",
        "CheckBox | enable PPU speed hack | ",
        "CheckBox | disable CPU speed hack | ",
        "CheckBox | use PAL timing | ",
        "RadioButton | follow sprite | ",
        "RadioButton | follow mem | ",
        "EditableText | Follow value | ",
        "CheckBox | autonumber | ",
        "CheckBox | splash screen | ",
        "CheckBox | flag <190k | ",
        "EditableText | Splash file | ",
        "PushButton | Choose splash file | Choose splash file",
        "StaticText | a.nes | File name",
        "StaticText | 40k | ROM size",
        "StaticText | Total | ",
        "StaticText | 60k | Total size",
        "Grouping | ROM details | ",
        "ButtonMenu | Menu | Menu",
    };
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(AnnouncedTree(window.get()), expected);

    // The toggle is announced by its caption either way.
    Click(ControlId::TogglePanel);
    const auto hidden = AnnouncedTree(window.get());
    EXPECT_EQ(std::count(hidden.begin(), hidden.end(), "PushButton | More >> | "), 1);

    // The menu button's items keep their texts.
    std::vector<std::string> menu = {"PopupMenu |  | ", "MenuItem | Locate Vantaro.GBA... | ", "Separator |  | ",
                                     "MenuItem | Locate GoodNES database... | ",
                                     "MenuItem | Locate Quorrel database... | "};
    std::sort(menu.begin(), menu.end());
    EXPECT_EQ(AnnouncedTree(window->CommandMenu()), menu);
}

TEST_F(AccessibilityTest, AMessageIsReadAndAnsweredThroughItsOkButton) {
    QtDialogProvider provider;
    std::vector<std::string> announced;
    bool pressed = false;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        if (box == nullptr)
            return;
        std::vector<QAccessibleInterface*> nodes;
        Walk(QAccessible::queryAccessibleInterface(box), nodes);
        for (QAccessibleInterface* node : nodes) {
            if (node->role() == QAccessible::Graphic || node->role() == QAccessible::Grouping)
                continue; // the icon, and the box around the buttons
            announced.push_back(Announced(node));
            if (node->role() == QAccessible::PushButton && node->text(QAccessible::Name) == Q("OK") &&
                node->actionInterface() != nullptr) {
                node->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
                pressed = true;
            }
        }
        if (!pressed)
            qobject_cast<QDialog*>(box)->reject(); // never leave the test waiting on the box
    });
    provider.ShowMessage(nullptr, {"Can't open Vantaro.GBA.", "Oh no!", MessageIcon::Error});
    EXPECT_TRUE(pressed);
    EXPECT_EQ(announced, (std::vector<std::string>{"AlertMessage | Oh no! | ",
                                                   "StaticText | Can't open Vantaro.GBA. | ", "PushButton | OK | "}));
}

} // namespace
} // namespace brimble::test
