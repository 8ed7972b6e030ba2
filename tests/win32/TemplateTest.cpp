#include "win32/Resources.h"
#include "window/WindowTemplate.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>
#include <windows.h>
// commctrl.h needs the declarations of windows.h first.
#include <commctrl.h>

// The dialog as the resource template makes it, against the window's template table.

namespace brimble::test {
namespace {

INT_PTR CALLBACK PlainDialog(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

class TemplateTest : public testing::Test {
protected:
    void SetUp() override {
        m_dialog = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MAIN_WINDOW), nullptr,
                                        &PlainDialog, 0);
        ASSERT_NE(m_dialog, nullptr) << "error " << ::GetLastError();
    }
    void TearDown() override { ::DestroyWindow(m_dialog); }

    HWND Control(ControlId id) const { return ::GetDlgItem(m_dialog, static_cast<int>(id)); }

    HWND m_dialog = nullptr;
};

std::wstring ClassOf(HWND control) {
    wchar_t name[64] = {};
    ::GetClassNameW(control, name, 64);
    return name;
}

std::string Describe(ControlId id) {
    return "control " + std::to_string(static_cast<int>(id));
}

// The width an up-down control keeps when it is made: some systems (Wine) give it the width of
// their own arrows whatever it is made with.
int UpDownWidthMadeAs(HWND parent, int width) {
    HWND probe = ::CreateWindowExW(0, UPDOWN_CLASSW, L"", WS_CHILD, 0, 0, width, 20, parent, nullptr, nullptr, nullptr);
    RECT rect;
    ::GetWindowRect(probe, &rect);
    ::DestroyWindow(probe);
    return rect.right - rect.left;
}

TEST_F(TemplateTest, EveryControlSitsAtItsTablePlaceInDialogUnits) {
    for (const ControlTemplate& control : kWindowTemplate) {
        SCOPED_TRACE(Describe(control.id));
        HWND handle = Control(control.id);
        ASSERT_NE(handle, nullptr);
        // The dialog manager converts place and size each on its own, as MapDialogRect does.
        RECT expected{control.x, control.y, control.width, control.height};
        ::MapDialogRect(m_dialog, &expected);
        RECT actual;
        ::GetWindowRect(handle, &actual);
        ::MapWindowPoints(nullptr, m_dialog, reinterpret_cast<POINT*>(&actual), 2);
        EXPECT_EQ(actual.left, expected.left);
        EXPECT_EQ(actual.top, expected.top);
        const int width = actual.right - actual.left;
        const int made =
            control.kind == ControlKind::UpDown ? UpDownWidthMadeAs(m_dialog, expected.right) : expected.right;
        EXPECT_EQ(width, made);
        EXPECT_EQ(actual.bottom - actual.top, expected.bottom);
    }
    RECT client;
    ::GetClientRect(m_dialog, &client);
    RECT expected{0, 0, kTemplateWidth, kTemplateHeight};
    ::MapDialogRect(m_dialog, &expected);
    EXPECT_EQ(client.right, expected.right);
    EXPECT_EQ(client.bottom, expected.bottom);
}

TEST_F(TemplateTest, EachControlIsOfItsKind) {
    struct Kind {
        const wchar_t* className;
        LONG style;     // bits that must be set
        LONG forbidden; // bits that must be clear
        LONG exStyle;
    };
    const auto kindOf = [](ControlKind kind) -> Kind {
        switch (kind) {
        case ControlKind::List:
            // The list drops WS_VSCROLL while it has nothing to scroll.
            return {L"ListBox", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_TABSTOP, LBS_SORT | LBS_MULTIPLESEL,
                    WS_EX_ACCEPTFILES};
        case ControlKind::IconButton:
            return {L"Button", BS_ICON | WS_TABSTOP, BS_DEFPUSHBUTTON, 0};
        case ControlKind::Button:
            return {L"Button", WS_TABSTOP, BS_ICON | BS_DEFPUSHBUTTON, 0};
        case ControlKind::UpDown:
            return {UPDOWN_CLASSW, UDS_ARROWKEYS, WS_TABSTOP | UDS_SETBUDDYINT | UDS_AUTOBUDDY, 0};
        case ControlKind::Edit:
            return {L"Edit", ES_AUTOHSCROLL | WS_TABSTOP, ES_MULTILINE | ES_READONLY, 0};
        case ControlKind::CheckBox:
            return {L"Button", BS_AUTOCHECKBOX | WS_TABSTOP, 0, 0};
        case ControlKind::Radio:
            return {L"Button", BS_AUTORADIOBUTTON, WS_TABSTOP, 0};
        case ControlKind::Label:
            return {L"Static", SS_NOPREFIX, WS_TABSTOP, 0};
        case ControlKind::GroupBox:
            return {L"Button", BS_GROUPBOX, WS_TABSTOP, 0};
        }
        return {};
    };
    for (const ControlTemplate& control : kWindowTemplate) {
        SCOPED_TRACE(Describe(control.id));
        HWND handle = Control(control.id);
        const Kind kind = kindOf(control.kind);
        EXPECT_EQ(ClassOf(handle), std::wstring(kind.className));
        const LONG style = ::GetWindowLongW(handle, GWL_STYLE);
        if (control.kind == ControlKind::CheckBox || control.kind == ControlKind::Radio ||
            control.kind == ControlKind::GroupBox) {
            EXPECT_EQ(style & BS_TYPEMASK, kind.style & BS_TYPEMASK);
        }
        EXPECT_EQ(style & kind.style, kind.style);
        EXPECT_EQ(style & kind.forbidden, 0);
        EXPECT_EQ(::GetWindowLongW(handle, GWL_EXSTYLE) & kind.exStyle, kind.exStyle);
        // A control shows its caption; an icon button carries its name as its text instead.
        wchar_t text[64] = {};
        ::GetWindowTextW(handle, text, 64);
        const std::string_view shown = control.kind == ControlKind::IconButton ? control.name : control.caption;
        if (control.kind != ControlKind::Label || !control.caption.empty()) {
            EXPECT_EQ(std::wstring(text), std::wstring(shown.begin(), shown.end()));
        }
    }
    EXPECT_NE(::GetWindowLongW(Control(ControlId::FollowValue), GWL_STYLE) & ES_NUMBER, 0);
    // The follow buttons are one group, ended by the follow box.
    EXPECT_NE(::GetWindowLongW(Control(ControlId::FollowSprite), GWL_STYLE) & WS_GROUP, 0);
    EXPECT_EQ(::GetWindowLongW(Control(ControlId::FollowMemory), GWL_STYLE) & WS_GROUP, 0);
    EXPECT_NE(::GetWindowLongW(Control(ControlId::FollowValue), GWL_STYLE) & WS_GROUP, 0);
}

TEST_F(TemplateTest, TabGoesThroughTheControlsInTheTableOrder) {
    std::vector<int> expected;
    for (const ControlTemplate& control : kWindowTemplate) {
        const bool tabStop = control.kind != ControlKind::UpDown && control.kind != ControlKind::Radio &&
                             control.kind != ControlKind::Label && control.kind != ControlKind::GroupBox;
        if (tabStop)
            expected.push_back(static_cast<int>(control.id));
    }
    std::vector<int> visited;
    HWND current = Control(ControlId::List);
    for (std::size_t i = 0; i <= expected.size(); ++i) {
        visited.push_back(::GetDlgCtrlID(current));
        current = ::GetNextDlgTabItem(m_dialog, current, FALSE);
    }
    // Round once, back to the list.
    expected.push_back(expected.front());
    EXPECT_EQ(visited, expected);
}

TEST_F(TemplateTest, TheDialogUsesTheShellFontAndAFixedFrame) {
    const LONG style = ::GetWindowLongW(m_dialog, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU), WS_CAPTION | WS_SYSMENU);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_NE(::GetWindowLongW(m_dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
    LOGFONTW font{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(m_dialog, WM_GETFONT, 0, 0)), sizeof font, &font);
    // "MS Shell Dlg" stands for the system's dialog font, which the system names itself.
    EXPECT_NE(std::wstring(font.lfFaceName), L"System");
    EXPECT_NE(std::wstring(font.lfFaceName), L"");
}

} // namespace
} // namespace brimble::test
