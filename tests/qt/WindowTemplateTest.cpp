#include "UiTestSupport.h"
#include "qt/UpDownControl.h"

#include <QAccessible>
#include <QToolButton>
#include <map>

namespace brimble::test {
namespace {

const std::map<ControlKind, const char*> kWidgetClass = {
    {ControlKind::List, "QListWidget"},   {ControlKind::IconButton, "QPushButton"},
    {ControlKind::Button, "QPushButton"}, {ControlKind::UpDown, "brimble::UpDownControl"},
    {ControlKind::Edit, "QLineEdit"},     {ControlKind::CheckBox, "QCheckBox"},
    {ControlKind::Radio, "QRadioButton"}, {ControlKind::Label, "QLabel"},
    {ControlKind::GroupBox, "QGroupBox"}};

// Each case sets the application's font, put back afterwards.
class TemplateTest : public WindowTest, public ::testing::WithParamInterface<int> {
    const QFont m_font = QApplication::font();
    void TearDown() override { QApplication::setFont(m_font); }
};

std::string Accessible(QWidget* widget, QAccessible::Text text = QAccessible::Name) {
    return QAccessible::queryAccessibleInterface(widget)->text(text).toStdString();
}

// At each font size, panel shown and hidden, each control of the template is a widget of its
// kind inside the window, wide enough for its caption, shown with its side of the window and
// announced by the template's name (a label's text being its name, by its description); Tab
// walks the tab stops in template order.
TEST_P(TemplateTest, WidgetsAreMadeFromTheTemplate) {
    QFont font = QApplication::font();
    font.setPointSize(GetParam());
    QApplication::setFont(font);
    Open({"a"});
    for (bool panel : {true, false, true}) {
        Click(ControlId::TogglePanel);
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

    List()->setFocus();
    for (const ControlTemplate& control : kWindowTemplate)
        if (control.kind != ControlKind::UpDown && control.kind != ControlKind::Radio &&
            control.kind != ControlKind::Label && control.kind != ControlKind::GroupBox) {
            EXPECT_EQ(QApplication::focusWidget(), window->Control(control.id)) << static_cast<int>(control.id);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
    EXPECT_EQ(QApplication::focusWidget(), window->MenuButton());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), List());
}

INSTANTIATE_TEST_SUITE_P(FontSizes, TemplateTest, ::testing::Values(8, 14));

} // namespace
} // namespace brimble::test
