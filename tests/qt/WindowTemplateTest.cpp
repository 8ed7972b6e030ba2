#include "UiTestSupport.h"
#include "qt/UpDownControl.h"

#include <QAccessible>
#include <QToolButton>
#include <map>

namespace brimble::test {
namespace {

// clang-format off
const std::map<ControlKind, const char*> kWidgetClass = {
    {ControlKind::List, "QListWidget"}, {ControlKind::IconButton, "QPushButton"}, {ControlKind::Button, "QPushButton"},
    {ControlKind::UpDown, "brimble::UpDownControl"}, {ControlKind::Edit, "QLineEdit"},
    {ControlKind::CheckBox, "QCheckBox"}, {ControlKind::Radio, "QRadioButton"}, {ControlKind::Label, "QLabel"},
    {ControlKind::GroupBox, "QGroupBox"}};
// clang-format on

class TemplateTest : public WindowTest, public ::testing::WithParamInterface<int> {
protected:
    static std::string Accessible(QWidget* widget, QAccessible::Text text = QAccessible::Name) {
        return QAccessible::queryAccessibleInterface(widget)->text(text).toStdString();
    }
};

// At each font size, panel shown and hidden, each control of the template is a widget of its
// kind inside the window, wide enough for its caption, shown with its side of the window and
// announced by the template's name (a label's text being its name, by its description); Tab
// walks the tab stops in template order.
TEST_P(TemplateTest, WidgetsAreMadeFromTheTemplate) {
    const struct RestoredFont {
        QFont font = QApplication::font();
        ~RestoredFont() { QApplication::setFont(font); }
    } restored;
    QFont font = restored.font;
    font.setPointSize(GetParam());
    QApplication::setFont(font);
    Open({"a"});
    for (bool panel : {true, false, true}) {
        Click(ControlId::TogglePanel);
        ASSERT_EQ(Presenter().PanelShown(), panel);
        EXPECT_EQ(window->width() >= window->Units().X(kTemplateWidth), panel);
        EXPECT_EQ(window->minimumSize(), window->maximumSize()); // not resizable
        for (const ControlTemplate& control : kWindowTemplate) {
            QWidget* widget = window->Control(control.id);
            const int id = static_cast<int>(control.id);
            EXPECT_TRUE(widget->inherits(kWidgetClass.at(control.kind))) << id;
            EXPECT_EQ(widget->isVisible(), panel || !IsPanelControl(control)) << id;
            EXPECT_TRUE(!widget->isVisible() || window->rect().contains(widget->geometry())) << id;
            const bool fits = widget->width() >= widget->sizeHint().width();
            EXPECT_TRUE(fits || (control.kind != ControlKind::CheckBox && control.kind != ControlKind::Radio)) << id;
            if (!control.name.empty()) {
                const bool label = control.kind == ControlKind::Label;
                EXPECT_EQ(Accessible(widget, label ? QAccessible::Description : QAccessible::Name), control.name) << id;
            }
        }
    }
    auto* arrows = Get<UpDownControl>(ControlId::UpDown);
    EXPECT_EQ(Accessible(arrows->UpButton()) + ", " + Accessible(arrows->DownButton()) + ", " +
                  Accessible(window->MenuButton()),
              "Move up, Move down, Menu");

    std::vector<QWidget*> expected;
    for (const ControlTemplate& control : kWindowTemplate)
        if (control.kind != ControlKind::UpDown && control.kind != ControlKind::Radio &&
            control.kind != ControlKind::Label && control.kind != ControlKind::GroupBox)
            expected.push_back(window->Control(control.id));
    expected.insert(expected.end(), {window->MenuButton(), List()});
    std::vector<QWidget*> walked{List()};
    List()->setFocus();
    while (walked.size() < expected.size()) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        walked.push_back(QApplication::focusWidget());
    }
    EXPECT_EQ(walked, expected);
}

INSTANTIATE_TEST_SUITE_P(FontSizes, TemplateTest, ::testing::Values(8, 14));

} // namespace
} // namespace brimble::test
