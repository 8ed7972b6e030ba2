#include "UiTestSupport.h"
#include "qt/UpDownControl.h"
#include "window/WindowTexts.h"

#include <QAccessible>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>
#include <functional>

// That each kind of widget event, key and drop reaches the presenter, and what the edit boxes
// let the user type. What the presenter then does is tested on the presenter.

namespace brimble::test {
namespace {

using C = ControlId;

class WiringTest : public WindowTest {
protected:
    // A check that the last file dialog was the one of this use (each has a title of its own).
    bool Asked(FileDialogUse use) const {
        return !dialogs.requests.empty() && dialogs.requests.back().title == FileDialogFor(use).title;
    }
    void Press(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        target->setFocus();
        QTest::keyClick(target, key, modifiers);
    }
    // Types into a box as the user does: click, select all, type.
    void Retype(ControlId id, const char* text) {
        auto* box = Get<QLineEdit>(id);
        QTest::mouseClick(box, Qt::LeftButton);
        box->selectAll();
        QTest::keyClicks(box, Q(text));
    }
    // The list shows these texts, joined by spaces, and the focus is on the widget if one is given.
    bool Listed(const char* texts, const QWidget* focus = nullptr) const {
        QStringList listed;
        for (int row = 0; row < List()->count(); ++row)
            listed.append(List()->item(row)->text());
        return listed.join(u' ') == Q(texts) && (focus == nullptr || QApplication::focusWidget() == focus);
    }
    bool Stored(const char* line) const { return ReadText(Dir() / "brimble.ini").find(line) != std::string::npos; }
};

// Each row runs on a fresh window holding b and a, b selected and the list focused, the panel
// shown, with an emulator image and an output path, so that a build goes through.
TEST_F(WiringTest, EachEventReachesThePresenter) {
    using enum FileDialogUse;
    // clang-format off
    const struct {
        const char* name;
        std::function<void()> act;
        std::function<bool()> reached;
    } rows[] = {
        {"add", [&] { Click(C::Add); }, [&] { return Asked(AddRoms); }},
        // The down arrow takes the focus when it moves the entry; at the top nothing moves.
        {"down arrow", [&] { QTest::mouseClick(Get<UpDownControl>(C::UpDown)->DownButton(), Qt::LeftButton); },
         [&] { return Listed("a b", Get<UpDownControl>(C::UpDown)); }},
        {"up arrow", [&] { QTest::mouseClick(Get<UpDownControl>(C::UpDown)->UpButton(), Qt::LeftButton); },
         [&] { return Listed("b a", List()); }},
        {"double-click", [&] { QTest::mouseDClick(List()->viewport(), Qt::LeftButton); },
         [&] { return !Presenter().PanelShown(); }},
        {"splash box", [&] { Click(C::Splash); }, [&] { return !Get<QLineEdit>(C::SplashPath)->isReadOnly(); }},
        {"title typed", [&] { Retype(C::Title, "x"); }, [&] { return Presenter().TitlePending(); }},
        {"title left", [&] { Retype(C::Title, "x"); Click(C::PalTiming); },
         [&] { return Presenter().Roms().At(0).title == "x" && !Presenter().TitlePending(); }},
        {"close box", [&] { Click(C::RestoreList); window->close(); }, [&] { return Stored("savelist=1"); }},
        {"escape", [&] { Click(C::RestoreList); Press(List(), Qt::Key_Escape); },
         [&] { return !window->isVisible() && !Stored("savelist"); }},
        // A finished build ends the window once its handler has returned, after "Done!".
        {"build", [&] { Click(C::Build); }, [&] {
             const bool shownUntilDone = window->isVisible() && dialogs.messages.size() == 1;
             QCoreApplication::processEvents();
             return shownUntilDone && !window->isVisible();
         }},
        {"delete", [&] { Press(List(), Qt::Key_Delete); }, [&] { return Listed("a", List()); }},
        // The list's keys are the list's alone.
        {"delete elsewhere", [&] { Press(Get(C::OutputPath), Qt::Key_Delete); }, [&] { return Listed("b a"); }},
        {"ctrl+o", [&] { Press(Get(C::Autonumber), Qt::Key_O, Qt::ControlModifier); }, [&] { return Asked(AddRoms); }},
        // Enter never ends the window; a focused push button takes it as a click.
        {"enter", [&] { Press(List(), Qt::Key_Return); Press(Get(C::Title), Qt::Key_Enter, Qt::KeypadModifier); },
         [&] { return window->isVisible() && dialogs.requests.empty() && Presenter().PanelShown(); }},
        {"enter on a button", [&] { Press(Get(C::TogglePanel), Qt::Key_Return); },
         [&] { return !Presenter().PanelShown(); }},
        // The menu key opens the list's menu at the list; its keys drive it.
        {"menu key", [&] { Press(List(), Qt::Key_Menu); }, [&] {
             QMenu* menu = window->CommandMenu();
             const bool atList = QApplication::activePopupWidget() == menu &&
                                 List()->rect().contains(List()->mapFromGlobal(menu->geometry().topLeft()));
             QTest::keyClick(menu, Qt::Key_Down);
             QTest::keyClick(menu, Qt::Key_Return);
             return atList && Asked(Emulator);
         }},
        // A screen reader selects through an item's "Toggle" action, which clears the selection first.
        {"accessible toggle", [&] {
             QAccessibleInterface* item = QAccessible::queryAccessibleInterface(List())->child(1);
             item->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
         }, [&] { return Presenter().Roms().Selection() == 1 && List()->selectedItems().size() == 1; }},
        // The title box takes 31 characters without the field separator (the characters it refuses
        // are the panel rules' business); the follow box four digits.
        {"title box", [&] { Retype(C::Title, "A Title\u00ac Of Exactly 31 Characters"); },
         [&] { return Get<QLineEdit>(C::Title)->text() == Q("A Title Of Exactly 31 Character"); }},
        {"follow box", [&] { Retype(C::FollowValue, "12a-3456"); },
         [&] { return Get<QLineEdit>(C::FollowValue)->text() == Q("1234"); }},
        // Only the list takes drops.
        {"drop", [&] { Drop({"a.nes"}); }, [&] { return List()->count() == 3; }},
        {"drop elsewhere", [&] {
             for (const ControlTemplate& control : kWindowTemplate)
                 if (control.id != C::List)
                     Drop({"a.nes"}, Get(control.id));
         }, [&] { return List()->count() == 2; }},
    };
    // clang-format on
    WriteFile(Dir() / "Vantaro.GBA", "emulator");
    for (const auto& row : rows) {
        WriteFile(Dir() / "brimble.ini", "[config]\r\noutputfile=out.gba\r\n");
        database = {}, static_cast<ScriptedAnswers&>(dialogs) = {};
        Open({"b", "a"});
        Click(C::TogglePanel);
        List()->setFocus();
        row.act();
        EXPECT_TRUE(row.reached()) << row.name;
    }
}

} // namespace
} // namespace brimble::test
