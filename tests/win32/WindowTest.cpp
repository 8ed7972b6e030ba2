#include "support/TestFiles.h"
#include "win32/Resources.h"
#include "win32/WideText.h"
#include "win32/Win32Window.h"

#include <commctrl.h>
#include <dlgs.h>
#include <gtest/gtest.h>
#include <shlobj.h>

// The Windows face's own wiring on the real dialog, in-process; what the presenter does is its tests' business.

namespace brimble::test {
namespace {

std::wstring TextOf(HWND window) {
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    return text;
}

// A window over three ROMs, settings naming an emulator image that is missing and a cartridge's worth
// of another, in a temporary folder that is the current directory meanwhile.
class Win32Window : public testing::Test {
protected:
    using enum ControlId;
    void SetUp() override {
        for (const char* name : {"b", "a", "c"})
            WriteNesFile(m_dir / (std::string(name) + ".nes"), 16384, static_cast<std::uint32_t>(name[0]));
        WriteFile(m_dir / "brimble.ini", "[config]\r\noutputfile=out.gba\r\nvantaro=missing.gba\r\n");
        WriteFile(m_dir / "emu.gba", Bytes(32u << 20));
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); // for the names, as the program has it
        m_window = std::make_unique<win32::Win32Window>(::GetModuleHandleW(nullptr), m_names, m_database);
        ASSERT_TRUE(m_window->Create());
        ::ShowWindow(Window(), SW_SHOWNORMAL);
        Pump();
    }
    void Pump() {
        for (MSG message; !m_window->Ended() && ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);)
            m_window->Dispatch(message);
    }
    HWND Control(ControlId id) const { return m_window->Control(id); }
    HWND Window() const { return m_window->Handle(); }
    // A message to a control, or with ControlId{} to the window itself.
    void Send(ControlId id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        ::SendMessageW(id == ControlId{} ? Window() : Control(id), message, wParam, lParam);
        Pump();
    }
    void Click(ControlId id) { Send(id, BM_CLICK); }
    // A key going down in the control with the focus, through the window's loop.
    void Key(WORD key, bool control = false, bool shift = false) {
        BYTE state[256] = {};
        state[VK_CONTROL] = control ? 0x80 : 0;
        state[VK_SHIFT] = shift ? 0x80 : 0;
        ::SetKeyboardState(state);
        MSG message{::GetFocus(), static_cast<UINT>(key == VK_F10 ? WM_SYSKEYDOWN : WM_KEYDOWN), key, 1, 0, {}};
        m_window->Dispatch(message);
        ::SetKeyboardState(std::array<BYTE, 256>{}.data());
        Pump();
    }
    // Files dropped onto the list, as the shell hands them over.
    void Drop(const std::vector<std::string>& names) {
        std::wstring list;
        for (const std::string& name : names)
            list += (m_dir / name).native() + L'\0';
        auto* drop =
            static_cast<DROPFILES*>(::GlobalAlloc(GPTR, sizeof(DROPFILES) + (list.size() + 1) * sizeof(wchar_t)));
        *drop = DROPFILES{sizeof(DROPFILES), {}, FALSE, TRUE};
        std::copy(list.begin(), list.end(), reinterpret_cast<wchar_t*>(drop + 1));
        Send(List, WM_DROPFILES, reinterpret_cast<WPARAM>(drop));
    }
    // Runs an action, answering each modal dialog as it comes up with the text typed for it as
    // its file names (none: cancel), No or OK; returns each one's caption, and a message box's text after a colon.
    std::vector<std::wstring> Answering(const std::function<void()>& action, std::vector<std::wstring> typed = {}) {
        m_typed = std::move(typed);
        m_typed.resize(8);
        m_met.clear();
        s_answering = this;
        HHOOK hook = ::SetWindowsHookExW(WH_CBT, &Answer, nullptr, ::GetCurrentThreadId());
        action();
        Pump();
        ::UnhookWindowsHookEx(hook);
        return m_met;
    }
    static LRESULT CALLBACK Answer(int code, WPARAM wParam, LPARAM lParam) {
        const auto dialog = reinterpret_cast<HWND>(wParam);
        Win32Window& self = *s_answering;
        if (code == HCBT_ACTIVATE && dialog != self.Window() && dialog != self.m_lastDialog) {
            self.m_lastDialog = dialog;
            const HWND text = ::GetDlgItem(dialog, 0xFFFF); // a message box's text
            const HWND no = ::GetDlgItem(dialog, IDNO);     // a question, answered No
            self.m_met.push_back(TextOf(dialog) + (text != nullptr ? L": " + TextOf(text) : L"") + (no ? L" No" : L""));
            const std::wstring& typed = self.m_typed[self.m_met.size() - 1];
            const HWND name = ::GetDlgItem(dialog, ::GetDlgItem(dialog, cmb13) != nullptr ? cmb13 : edt1);
            ::SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
            ::PostMessageW(dialog, WM_COMMAND, name != nullptr && typed.empty() ? IDCANCEL : no ? IDNO : IDOK, 0);
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline Win32Window* s_answering = nullptr;
    std::vector<std::wstring> m_typed, m_met;
    HWND m_lastDialog = nullptr;
    TempDir m_dir;
    CurrentDirectory m_current{m_dir.Path()};
    NameTable m_names;
    GameDatabase m_database;
    std::unique_ptr<win32::Win32Window> m_window;
};

TEST_F(Win32Window, ControlsSitAtTheirTemplatePlacesInTabOrderWithTheirNamesAndResources) {
    Drop({"a.nes"});
    Click(TogglePanel);
    for (const ControlTemplate& control : kWindowTemplate) {
        HWND handle = Control(control.id);
        RECT expected{control.x, control.y, control.width, control.height}, actual;
        ::MapDialogRect(Window(), &expected);
        ::GetWindowRect(handle, &actual);
        ::MapWindowPoints(nullptr, Window(), reinterpret_cast<POINT*>(&actual), 2);
        EXPECT_EQ(std::vector<LONG>({actual.left, actual.top, actual.right - actual.left, actual.bottom - actual.top}),
                  std::vector<LONG>({expected.left, expected.top, expected.right, expected.bottom}))
            << static_cast<int>(control.id);
        // What a screen reader reads: the caption, or the name that a button without words carries.
        const std::string_view words = control.kind == ControlKind::IconButton ? control.name : control.caption;
        EXPECT_TRUE(words.empty() || TextOf(handle) == win32::Widen(words)) << words;
        EXPECT_EQ(::SendMessageW(handle, BM_GETIMAGE, IMAGE_ICON, 0) != 0, control.kind == ControlKind::IconButton);
    }
    // The tab order, in which a radio button is a stop while it is checked.
    const std::vector<ControlId> stops = {
        List,        Add,         Remove, Sort,         Build,          OutputPath,  ChooseOutput,
        RestoreList, TogglePanel, Title,  PpuSpeedHack, NoCpuSpeedHack, PalTiming,   FollowSprite,
        FollowValue, Autonumber,  Splash, Flag190k,     SplashPath,     ChooseSplash};
    std::vector<ControlId> visited;
    for (HWND at = Control(List); visited.size() < stops.size(); at = ::GetNextDlgTabItem(Window(), at, 0))
        visited.push_back(static_cast<ControlId>(::GetDlgCtrlID(at)));
    EXPECT_EQ(visited, stops);
    EXPECT_NE(::SendMessageW(Window(), WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(::FindResourceW(nullptr, MAKEINTRESOURCEW(1), RT_MANIFEST), nullptr); // styles, per-monitor DPI
    EXPECT_NE(::FindResourceW(nullptr, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION), nullptr);
    EXPECT_EQ(::SendMessageW(Control(Title), EM_GETLIMITTEXT, 0, 0), 31);
    EXPECT_EQ(::SendMessageW(Control(FollowValue), EM_GETLIMITTEXT, 0, 0), 4);
    // The buttons without words on them show their names as tooltips.
    HWND tips = ::FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr);
    for (ControlId id : {Add, Remove, Build, ChooseOutput, ChooseSplash}) {
        wchar_t text[80] = {};
        TTTOOLINFOW tool{sizeof tool, 0, Window(), reinterpret_cast<UINT_PTR>(Control(id)), {}, nullptr,
                         text,        0, nullptr};
        ::SendMessageW(tips, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
        EXPECT_EQ(text, win32::Widen(TemplateOf(id).name));
    }
}

TEST_F(Win32Window, EachControlsEventReachesThePresenterAndOpensItsDialogs) {
    // The list's items | the selected row, the panel, the focus and whether the splash path is typed in.
    const auto state = [&] {
        std::string shown;
        HWND list = Control(List);
        for (LRESULT i = 0; i < ::SendMessageW(list, LB_GETCOUNT, 0, 0); ++i) {
            wchar_t text[64] = {};
            ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            shown += win32::Narrow(text) + ",";
        }
        shown += "| " + std::to_string(::SendMessageW(list, LB_GETCURSEL, 0, 0));
        RECT client, panel{0, 0, ::IsWindowVisible(Control(Title)) ? kTemplateWidth : kNarrowWidth, 0};
        ::GetClientRect(Window(), &client);
        ::MapDialogRect(Window(), &panel);
        shown += client.right != panel.right ? " misdrawn" : panel.right > client.bottom ? " wide" : " narrow";
        shown += " " + std::to_string(::GetDlgCtrlID(::GetFocus()));
        return shown + ((::GetWindowLongW(Control(SplashPath), GWL_STYLE) & ES_READONLY) ? " ro" : " rw");
    };
    const auto paste = [&] {
        const wchar_t text[] = L"Caf\u00e9\u00ac \u0142\r\n"; // typing refuses two; Windows-1252 lacks one
        HGLOBAL clip = ::GlobalAlloc(GMEM_MOVEABLE, sizeof text);
        std::copy(std::begin(text), std::end(text), static_cast<wchar_t*>(::GlobalLock(clip)));
        ::GlobalUnlock(clip);
        ASSERT_TRUE(::OpenClipboard(Window()) && ::EmptyClipboard() && ::SetClipboardData(CF_UNICODETEXT, clip));
        ::CloseClipboard();
        ::SetFocus(Control(Title));
        Send(Title, EM_SETSEL, 0, -1);
        Key('V', true);
        ::SetFocus(Control(List));
    };
    const auto keyIn = [&](ControlId id, WORD key, bool ctrl = false) { ::SetFocus(Control(id)), Key(key, ctrl); };
    // The list's menu opened by a key; Down moves through its commands, Return chooses.
    const auto menu = [&](int downs, WORD key, bool shift) {
        ::SetFocus(Control(List));
        for (int i = 0; i <= downs; ++i)
            ::PostMessageW(Control(List), WM_KEYDOWN, i < downs ? VK_DOWN : VK_RETURN, 0);
        Key(key, false, shift);
    };
    const auto drop = [&] { Drop({"b.nes", "a.nes", "c.nes"}); };
    const auto build = [&] { Click(Build); };
    const auto sys = [&](UINT id) { return [&, id] { Send(ControlId{}, WM_SYSCOMMAND, id); }; };
    const std::wstring anyway = L"Brimble 1.1: The image will be 32.2 MiB; a cartridge holds 32 MiB. Build anyway? No";
    const std::string after = "c,Caf\xc3\xa9 ?,b,| 0 narrow "; // the list once the ROMs are added
    // Each event, the window's state after it, and the dialogs it brought up (see Answering).
    const struct {
        const char* event;
        std::function<void()> send;
        std::string state;
        std::vector<std::wstring> met = {}, typed = {};
    } events[] = {
        {"a drop", drop, "b,a,c,| 0 narrow 1000 ro"},
        {"the toggle", [&] { Click(TogglePanel); }, "b,a,c,| 0 wide 1043 ro"},
        {"Down in the list", [&] { keyIn(List, VK_DOWN); }, "b,a,c,| 1 wide 1000 ro"},
        {"Ctrl+Down", [&] { keyIn(List, VK_DOWN, true); }, "b,c,a,| 2 wide 1000 ro"},
        {"Ctrl+Up", [&] { keyIn(List, VK_UP, true); }, "b,a,c,| 1 wide 1000 ro"},
        {"Down on the arrows", [&] { keyIn(UpDown, VK_DOWN); }, "b,c,a,| 2 wide 1047 ro"},
        {"sort", [&] { Click(Sort); }, "a,b,c,| 0 wide 1040 ro"},
        {"a title pasted, then left", paste, "Caf\xc3\xa9 ?,b,c,| 0 wide 1000 ro"},
        {"the splash box", [&] { Click(Splash); }, "Caf\xc3\xa9 ?,b,c,| 0 wide 1031 rw"},
        {"Delete in the list", [&] { keyIn(List, VK_DELETE); }, "b,c,| 0 wide 1000 rw"},
        {"remove", [&] { Click(Remove); }, "c,| 0 wide 1026 rw"},
        {"double click", [&] { Send(List, WM_LBUTTONDBLCLK, 0, MAKELPARAM(5, 5)); }, "c,| 0 narrow 1026 rw"},
        {"the add button", [&] { Click(Add); }, after + "1002 rw", {L"Add NES files..."}, {L"\"a.nes\" \"b.nes\""}},
        {"Insert in the list", [&] { menu(0, VK_INSERT, false); }, after + "1000 rw", {L"Add NES files..."}},
        {"Ctrl+O in a box", [&] { keyIn(OutputPath, 'O', true); }, after + "1022 rw", {L"Add NES files..."}},
        {"the output's button", [&] { Click(ChooseOutput); }, after + "1021 rw", {L"Save As"}},
        {"the splash's button", [&] { Click(ChooseSplash); }, after + "1033 rw", {L"Choose splash screen..."}},
        {"build", build, after + "1020 rw", {L"Locate Vantaro.GBA...", L"Oh no!: Can't open missing.gba."}},
        {"menu: Quorrel", sys(IDM_LOCATE_QUORREL), after + "1020 rw", {L"Open"}},
        {"menu: emulator", sys(IDM_LOCATE_EMULATOR), after + "1020 rw", {L"Locate Vantaro.GBA..."}, {L"emu.gba"}},
        {"build beyond a cartridge", build, after + "1020 rw", {anyway}},
        {"Shift+F10's first", [&] { menu(1, VK_F10, true); }, after + "1000 rw", {L"Locate Vantaro.GBA..."}},
        {"the menu key's second", [&] { menu(2, VK_APPS, false); }, after + "1000 rw", {L"Open"}},
        {"Enter, which goes nowhere", [&] { Key(VK_RETURN); }, after + "1000 rw"},
        {"autonumber", [&] { Click(Autonumber); }, after + "1015 rw"},
    };
    for (const auto& event : events) {
        EXPECT_EQ(Answering(event.send, event.typed), event.met) << event.event;
        EXPECT_EQ(state(), event.state) << event.event;
    }
    for (UINT id : {IDM_LOCATE_EMULATOR, IDM_LOCATE_GOODNES, IDM_LOCATE_QUORREL})
        EXPECT_GT(::GetMenuStringW(::GetSystemMenu(Window(), FALSE), id, nullptr, 0, MF_BYCOMMAND), 0);
    // Closing stores the switches (Escape is driven in the program's test).
    Send(ControlId{}, WM_SYSCOMMAND, SC_CLOSE);
    EXPECT_TRUE(m_window->Ended());
    EXPECT_NE(ReadText(m_dir / "brimble.ini").find("autonumber=1"), std::string::npos);
}

} // namespace
} // namespace brimble::test
