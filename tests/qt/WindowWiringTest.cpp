#include "UiTestSupport.h"
#include "qt/UpDownControl.h"
#include "window/WindowTexts.h"

#include <QAccessible>
#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>
#include <functional>

// That each widget's event, key and drop reaches the presenter, and what the
// edit boxes let the user type. What the presenter then does is tested on the
// presenter.

namespace brimble::test {
namespace {

class WiringTest : public WindowTest {
protected:
    // The last file dialog was the one of this use.
    bool Asked(FileDialogUse use) const {
        const FileDialogRequest expected = FileDialogFor(use);
        return !dialogs.requests.empty() && dialogs.requests.back().title == expected.title &&
               dialogs.requests.back().filters == expected.filters;
    }
    void Press(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        target->setFocus();
        QTest::keyClick(target, key, modifiers);
    }
    // Types into a box as the user does: click, select all, type.
    QLineEdit* Retype(ControlId id, const char* text) {
        auto* box = Get<QLineEdit>(id);
        QTest::mouseClick(box, Qt::LeftButton);
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, Q(text));
        return box;
    }
    bool Listed(std::initializer_list<const char*> texts) const {
        QStringList expected;
        for (const char* text : texts)
            expected.append(Q(text));
        return ListTexts() == expected;
    }
    UpDownControl* Arrows() const { return Get<UpDownControl>(ControlId::UpDown); }
    QWidget* Focus() const { return QApplication::focusWidget(); }
    const RomEntry& First() const { return Presenter().Roms().At(0); }
    bool Stored(const char* line) const { return ReadText(Dir() / "brimble.ini").find(line) != std::string::npos; }
};

// Each row runs on a fresh window holding b and a, b selected and the list
// focused, the panel shown, with an emulator image and an output path, so that
// a build goes through.
TEST_F(WiringTest, EachEventReachesThePresenter) {
    // clang-format off
    const struct {
        const char* name;
        std::function<void()> act;
        std::function<bool()> reached;
    } rows[] = {
        {"add", [&] { Click(ControlId::Add); }, [&] { return Asked(FileDialogUse::AddRoms); }},
        {"splash ..", [&] { Click(ControlId::ChooseSplash); }, [&] { return Asked(FileDialogUse::Splash); }},
        {"output ..", [&] { Click(ControlId::ChooseOutput); }, [&] { return Asked(FileDialogUse::Output); }},
        {"locate emulator", [&] { window->LocateEmulatorAction()->trigger(); },
         [&] { return Asked(FileDialogUse::Emulator); }},
        {"locate goodnes", [&] { window->LocateGoodNesAction()->trigger(); },
         [&] { return Asked(FileDialogUse::ListFile); }},
        {"locate quorrel", [&] { window->LocateQuorrelAction()->trigger(); },
         [&] { return Asked(FileDialogUse::ListFile); }},
        {"item", [&] { ClickRow(1); }, [&] { return Presenter().Roms().Selection() == 1; }},
        // The down arrow takes the focus when it moves the entry; at the top nothing moves.
        {"down arrow", [&] { QTest::mouseClick(Arrows()->DownButton(), Qt::LeftButton); },
         [&] { return Listed({"a", "b"}) && Focus() == Arrows(); }},
        {"up arrow", [&] { QTest::mouseClick(Arrows()->UpButton(), Qt::LeftButton); },
         [&] { return Listed({"b", "a"}) && Focus() == List(); }},
        {"sort", [&] { Click(ControlId::Sort); }, [&] { return Listed({"a", "b"}); }},
        {"remove", [&] { Click(ControlId::Remove); }, [&] { return Listed({"a"}); }},
        {"toggle", [&] { Click(ControlId::TogglePanel); }, [&] { return !Presenter().PanelShown(); }},
        {"double-click", [&] { QTest::mouseDClick(List()->viewport(), Qt::LeftButton); },
         [&] { return !Presenter().PanelShown(); }},
        {"splash box", [&] { Click(ControlId::Splash); },
         [&] { return !Get<QLineEdit>(ControlId::SplashPath)->isReadOnly(); }},
        {"check box", [&] { Click(ControlId::PalTiming); ClickRow(1); }, [&] { return First().flags == kPalTiming; }},
        {"radio button", [&] { Click(ControlId::FollowMemory); ClickRow(1); },
         [&] { return First().flags == kFollowMemory; }},
        {"follow box", [&] { Retype(ControlId::FollowValue, "12"); ClickRow(1); },
         [&] { return First().follow == 12; }},
        {"title typed", [&] { Retype(ControlId::Title, "x"); }, [&] { return Presenter().TitlePending(); }},
        {"title left", [&] { Retype(ControlId::Title, "x"); Click(ControlId::PalTiming); },
         [&] { return First().title == "x" && !Presenter().TitlePending(); }},
        {"close box", [&] { Click(ControlId::RestoreList); window->close(); }, [&] { return Stored("savelist=1"); }},
        {"escape", [&] { Click(ControlId::RestoreList); Press(List(), Qt::Key_Escape); },
         [&] { return !window->isVisible() && !Stored("savelist"); }},
        // A finished build ends the window once its handler has returned, after "Done!".
        {"build", [&] { Click(ControlId::Build); }, [&] {
             const bool shownUntilDone = window->isVisible() && dialogs.messages.size() == 1;
             QCoreApplication::processEvents();
             return shownUntilDone && !window->isVisible();
         }},
        {"delete", [&] { Press(List(), Qt::Key_Delete); }, [&] { return Listed({"a"}) && Focus() == List(); }},
        {"ctrl+down", [&] { Press(List(), Qt::Key_Down, Qt::ControlModifier); }, [&] { return Listed({"a", "b"}); }},
        {"insert", [&] { Press(List(), Qt::Key_Insert); }, [&] { return Asked(FileDialogUse::AddRoms); }},
        {"insert elsewhere", [&] { Press(Get(ControlId::OutputPath), Qt::Key_Insert); },
         [&] { return dialogs.requests.empty(); }},
        {"ctrl+o", [&] { Press(Get(ControlId::Autonumber), Qt::Key_O, Qt::ControlModifier); },
         [&] { return Asked(FileDialogUse::AddRoms); }},
        // Enter never ends the window; a focused push button takes it as a click.
        {"enter",
         [&] { Press(List(), Qt::Key_Return); Press(Get(ControlId::Title), Qt::Key_Enter, Qt::KeypadModifier); },
         [&] { return window->isVisible() && dialogs.requests.empty() && Presenter().PanelShown(); }},
        {"enter on a button", [&] { Press(Get(ControlId::TogglePanel), Qt::Key_Return); },
         [&] { return !Presenter().PanelShown(); }},
        // The menu key and Shift+F10 open the list's menu at the list; its keys drive it.
        {"menu key", [&] { Press(List(), Qt::Key_Menu); }, [&] {
             QMenu* menu = window->CommandMenu();
             const bool atList = QApplication::activePopupWidget() == menu &&
                                 List()->rect().contains(List()->mapFromGlobal(menu->geometry().topLeft()));
             QTest::keyClick(menu, Qt::Key_Down);
             QTest::keyClick(menu, Qt::Key_Return);
             return atList && Asked(FileDialogUse::Emulator);
         }},
        {"shift+f10", [&] { Press(List(), Qt::Key_F10, Qt::ShiftModifier); },
         [&] { return QApplication::activePopupWidget() == window->CommandMenu(); }},
        // A screen reader selects through an item's "Toggle" action, which clears the selection first.
        {"accessible toggle", [&] {
             QAccessibleInterface* item = QAccessible::queryAccessibleInterface(List())->child(1);
             item->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
         },
         [&] { return Presenter().Roms().Selection() == 1 && List()->selectedItems().size() == 1; }},
        // The title box takes 31 characters without the field separator or line ends; the
        // follow box four digits.
        {"title box", [&] { Retype(ControlId::Title, "A Title Of Exactly 31 Characters\u00ac")->insert(Q("\n")); },
         [&] { return Get<QLineEdit>(ControlId::Title)->text() == Q("A Title Of Exactly 31 Character"); }},
        {"follow box typing", [&] { Retype(ControlId::FollowValue, "12a-3456"); },
         [&] { return Get<QLineEdit>(ControlId::FollowValue)->text() == Q("1234"); }},
        // Only the list takes drops.
        {"drop", [&] { Drop({Q(Dir() / "a.nes")}); }, [&] { return List()->count() == 3; }},
        {"drop elsewhere", [&] {
             for (const ControlTemplate& control : kWindowTemplate)
                 if (control.id != ControlId::List)
                     Drop({Q(Dir() / "a.nes")}, Get(control.id));
         }, [&] { return List()->count() == 2; }},
    };
    // clang-format on
    WriteFile(Dir() / "Vantaro.GBA", "emulator");
    for (const auto& row : rows) {
        WriteFile(Dir() / "brimble.ini", "[config]\r\noutputfile=out.gba\r\n");
        std::filesystem::remove(Dir() / "goodQuorrel.lst");
        database = {};
        dialogs.requests.clear();
        dialogs.messages.clear();
        Open({"b", "a"});
        Click(ControlId::TogglePanel);
        List()->setFocus();
        row.act();
        EXPECT_TRUE(row.reached()) << row.name;
        if (QApplication::activePopupWidget() != nullptr)
            QApplication::activePopupWidget()->close();
    }
}

} // namespace
} // namespace brimble::test
