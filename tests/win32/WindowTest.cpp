#include "support/TestFiles.h"
#include "win32/Resources.h"
#include "win32/WideText.h"
#include "win32/Win32Window.h"

#include <commctrl.h>
#include <dlgs.h>
#include <gtest/gtest.h>
#include <oleacc.h>
#include <shlobj.h>

// The Windows face's own wiring on the real dialog, in-process: what the presenter then does is
// its own tests' business.

namespace brimble::test {
namespace {

std::wstring TextOf(HWND window) {
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    return text;
}

// The name that an assistive technology reads for a control, or for one of its children.
std::wstring AccessibleName(HWND control, LONG child = CHILDID_SELF) {
    IAccessible* accessible = nullptr;
    BSTR name = nullptr;
    if (SUCCEEDED(::AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                               reinterpret_cast<void**>(&accessible)))) {
        accessible->get_accName(VARIANT{{{VT_I4, 0, 0, 0, {.lVal = child}}}}, &name);
        accessible->Release();
    }
    const std::wstring read = name != nullptr ? name : L"(none)";
    ::SysFreeString(name);
    return read;
}

// A window over real files in a temporary folder, which is the current directory meanwhile.
class Win32Window : public testing::Test {
protected:
    void Open() {
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
        state[VK_CONTROL] = state[VK_SHIFT] = 0;
        ::SetKeyboardState(state);
        Pump();
    }
    // Files dropped onto the list, as the shell hands them over.
    void Drop(const std::vector<std::string>& names) {
        std::wstring list;
        for (const std::string& name : names)
            list += (m_dir / name).native() + L'\0';
        HGLOBAL memory = ::GlobalAlloc(GHND, sizeof(DROPFILES) + (list.size() + 1) * sizeof(wchar_t));
        auto* drop = static_cast<DROPFILES*>(::GlobalLock(memory));
        *drop = DROPFILES{sizeof(DROPFILES), {}, FALSE, TRUE};
        std::copy(list.begin(), list.end(), reinterpret_cast<wchar_t*>(drop + 1));
        ::GlobalUnlock(memory);
        Send(ControlId::List, WM_DROPFILES, reinterpret_cast<WPARAM>(memory));
    }
    // Runs an action, answering each modal dialog as it comes up with the files given for it
    // (none: cancel), No or OK; returns each one's caption, and a message box's text after a colon.
    std::vector<std::wstring> Answering(const std::function<void()>& action,
                                        std::vector<std::vector<std::wstring>> files = {}) {
        m_files = std::move(files);
        m_files.resize(8);
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
            std::wstring typed;
            for (const std::wstring& file : self.m_files[self.m_met.size() - 1])
                typed += L"\"" + file + L"\" ";
            const HWND name = ::GetDlgItem(dialog, ::GetDlgItem(dialog, cmb13) != nullptr ? cmb13 : edt1);
            ::SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
            ::PostMessageW(dialog, WM_COMMAND, name != nullptr && typed.empty() ? IDCANCEL : no ? IDNO : IDOK, 0);
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline Win32Window* s_answering = nullptr;
    std::vector<std::vector<std::wstring>> m_files;
    std::vector<std::wstring> m_met;
    HWND m_lastDialog = nullptr;
    TempDir m_dir;
    CurrentDirectory m_current{m_dir.Path()};
    NameTable m_names;
    GameDatabase m_database;
    std::unique_ptr<win32::Win32Window> m_window;
};

TEST_F(Win32Window, ControlsSitAtTheirTemplatePlacesInTabOrderWithTheirNamesAndResources) {
    WriteNesFile(m_dir / "a.nes", 16384);
    Open();
    Drop({"a.nes"});
    Click(ControlId::TogglePanel);
    std::vector<int> stops;
    for (const ControlTemplate& control : kWindowTemplate) {
        HWND handle = Control(control.id);
        RECT expected{control.x, control.y, control.width, control.height};
        ::MapDialogRect(Window(), &expected);
        RECT actual;
        ::GetWindowRect(handle, &actual);
        ::MapWindowPoints(nullptr, Window(), reinterpret_cast<POINT*>(&actual), 2);
        EXPECT_EQ(std::vector<LONG>({actual.left, actual.top, actual.right - actual.left, actual.bottom - actual.top}),
                  std::vector<LONG>({expected.left, expected.top, expected.right, expected.bottom}))
            << static_cast<int>(control.id);
        // A radio button is a tab stop while it is checked; disabled controls are passed over.
        const bool checked = ::SendMessageW(handle, BM_GETCHECK, 0, 0) == BST_CHECKED;
        if (::IsWindowEnabled(handle) && control.kind != ControlKind::UpDown && control.kind != ControlKind::Label &&
            control.kind != ControlKind::GroupBox && (control.kind != ControlKind::Radio || checked))
            stops.push_back(static_cast<int>(control.id));
    }
    std::vector<int> visited;
    for (HWND at = Control(ControlId::List); visited.size() < stops.size(); at = ::GetNextDlgTabItem(Window(), at, 0))
        visited.push_back(::GetDlgCtrlID(at));
    EXPECT_EQ(visited, stops);
    EXPECT_NE(::SendMessageW(Window(), WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(::FindResourceW(nullptr, MAKEINTRESOURCEW(1), RT_MANIFEST), nullptr); // styles, per-monitor DPI
    EXPECT_NE(::FindResourceW(nullptr, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION), nullptr);
    for (ControlId button : {ControlId::Add, ControlId::Remove, ControlId::Build})
        EXPECT_NE(::SendMessageW(Control(button), BM_GETIMAGE, IMAGE_ICON, 0), 0);
    EXPECT_EQ(::SendMessageW(Control(ControlId::Title), EM_GETLIMITTEXT, 0, 0), 31);
    EXPECT_EQ(::SendMessageW(Control(ControlId::FollowValue), EM_GETLIMITTEXT, 0, 0), 4);
    // Annotations name the controls without a caption and the arrows; Wine refuses them.
    const bool wine = ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    EXPECT_TRUE(wine || m_window->Annotated());
    for (const ControlTemplate& control : kWindowTemplate) {
        const bool annotated = !control.name.empty() && control.kind != ControlKind::IconButton;
        const std::string_view name =
            annotated || control.kind == ControlKind::IconButton ? control.name : control.caption;
        if (control.kind != ControlKind::Label && !name.empty() && (!annotated || m_window->Annotated())) {
            EXPECT_EQ(AccessibleName(Control(control.id)), win32::Widen(name));
        }
    }
    if (m_window->Annotated()) {
        EXPECT_EQ(AccessibleName(Control(ControlId::UpDown), 1), L"Move up");
        EXPECT_EQ(AccessibleName(Control(ControlId::UpDown), 2), L"Move down");
    }
    // The buttons without words on them show their names as tooltips.
    HWND tips = ::FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr);
    using enum ControlId;
    for (ControlId id : {Add, Remove, Build, ChooseOutput, ChooseSplash}) {
        wchar_t text[80] = {};
        TTTOOLINFOW tool{sizeof tool, 0, Window(), reinterpret_cast<UINT_PTR>(Control(id)), {}, nullptr,
                         text,        0, nullptr};
        ::SendMessageW(tips, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
        EXPECT_EQ(text, win32::Widen(TemplateOf(id).name));
    }
}

TEST_F(Win32Window, EachControlsEventReachesThePresenterAndOpensItsDialogs) {
    for (const char* name : {"b", "a", "c"})
        WriteNesFile(m_dir / (std::string(name) + ".nes"), 16384, static_cast<std::uint32_t>(name[0]));
    WriteFile(m_dir / "brimble.ini", "[config]\r\noutputfile=out.gba\r\nvantaro=missing.gba\r\n");
    WriteFile(m_dir / "emu.gba", Bytes(32u << 20)); // a cartridge's worth
    Open();
    // The list's items | the selected row, the panel, the focus and whether the splash path is typed in.
    const auto state = [&] {
        std::string shown;
        HWND list = Control(ControlId::List);
        for (LRESULT i = 0; i < ::SendMessageW(list, LB_GETCOUNT, 0, 0); ++i) {
            wchar_t text[64] = {};
            ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            shown += win32::Narrow(text) + ",";
        }
        const int row = m_window->Presenter().Roms().Selection();
        shown += "| " + std::to_string(row) + (::SendMessageW(list, LB_GETCURSEL, 0, 0) != row ? " unshown" : "");
        RECT client;
        RECT panel{0, 0, ::IsWindowVisible(Control(ControlId::Title)) ? kTemplateWidth : kNarrowWidth, 0};
        ::GetClientRect(Window(), &client);
        ::MapDialogRect(Window(), &panel);
        shown += client.right != panel.right ? " misdrawn" : panel.right > client.bottom ? " wide" : " narrow";
        shown += " " + std::to_string(::GetDlgCtrlID(::GetFocus()));
        return shown + ((::GetWindowLongW(Control(ControlId::SplashPath), GWL_STYLE) & ES_READONLY) ? " ro" : " rw");
    };
    const auto paste = [&] {
        const wchar_t text[] = L"Caf\u00e9\u00ac \u0142\r\n"; // typing refuses two; Windows-1252 lacks one
        HGLOBAL clip = ::GlobalAlloc(GMEM_MOVEABLE, sizeof text);
        std::copy(std::begin(text), std::end(text), static_cast<wchar_t*>(::GlobalLock(clip)));
        ::GlobalUnlock(clip);
        ASSERT_TRUE(::OpenClipboard(Window()) && ::EmptyClipboard() && ::SetClipboardData(CF_UNICODETEXT, clip));
        ::CloseClipboard();
        ::SetFocus(Control(ControlId::Title));
        Send(ControlId::Title, EM_SETSEL, 0, -1);
        Key('V', true);
        ::SetFocus(Control(ControlId::List));
    };
    const auto drop = [&] { Drop({"b.nes", "a.nes", "c.nes"}); };
    const auto inList = [&](WORD key, bool control) { ::SetFocus(Control(ControlId::List)), Key(key, control); };
    const struct {
        const char* event;
        std::function<void()> send;
        const char* state;
    } events[] = {
        {"a drop", drop, "b,a,c,| 0 narrow 1000 ro"},
        {"the toggle", [&] { Click(ControlId::TogglePanel); }, "b,a,c,| 0 wide 1043 ro"},
        {"Down in the list", [&] { inList(VK_DOWN, false); }, "b,a,c,| 1 wide 1000 ro"},
        {"Ctrl+Down", [&] { inList(VK_DOWN, true); }, "b,c,a,| 2 wide 1000 ro"},
        {"Ctrl+Up", [&] { inList(VK_UP, true); }, "b,a,c,| 1 wide 1000 ro"},
        {"Down on the arrows", [&] { ::SetFocus(Control(ControlId::UpDown)), Key(VK_DOWN); }, "b,c,a,| 2 wide 1047 ro"},
        {"sort", [&] { Click(ControlId::Sort); }, "a,b,c,| 0 wide 1040 ro"},
        {"a title pasted, then left", paste, "Caf\xc3\xa9 ?,b,c,| 0 wide 1000 ro"},
        {"the splash box", [&] { Click(ControlId::Splash); }, "Caf\xc3\xa9 ?,b,c,| 0 wide 1031 rw"},
        {"Delete in the list", [&] { inList(VK_DELETE, false); }, "b,c,| 0 wide 1000 rw"},
        {"remove", [&] { Click(ControlId::Remove); }, "c,| 0 wide 1026 rw"},
        {"double click", [&] { Send(ControlId::List, WM_LBUTTONDBLCLK, 0, MAKELPARAM(5, 5)); }, "c,| 0 narrow 1026 rw"},
    };
    for (const auto& event : events) {
        event.send();
        EXPECT_EQ(state(), event.state) << event.event;
    }

    // The list's menu opened by a key; Down moves through its commands, Return chooses.
    const auto menu = [&](int downs, WORD key, bool shift) {
        ::SetFocus(Control(ControlId::List));
        for (int i = 0; i < downs; ++i)
            ::PostMessageW(Control(ControlId::List), WM_KEYDOWN, VK_DOWN, 0);
        ::PostMessageW(Control(ControlId::List), WM_KEYDOWN, VK_RETURN, 0);
        Key(key, false, shift);
    };
    const auto command = [&](UINT id) { return [&, id] { Send(ControlId{}, WM_SYSCOMMAND, id); }; };
    const struct {
        const char* event;
        std::function<void()> send;
        std::vector<std::wstring> met;
        std::vector<std::vector<std::wstring>> files = {};
    } dialogs[] = {
        {"the add button", [&] { Click(ControlId::Add); }, {L"Add NES files..."}, {{L"a.nes", L"b.nes"}}},
        {"Insert in the list", [&] { menu(0, VK_INSERT, false); }, {L"Add NES files..."}},
        {"Ctrl+O in a box", [&] { ::SetFocus(Control(ControlId::OutputPath)), Key('O', true); }, {L"Add NES files..."}},
        {"the output's button", [&] { Click(ControlId::ChooseOutput); }, {L"Save As"}},
        {"the splash's button", [&] { Click(ControlId::ChooseSplash); }, {L"Choose splash screen..."}},
        {"build", [&] { Click(ControlId::Build); }, {L"Locate Vantaro.GBA...", L"Oh no!: Can't open missing.gba."}},
        {"the system menu's Quorrel", command(IDM_LOCATE_QUORREL), {L"Open"}},
        {"the system menu's emulator", command(IDM_LOCATE_EMULATOR), {L"Locate Vantaro.GBA..."}, {{L"emu.gba"}}},
        {"build beyond a cartridge",
         [&] { Click(ControlId::Build); },
         {L"Brimble 1.1: The image will be 32.2 MiB; a cartridge holds 32 MiB. Build anyway? No"}},
        {"Shift+F10's first", [&] { menu(1, VK_F10, true); }, {L"Locate Vantaro.GBA..."}},
        {"the menu key's second", [&] { menu(2, VK_APPS, false); }, {L"Open"}},
    };
    for (const auto& event : dialogs)
        EXPECT_EQ(Answering(event.send, event.files), event.met) << event.event;
    EXPECT_EQ(m_window->Presenter().Roms().Count(), 3u);
    for (UINT id : {IDM_LOCATE_EMULATOR, IDM_LOCATE_GOODNES, IDM_LOCATE_QUORREL})
        EXPECT_GT(::GetMenuStringW(::GetSystemMenu(Window(), FALSE), id, nullptr, 0, MF_BYCOMMAND), 0);
    // Enter goes nowhere; closing stores the switches (Escape is driven in the program's test).
    Key(VK_RETURN);
    Click(ControlId::Autonumber);
    const std::string autonumber = m_window->Checked(ControlId::Autonumber) ? "autonumber=1" : "autonumber=0";
    EXPECT_FALSE(m_window->Ended());
    Send(ControlId{}, WM_SYSCOMMAND, SC_CLOSE);
    EXPECT_TRUE(m_window->Ended());
    EXPECT_NE(ReadText(m_dir / "brimble.ini").find(autonumber), std::string::npos);
}

} // namespace
} // namespace brimble::test
