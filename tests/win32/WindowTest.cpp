#include "Win32TestSupport.h"
#include "win32/Resources.h"
#include "window/WindowTexts.h"

#include <commctrl.h>
#include <oleacc.h>
#include <shlobj.h>

// The Windows face's own wiring: each control's event, as Windows sends it, reaches the
// presenter, and the presenter's requests show on the controls. What the presenter then does
// is its own tests' business.

namespace brimble::test {
namespace {

using Win32Window = Win32WindowTest;

std::wstring MenuText(HMENU menu, int position) {
    wchar_t text[128] = {};
    ::GetMenuStringW(menu, static_cast<UINT>(position), text, 128, MF_BYPOSITION);
    return text;
}

int WindowWidth(HWND window) {
    RECT rect;
    ::GetWindowRect(window, &rect);
    return rect.right - rect.left;
}

bool ReadOnly(HWND edit) {
    return (::GetWindowLongW(edit, GWL_STYLE) & ES_READONLY) != 0;
}

// The name that an assistive technology reads for a control, or for one of its children.
std::wstring AccessibleName(HWND control, LONG child = CHILDID_SELF) {
    IAccessible* accessible = nullptr;
    if (FAILED(::AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                            reinterpret_cast<void**>(&accessible))))
        return L"(no accessible object)";
    VARIANT which;
    which.vt = VT_I4;
    which.lVal = child;
    BSTR name = nullptr;
    accessible->get_accName(which, &name);
    const std::wstring read = name != nullptr ? name : L"";
    ::SysFreeString(name);
    accessible->Release();
    return read;
}

// A drop of files onto the list, as the shell hands it over.
HDROP MakeDrop(const std::vector<std::filesystem::path>& paths) {
    std::wstring names;
    for (const auto& path : paths)
        names += path.native() + L'\0';
    names += L'\0';
    const std::size_t bytes = sizeof(DROPFILES) + names.size() * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GHND, bytes);
    auto* drop = static_cast<DROPFILES*>(::GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::copy(names.begin(), names.end(), reinterpret_cast<wchar_t*>(drop + 1));
    ::GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

TEST_F(Win32Window, StartsWithItsCaptionMenuIconsLimitsAndThePanelHidden) {
    WriteIni("usesplash=0\r\nsplashfile=x.raw\r\n");
    Open();
    wchar_t caption[64] = {};
    ::GetWindowTextW(Window(), caption, 64);
    EXPECT_STREQ(caption, L"Brimble 1.1");

    HMENU menu = ::GetSystemMenu(Window(), FALSE);
    const int count = ::GetMenuItemCount(menu);
    ASSERT_GE(count, 4);
    EXPECT_EQ(::GetMenuItemID(menu, count - 4), 0u); // the separator
    EXPECT_EQ(MenuText(menu, count - 3), L"Locate Vantaro.GBA...");
    EXPECT_EQ(MenuText(menu, count - 2), L"Locate GoodNES database...");
    EXPECT_EQ(MenuText(menu, count - 1), L"Locate Quorrel database...");

    EXPECT_NE(::SendMessageW(Window(), WM_GETICON, ICON_BIG, 0), 0);
    for (ControlId button : {ControlId::Add, ControlId::Remove, ControlId::Build})
        EXPECT_NE(::SendMessageW(Control(button), BM_GETIMAGE, IMAGE_ICON, 0), 0);
    EXPECT_EQ(::SendMessageW(Control(ControlId::Title), EM_GETLIMITTEXT, 0, 0), 31);
    EXPECT_EQ(::SendMessageW(Control(ControlId::FollowValue), EM_GETLIMITTEXT, 0, 0), 4);

    // The panel is hidden and the window narrower by its width; the splash box's rule holds.
    RECT template_{0, 0, kTemplateWidth, 0};
    ::MapDialogRect(Window(), &template_);
    RECT client;
    ::GetClientRect(Window(), &client);
    EXPECT_EQ(client.right, template_.right - m_window->PanelWidth());
    EXPECT_FALSE(::IsWindowVisible(Control(ControlId::Title)));
    EXPECT_TRUE(::IsWindowVisible(Control(ControlId::Build)));
    EXPECT_TRUE(ReadOnly(Control(ControlId::SplashPath)));
    EXPECT_EQ(::GetFocus(), Control(ControlId::List));
}

TEST_F(Win32Window, ControlEventsReachThePresenter) {
    Rom("b.nes", 16384, 1);
    Rom("a.nes", 16384, 2);
    Rom("c.nes", 16384, 3);
    Open();
    ::SendMessageW(Control(ControlId::List), WM_DROPFILES,
                   reinterpret_cast<WPARAM>(MakeDrop({Dir() / "b.nes", Dir() / "a.nes", Dir() / "c.nes"})), 0);
    Pump();
    EXPECT_EQ(ListTexts(), (std::vector<std::wstring>{L"b", L"a", L"c"}));

    // The toggle and a double-click in the list show and hide the panel, by its width.
    const int narrow = WindowWidth(Window());
    Click(ControlId::TogglePanel);
    EXPECT_TRUE(Presenter().PanelShown());
    EXPECT_EQ(WindowWidth(Window()), narrow + m_window->PanelWidth());
    EXPECT_TRUE(::IsWindowVisible(Control(ControlId::Title)));
    ::SendMessageW(Control(ControlId::List), WM_LBUTTONDBLCLK, 0, MAKELPARAM(5, 5));
    Pump();
    EXPECT_FALSE(Presenter().PanelShown());
    Click(ControlId::TogglePanel);

    // A click on the second item selects it.
    RECT item;
    ::SendMessageW(Control(ControlId::List), LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    const LPARAM at = MAKELPARAM(item.left + 2, (item.top + item.bottom) / 2);
    ::SendMessageW(Control(ControlId::List), WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(Control(ControlId::List), WM_LBUTTONUP, 0, at);
    Pump();
    EXPECT_EQ(Presenter().Roms().Selection(), 1);

    // A title pasted with Ctrl+V is stored on leaving the box: UTF-16, with a letter that
    // Windows-1252 lacks, and without the characters that the box refuses when typed.
    ASSERT_TRUE(::OpenClipboard(Window()));
    ::EmptyClipboard();
    const std::wstring pasted = L"Caf\u00e9\u00ac \u0142\r\n";
    HGLOBAL clip = ::GlobalAlloc(GMEM_MOVEABLE, (pasted.size() + 1) * sizeof(wchar_t));
    std::copy(pasted.c_str(), pasted.c_str() + pasted.size() + 1, static_cast<wchar_t*>(::GlobalLock(clip)));
    ::GlobalUnlock(clip);
    ::SetClipboardData(CF_UNICODETEXT, clip);
    ::CloseClipboard();
    ::SetFocus(Control(ControlId::Title));
    ::SendMessageW(Control(ControlId::Title), EM_SETSEL, 0, -1);
    Key('V', true);
    ::SetFocus(Control(ControlId::List));
    Pump();
    EXPECT_EQ(Presenter().Roms().Selected()->title, "Caf\xe9 ?");
    EXPECT_EQ(ListTexts()[1], L"Caf\u00e9 ?");

    // The lower arrow moves the entry down and takes the focus.
    RECT arrows;
    ::GetClientRect(Control(ControlId::UpDown), &arrows);
    const LPARAM lower = MAKELPARAM(arrows.right / 2, arrows.bottom - 2);
    ::SendMessageW(Control(ControlId::UpDown), WM_LBUTTONDOWN, MK_LBUTTON, lower);
    ::SendMessageW(Control(ControlId::UpDown), WM_LBUTTONUP, 0, lower);
    Pump();
    EXPECT_EQ(Presenter().Roms().Selection(), 2);
    EXPECT_EQ(ListTexts(), (std::vector<std::wstring>{L"b", L"c", L"Caf\u00e9 ?"}));
    EXPECT_EQ(::GetFocus(), Control(ControlId::UpDown));

    Click(ControlId::Sort);
    EXPECT_EQ(ListTexts(), (std::vector<std::wstring>{L"b", L"c", L"Caf\u00e9 ?"}));
    Click(ControlId::Remove);
    EXPECT_EQ(Presenter().Roms().Count(), 2u);

    Click(ControlId::Splash);
    EXPECT_FALSE(ReadOnly(Control(ControlId::SplashPath)));
    Click(ControlId::Splash);
    EXPECT_TRUE(ReadOnly(Control(ControlId::SplashPath)));
}

TEST_F(Win32Window, KeysOfTheListAndTheWindow) {
    Rom("a.nes", 16384, 1);
    Rom("b.nes", 16384, 2);
    Open();
    ::SendMessageW(Control(ControlId::List), WM_DROPFILES,
                   reinterpret_cast<WPARAM>(MakeDrop({Dir() / "a.nes", Dir() / "b.nes"})), 0);
    Pump();
    ::SetFocus(Control(ControlId::List));

    // Ctrl+Down moves the selected entry and leaves the focus in the list.
    Key(VK_DOWN, true);
    EXPECT_EQ(ListTexts(), (std::vector<std::wstring>{L"b", L"a"}));
    EXPECT_EQ(Presenter().Roms().Selection(), 1);
    EXPECT_EQ(::GetFocus(), Control(ControlId::List));
    Key(VK_UP, true);
    EXPECT_EQ(ListTexts(), (std::vector<std::wstring>{L"a", L"b"}));

    Key(VK_DELETE);
    EXPECT_EQ(ListTexts(), (std::vector<std::wstring>{L"b"}));

    // Insert in the list and Ctrl+O anywhere open the add dialog.
    auto met = Answering({{}}, [&] { Key(VK_INSERT); });
    ASSERT_EQ(met.size(), 1u);
    EXPECT_EQ(met[0].caption, L"Add NES files...");
    ::SetFocus(Control(ControlId::OutputPath));
    met = Answering({{}}, [&] { Key('O', true); });
    ASSERT_EQ(met.size(), 1u);
    EXPECT_EQ(met[0].caption, L"Add NES files...");

    // Enter where no push button has the focus goes nowhere.
    Key(VK_RETURN);
    EXPECT_FALSE(m_window->Ended());
}

TEST_F(Win32Window, EscapeEndsWithoutStoringAndTheCloseBoxStores) {
    WriteIni("autonumber=1\r\n");
    Open();
    const std::string started = Ini();
    Click(ControlId::TogglePanel);
    Click(ControlId::Autonumber);
    Key(VK_ESCAPE);
    EXPECT_TRUE(m_window->Ended());
    EXPECT_EQ(Ini(), started);

    Open();
    Click(ControlId::TogglePanel);
    Click(ControlId::Autonumber);
    ::SendMessageW(Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump();
    EXPECT_TRUE(m_window->Ended());
    EXPECT_NE(Ini().find("autonumber=0"), std::string::npos) << Ini();
}

TEST_F(Win32Window, SystemMenuAndContextMenuRunTheLocateCommands) {
    WriteFile(Dir() / "emu.gba", "emulator");
    Open();
    auto met = Answering({{{(Dir() / "emu.gba").native()}}},
                         [&] { ::SendMessageW(Window(), WM_SYSCOMMAND, IDM_LOCATE_EMULATOR, 0); });
    ASSERT_EQ(met.size(), 1u);
    EXPECT_EQ(met[0].caption, L"Locate Vantaro.GBA...");
    EXPECT_NE(Ini().find("emu.gba"), std::string::npos) << Ini();

    met = Answering({{}}, [&] { ::SendMessageW(Window(), WM_SYSCOMMAND, IDM_LOCATE_QUORREL, 0); });
    ASSERT_EQ(met.size(), 1u);

    // Shift+F10 in the list opens its menu; Down and Return choose its first command.
    ::SetFocus(Control(ControlId::List));
    met = Answering({{}}, [&] {
        ::PostMessageW(Control(ControlId::List), WM_KEYDOWN, VK_DOWN, 0);
        ::PostMessageW(Control(ControlId::List), WM_KEYDOWN, VK_RETURN, 0);
        Key(VK_F10, false, true);
    });
    ASSERT_EQ(met.size(), 1u);
    EXPECT_EQ(met[0].caption, L"Locate Vantaro.GBA...");
}

TEST_F(Win32Window, BuildMessagesShowTheirTextAndCaption) {
    Rom("a.nes");
    WriteIni("outputfile=out.gba\r\nvantaro=missing.gba\r\n");
    Open();
    ::SendMessageW(Control(ControlId::List), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({Dir() / "a.nes"})), 0);
    Pump();
    const auto met = Answering({{}, {}}, [&] { Click(ControlId::Build); });
    ASSERT_EQ(met.size(), 2u);
    EXPECT_EQ(met[0].caption, L"Locate Vantaro.GBA...");
    EXPECT_EQ(met[1].caption, L"Oh no!");
    EXPECT_EQ(met[1].text, L"Can't open missing.gba.");
    EXPECT_FALSE(m_window->Ended());

    // An image beyond a cartridge is built when the question is answered Yes.
    WriteFile(Dir() / "emu.gba", "");
    std::filesystem::resize_file(Dir() / "emu.gba", 32u << 20);
    WriteIni("outputfile=out.gba\r\nvantaro=emu.gba\r\n");
    Open();
    ::SendMessageW(Control(ControlId::List), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({Dir() / "a.nes"})), 0);
    Pump();
    const auto asked = Answering({{.files = {}, .filter = -1, .button = IDYES}, {}}, [&] { Click(ControlId::Build); });
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_TRUE(asked[0].yesNo);
    EXPECT_EQ(asked[0].text, L"The image will be 32.1 MiB; a cartridge holds 32 MiB. Build anyway?");
    EXPECT_EQ(asked[1].text, L"Done!");
    EXPECT_TRUE(std::filesystem::exists(Dir() / "out.gba"));
}

TEST_F(Win32Window, AddDialogTakesSeveralFilesAndPreselectsTheLastFilter) {
    Rom("a.nes", 16384, 1);
    Rom("b.nes", 16384, 2);
    WriteIni("lastdir=" + Dir().string() + "\r\n");
    Open();
    // Wine's dialog does not write the user's filter back into the record; the presenter's
    // last choice is what the next dialog preselects.
    auto met = Answering({{{L"a.nes", L"b.nes"}}}, [&] { Click(ControlId::Add); });
    ASSERT_EQ(met.size(), 1u);
    EXPECT_EQ(ListTexts(), (std::vector<std::wstring>{L"a", L"b"}));
    EXPECT_EQ(met[0].filterIndex, Presenter().LastFilterIndex());
}

TEST_F(Win32Window, ControlsCarryTheirNamesForAssistiveTechnology) {
    Open();
    Click(ControlId::TogglePanel);
    // The controls without a caption are named by annotations, which the system's proxies read.
    // Wine offers no annotation service: there the names cannot be seen.
    const bool wine = ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    if (!wine) {
        EXPECT_TRUE(m_window->Annotated());
    }
    // The others are named by their text, icon buttons included, as the proxies read it.
    std::vector<std::string> misnamed;
    for (const ControlTemplate& control : kWindowTemplate) {
        const bool namedByText =
            control.kind == ControlKind::IconButton ||
            (!control.caption.empty() && control.name.empty() && control.kind != ControlKind::Label);
        if (!namedByText)
            continue;
        const std::wstring read = AccessibleName(Control(control.id));
        const std::string_view wanted = control.kind == ControlKind::IconButton ? control.name : control.caption;
        if (read != std::wstring(wanted.begin(), wanted.end()))
            misnamed.push_back(std::string(wanted) + " reads as " + std::string(read.begin(), read.end()));
    }
    EXPECT_TRUE(misnamed.empty()) << testing::PrintToString(misnamed);
    // The up-down control's arrows are its proxy's children 1 and 2. Wine's proxy has no
    // children and its annotation service refuses every annotation: there they cannot be read.
    if (m_window->Annotated()) {
        EXPECT_EQ(AccessibleName(Control(ControlId::UpDown), 1), L"Move up");
        EXPECT_EQ(AccessibleName(Control(ControlId::UpDown), 2), L"Move down");
    }

    // The buttons without words on them show their names as tooltips.
    HWND tips = nullptr;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM found) -> BOOL {
            wchar_t name[64] = {};
            ::GetClassNameW(window, name, 64);
            if (std::wstring(name) != TOOLTIPS_CLASSW)
                return TRUE;
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&tips));
    ASSERT_NE(tips, nullptr);
    for (ControlId id :
         {ControlId::Add, ControlId::Remove, ControlId::Build, ControlId::ChooseOutput, ControlId::ChooseSplash}) {
        wchar_t text[80] = {};
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = Window();
        tool.uId = reinterpret_cast<UINT_PTR>(Control(id));
        tool.lpszText = text;
        ::SendMessageW(tips, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
        const std::string_view name = TemplateOf(id).name;
        EXPECT_EQ(std::wstring(text), std::wstring(name.begin(), name.end()));
    }
}

} // namespace
} // namespace brimble::test
