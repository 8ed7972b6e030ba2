#include "UiTestSupport.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace brimble::test {
namespace {

// Sets the application font for the windows made while it lives.
class ApplicationFont {
public:
    explicit ApplicationFont(int pointSize) : m_previous(QApplication::font()) {
        QFont font = m_previous;
        font.setPointSize(pointSize);
        QApplication::setFont(font);
    }
    ~ApplicationFont() { QApplication::setFont(m_previous); }
    ApplicationFont(const ApplicationFont&) = delete;
    ApplicationFont& operator=(const ApplicationFont&) = delete;

private:
    QFont m_previous;
};

class LayoutTest : public WindowTest, public ::testing::WithParamInterface<int> {
protected:
    // Every control but the frame, with the menu button.
    std::vector<QWidget*> Controls() const {
        std::vector<QWidget*> controls;
        for (const ControlTemplate& control : kWindowTemplate) {
            if (control.id != ControlId::DetailsFrame)
                controls.push_back(window->Control(control.id));
        }
        controls.push_back(window->MenuButton());
        return controls;
    }
};

TEST_P(LayoutTest, ControlsStayApartInsideTheWindowAndTheToggleHidesThePanel) {
    const ApplicationFont font(GetParam());
    Open();
    const DialogUnits units = window->Units();
    const QRect frame = window->Control(ControlId::DetailsFrame)->geometry();

    Click(ControlId::TogglePanel);
    ASSERT_TRUE(Presenter().PanelShown());
    const QRect client = window->rect();
    EXPECT_EQ(client.width(), units.X(kTemplateWidth));
    EXPECT_EQ(window->minimumSize(), window->maximumSize()); // not resizable
    const auto controls = Controls();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const QRect a = controls[i]->geometry();
        EXPECT_TRUE(controls[i]->isVisible()) << i;
        EXPECT_TRUE(client.contains(a)) << i;
        EXPECT_GT(a.width(), 0) << i;
        EXPECT_GT(a.height(), 0) << i;
        // Inside the details frame or clear of it.
        EXPECT_TRUE(frame.contains(a) || !frame.intersects(a)) << i;
        for (std::size_t j = i + 1; j < controls.size(); ++j)
            EXPECT_FALSE(a.intersects(controls[j]->geometry())) << i << " " << j;
    }
    // Each control starts at its template position.
    for (const ControlTemplate& control : kWindowTemplate) {
        const QRect rect = window->Control(control.id)->geometry();
        EXPECT_EQ(rect.topLeft(), QPoint(units.X(control.x), units.Y(control.y + kMenuStripHeight)))
            << static_cast<int>(control.id);
    }

    // Hidden: exactly the controls from 157 units across are out of view, the rest in view.
    Click(ControlId::TogglePanel);
    ASSERT_FALSE(Presenter().PanelShown());
    const QRect narrow = window->rect();
    EXPECT_LT(narrow.width(), units.X(kPanelStart));
    EXPECT_EQ(narrow.height(), client.height());
    for (const ControlTemplate& control : kWindowTemplate) {
        QWidget* widget = window->Control(control.id);
        const bool panel = control.x >= kPanelStart;
        EXPECT_EQ(widget->isVisible(), !panel) << static_cast<int>(control.id);
        if (!panel) {
            EXPECT_TRUE(narrow.contains(widget->geometry())) << static_cast<int>(control.id);
        } else {
            EXPECT_GE(widget->geometry().left(), narrow.right()) << static_cast<int>(control.id);
        }
    }
    // The menu button stays in view at the top right, whichever width the window has.
    const QRect button = window->MenuButton()->geometry();
    EXPECT_TRUE(narrow.contains(button));
    EXPECT_TRUE(window->MenuButton()->isVisible());
    EXPECT_LT(narrow.width() - button.right(), button.width());
}

TEST_P(LayoutTest, CaptionsFitTheirControls) {
    const ApplicationFont font(GetParam());
    Open();
    Click(ControlId::TogglePanel);
    for (const ControlTemplate& control : kWindowTemplate) {
        QWidget* widget = window->Control(control.id);
        if (qobject_cast<QAbstractButton*>(widget) == nullptr || qobject_cast<QPushButton*>(widget) != nullptr)
            continue;
        EXPECT_GE(widget->width(), widget->sizeHint().width()) << static_cast<int>(control.id);
    }
}

INSTANTIATE_TEST_SUITE_P(FontSizes, LayoutTest, ::testing::Values(8, 14));

TEST_F(WindowTest, TabWalksTheTabStopsInTemplateOrder) {
    Rom("a.nes");
    Open();
    Drop({Q(Dir() / "a.nes")});
    Click(ControlId::TogglePanel);
    List()->setFocus();
    std::vector<QWidget*> walked{QApplication::focusWidget()};
    for (int i = 0; i < 20; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        walked.push_back(QApplication::focusWidget());
    }
    const ControlId order[] = {
        ControlId::List,        ControlId::Add,         ControlId::Remove,       ControlId::Sort,
        ControlId::Build,       ControlId::OutputPath,  ControlId::ChooseOutput, ControlId::RestoreList,
        ControlId::TogglePanel, ControlId::Title,       ControlId::PpuSpeedHack, ControlId::NoCpuSpeedHack,
        ControlId::PalTiming,   ControlId::FollowValue, ControlId::Autonumber,   ControlId::Splash,
        ControlId::Flag190k,    ControlId::SplashPath,  ControlId::ChooseSplash,
    };
    std::vector<QWidget*> expected;
    for (ControlId id : order)
        expected.push_back(window->Control(id));
    expected.push_back(window->MenuButton());
    expected.push_back(List());
    EXPECT_EQ(walked, expected);
}

} // namespace
} // namespace brimble::test
