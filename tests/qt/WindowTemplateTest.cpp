#include "UiTestSupport.h"
#include "qt/UpDownControl.h"
#include "qt/WindowLayout.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>
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

// At each font size, panel shown and hidden, each control of the template has
// its kind, starts at its template position, keeps clear of the others inside
// the window, fits its caption, shows with its side of the window and is
// announced as the template names it; Tab walks the tab stops in template
// order.
TEST_P(TemplateTest, WidgetsAreMadeFromTheTemplate) {
    const struct RestoredFont {
        QFont font = QApplication::font();
        ~RestoredFont() { QApplication::setFont(font); }
    } restored;
    QFont font = restored.font;
    font.setPointSize(GetParam());
    QApplication::setFont(font);
    Open({"a"});
    const DialogUnits units = window->Units();
    const QRect frame = window->Control(ControlId::DetailsFrame)->geometry();
    for (bool panel : {true, false, true}) {
        Click(ControlId::TogglePanel);
        ASSERT_EQ(Presenter().PanelShown(), panel);
        EXPECT_EQ(window->width() >= units.X(kTemplateWidth), panel);
        EXPECT_EQ(window->minimumSize(), window->maximumSize()); // not resizable
        EXPECT_TRUE(window->rect().contains(window->MenuButton()->geometry()));
        for (const ControlTemplate& control : kWindowTemplate) {
            QWidget* widget = window->Control(control.id);
            const QRect rect = widget->geometry();
            const int id = static_cast<int>(control.id);
            EXPECT_TRUE(widget->inherits(kWidgetClass.at(control.kind))) << id;
            EXPECT_EQ(rect.topLeft(), QPoint(units.X(control.x), units.Y(control.y + kMenuStripHeight))) << id;
            EXPECT_EQ(widget->isVisible(), panel || !IsPanelControl(control)) << id;
            if (!widget->isVisible())
                continue;
            EXPECT_TRUE(window->rect().contains(rect) && (frame.contains(rect) || !frame.intersects(rect))) << id;
            for (const ControlTemplate& other : kWindowTemplate) {
                const bool apart = other.id == control.id || other.kind == ControlKind::GroupBox ||
                                   control.kind == ControlKind::GroupBox ||
                                   !rect.intersects(window->Control(other.id)->geometry());
                EXPECT_TRUE(apart || !window->Control(other.id)->isVisible()) << id << ' ' << int(other.id);
            }
            const bool fits = rect.width() >= widget->sizeHint().width();
            EXPECT_TRUE(fits || (control.kind != ControlKind::CheckBox && control.kind != ControlKind::Radio)) << id;
            // A label's text is its name and the template's name its description; a
            // push button is described by its name as well.
            const bool label = control.kind == ControlKind::Label;
            const bool described = label || widget->inherits("QPushButton");
            const auto* button = qobject_cast<QAbstractButton*>(widget);
            const auto* text = qobject_cast<QLabel*>(widget);
            const QString caption = button != nullptr ? button->text() : text != nullptr ? text->text() : QString();
            if (control.kind != ControlKind::UpDown) {
                EXPECT_EQ(Accessible(widget, QAccessible::Name),
                          label || control.name.empty() ? caption.toStdString() : control.name)
                    << id;
                EXPECT_EQ(Accessible(widget, QAccessible::Description), described ? control.name : "") << id;
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
