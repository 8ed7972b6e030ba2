#include "Win32Window.h"

#include "Accessibility.h"
#include "Resources.h"
#include "WideText.h"
#include "window/BuildMessages.h"
#include "window/PanelRules.h"
#include "window/WindowTexts.h"

#include <commctrl.h>
#include <shellapi.h>
#include <string>
#include <windowsx.h>

// The window's messages, each handed to the presenter.

namespace brimble::win32 {
namespace {

#define BRIMBLE_SAME_ID(name, id) static_assert(name == static_cast<int>(ControlId::id), #name)
BRIMBLE_SAME_ID(IDC_LIST, List);
BRIMBLE_SAME_ID(IDC_ADD, Add);
BRIMBLE_SAME_ID(IDC_REMOVE, Remove);
BRIMBLE_SAME_ID(IDC_SORT, Sort);
BRIMBLE_SAME_ID(IDC_UPDOWN, UpDown);
BRIMBLE_SAME_ID(IDC_BUILD, Build);
BRIMBLE_SAME_ID(IDC_OUTPUT_PATH, OutputPath);
BRIMBLE_SAME_ID(IDC_CHOOSE_OUTPUT, ChooseOutput);
BRIMBLE_SAME_ID(IDC_RESTORE_LIST, RestoreList);
BRIMBLE_SAME_ID(IDC_TOGGLE_PANEL, TogglePanel);
BRIMBLE_SAME_ID(IDC_TITLE, Title);
BRIMBLE_SAME_ID(IDC_PPU_SPEED_HACK, PpuSpeedHack);
BRIMBLE_SAME_ID(IDC_NO_CPU_SPEED_HACK, NoCpuSpeedHack);
BRIMBLE_SAME_ID(IDC_PAL_TIMING, PalTiming);
BRIMBLE_SAME_ID(IDC_FOLLOW_SPRITE, FollowSprite);
BRIMBLE_SAME_ID(IDC_FOLLOW_MEMORY, FollowMemory);
BRIMBLE_SAME_ID(IDC_FOLLOW_VALUE, FollowValue);
BRIMBLE_SAME_ID(IDC_AUTONUMBER, Autonumber);
BRIMBLE_SAME_ID(IDC_SPLASH, Splash);
BRIMBLE_SAME_ID(IDC_FLAG_190K, Flag190k);
BRIMBLE_SAME_ID(IDC_SPLASH_PATH, SplashPath);
BRIMBLE_SAME_ID(IDC_CHOOSE_SPLASH, ChooseSplash);
BRIMBLE_SAME_ID(IDC_FILE_NAME, FileName);
BRIMBLE_SAME_ID(IDC_ROM_SIZE, RomSize);
BRIMBLE_SAME_ID(IDC_TOTAL_CAPTION, TotalCaption);
BRIMBLE_SAME_ID(IDC_TOTAL, Total);
BRIMBLE_SAME_ID(IDC_DETAILS_FRAME, DetailsFrame);
#undef BRIMBLE_SAME_ID

// The clipboard's text, or nothing when it holds none or another program keeps it open.
std::wstring ClipboardText(HWND owner) {
    std::wstring text;
    if (!::OpenClipboard(owner))
        return text;
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
            text = chars;
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

// Pasted text goes into the title box as if it were typed: the characters the box refuses are
// left out, with the same beep, and the box's length limit holds.
void PasteTitle(HWND box) {
    std::wstring text = ClipboardText(box);
    if (std::erase_if(text, [](wchar_t c) { return IsRefusedTitleCharacter(c); }) > 0)
        ::MessageBeep(MB_OK);
    ::SendMessageW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

// The tooltip tool over the total and its caption.
constexpr UINT_PTR kTotalTool = 1;

const COLORREF kWarningColour = RGB(0xC0, 0x10, 0x10);

} // namespace

Win32Window::Win32Window(HINSTANCE instance, NameTable& names, GameDatabase& database, std::size_t fileNameCapacity)
    : m_instance(instance), m_presenter(*this, names, database), m_dialogs(fileNameCapacity) {}

Win32Window::~Win32Window() {
    if (m_window != nullptr)
        ::DestroyWindow(m_window);
    if (m_keys != nullptr)
        ::DestroyAcceleratorTable(m_keys);
    for (HICON icon : {m_bigIcon, m_smallIcon, m_buttonIcons[0], m_buttonIcons[1], m_buttonIcons[2]}) {
        if (icon != nullptr)
            ::DestroyIcon(icon);
    }
}

bool Win32Window::Create() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS | ICC_BAR_CLASSES |
                                                       ICC_PROGRESS_CLASS | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    ACCEL keys[] = {{FCONTROL | FVIRTKEY, 'O', IDM_ADD_KEY}};
    m_keys = ::CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys)));
    const HWND window = ::CreateDialogParamW(m_instance, MAKEINTRESOURCEW(IDD_MAIN_WINDOW), nullptr, &DialogProc,
                                             reinterpret_cast<LPARAM>(this));
    return window != nullptr;
}

void Win32Window::Run() {
    ::ShowWindow(m_window, SW_SHOWNORMAL);
    ::SetForegroundWindow(m_window);
    MSG message;
    while (!m_ended && ::GetMessageW(&message, nullptr, 0, 0) > 0)
        Dispatch(message);
}

void Win32Window::Dispatch(MSG& message) {
    if (TranslateKeys(message))
        return;
    if (m_window != nullptr && ::IsDialogMessageW(m_window, &message))
        return;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
}

bool Win32Window::TranslateKeys(MSG& message) {
    if (m_window == nullptr || (message.hwnd != m_window && !::IsChild(m_window, message.hwnd)))
        return false;
    return ::TranslateAcceleratorW(m_window, m_keys, &message) != 0;
}

HWND Win32Window::Control(ControlId id) const {
    return ::GetDlgItem(m_window, static_cast<int>(id));
}

int Win32Window::PanelWidth() const {
    RECT wide{0, 0, kTemplateWidth, 0};
    RECT narrow{0, 0, kNarrowWidth, 0};
    ::MapDialogRect(m_window, &wide);
    ::MapDialogRect(m_window, &narrow);
    return wide.right - narrow.right;
}

INT_PTR CALLBACK Win32Window::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrW(window, DWLP_USER, lParam);
        auto* self = reinterpret_cast<Win32Window*>(lParam);
        self->m_window = window;
        self->m_previewTarget = window;
        self->StartUp();
        // The focus is in the list, set by the start-up.
        return FALSE;
    }
    auto* self = reinterpret_cast<Win32Window*>(::GetWindowLongPtrW(window, DWLP_USER));
    if (self == nullptr)
        return FALSE;
    return self->HandleMessage(message, wParam, lParam);
}

void Win32Window::StartUp() {
    const std::wstring caption = Widen(kProgramCaption);
    ::SetWindowTextW(m_window, caption.c_str());

    if (HMENU menu = ::GetSystemMenu(m_window, FALSE)) {
        ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuW(menu, MF_STRING, IDM_LOCATE_EMULATOR, Widen(kLocateEmulatorCommand).c_str());
        ::AppendMenuW(menu, MF_STRING, IDM_LOCATE_GOODNES, Widen(kLocateGoodNesCommand).c_str());
        ::AppendMenuW(menu, MF_STRING, IDM_LOCATE_QUORREL, Widen(kLocateQuorrelCommand).c_str());
    }

    const int bigSide = ::GetSystemMetrics(SM_CXICON);
    const int smallSide = ::GetSystemMetrics(SM_CXSMICON);
    m_bigIcon = static_cast<HICON>(
        ::LoadImageW(m_instance, MAKEINTRESOURCEW(IDI_BRIMBLE), IMAGE_ICON, bigSide, bigSide, LR_DEFAULTCOLOR));
    m_smallIcon = static_cast<HICON>(
        ::LoadImageW(m_instance, MAKEINTRESOURCEW(IDI_BRIMBLE), IMAGE_ICON, smallSide, smallSide, LR_DEFAULTCOLOR));
    ::SendMessageW(m_window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_bigIcon));
    ::SendMessageW(m_window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon));
    LoadButtonIcons();

    // Some systems (Wine) make the up-down control as wide as their own arrows.
    const ControlTemplate& upDown = TemplateOf(ControlId::UpDown);
    RECT upDownRect{upDown.x, upDown.y, upDown.width, upDown.height};
    ::MapDialogRect(m_window, &upDownRect);
    ::SetWindowPos(Control(ControlId::UpDown), nullptr, upDownRect.left, upDownRect.top, upDownRect.right,
                   upDownRect.bottom, SWP_NOZORDER | SWP_NOACTIVATE);

    ::SendMessageW(Control(ControlId::Title), EM_LIMITTEXT, kMaxTitleLength, 0);
    ::SendMessageW(Control(ControlId::FollowValue), EM_LIMITTEXT, kFollowBoxDigits, 0);
    ::SetWindowSubclass(Control(ControlId::List), &ListProc, 0, reinterpret_cast<DWORD_PTR>(this));
    ::SetWindowSubclass(Control(ControlId::Title), &TitleProc, 0, reinterpret_cast<DWORD_PTR>(this));
    ::SetWindowSubclass(Control(ControlId::UpDown), &UpDownProc, 0, 0);

    m_annotated = NameControls(m_window);
    AddToolTips();

    ++m_handlers;
    m_presenter.Start();
    --m_handlers;
    m_started = true;
    ::SetFocus(Control(ControlId::List));
}

void Win32Window::LoadButtonIcons() {
    // The icon fills the button but for a margin; the nearest size the resource holds is used.
    RECT button{0, 0, 17, 15};
    ::MapDialogRect(m_window, &button);
    const int side = std::max<int>(8, std::min(button.right, button.bottom) - 6);
    const std::pair<ControlId, int> buttons[] = {
        {ControlId::Add, IDI_ADD}, {ControlId::Remove, IDI_REMOVE}, {ControlId::Build, IDI_BUILD}};
    for (std::size_t i = 0; i < std::size(buttons); ++i) {
        HICON icon = static_cast<HICON>(
            ::LoadImageW(m_instance, MAKEINTRESOURCEW(buttons[i].second), IMAGE_ICON, side, side, LR_DEFAULTCOLOR));
        ::SendMessageW(Control(buttons[i].first), BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
        if (m_buttonIcons[i] != nullptr)
            ::DestroyIcon(m_buttonIcons[i]);
        m_buttonIcons[i] = icon;
    }
}

void Win32Window::AddToolTips() {
    m_toolTips = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_window, nullptr,
                                   m_instance, nullptr);
    if (m_toolTips == nullptr)
        return;
    ::SetWindowSubclass(m_toolTips, &ToolTipProc, 0, reinterpret_cast<DWORD_PTR>(this));
    // Paths and reasons can be long: they wrap at about a third of the screen.
    ::SendMessageW(m_toolTips, TTM_SETMAXTIPWIDTH, 0, ::GetSystemMetrics(SM_CXSCREEN) / 3);
    // The buttons without words on them show their names; the splash path tells what becomes of
    // its picture; the total warns when the image outgrows a cartridge.
    for (const ControlTemplate& control : kWindowTemplate) {
        const bool named =
            control.kind == ControlKind::IconButton || (control.kind == ControlKind::Button && !control.name.empty());
        if (!named && control.id != ControlId::SplashPath)
            continue;
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = m_window;
        tool.uId = reinterpret_cast<UINT_PTR>(Control(control.id));
        const std::wstring name = Widen(control.name);
        tool.lpszText = named ? const_cast<wchar_t*>(name.c_str()) : LPSTR_TEXTCALLBACKW;
        ::SendMessageW(m_toolTips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    // Labels let the mouse through to the window, so the total's tool is a place on the window.
    RECT caption;
    RECT total;
    ::GetWindowRect(Control(ControlId::TotalCaption), &caption);
    ::GetWindowRect(Control(ControlId::Total), &total);
    RECT both;
    ::UnionRect(&both, &caption, &total);
    ::MapWindowPoints(nullptr, m_window, reinterpret_cast<POINT*>(&both), 2);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = m_window;
    tool.uId = kTotalTool;
    tool.rect = both;
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    ::SendMessageW(m_toolTips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void Win32Window::SetResult(LRESULT result) {
    ::SetWindowLongPtrW(m_window, DWLP_MSGRESULT, result);
}

INT_PTR Win32Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        Command(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_SYSCOMMAND:
        if (SystemCommand(wParam)) {
            SetResult(0);
            return TRUE;
        }
        return FALSE;
    case WM_NOTIFY:
        Notify(*reinterpret_cast<const NMHDR*>(lParam), lParam);
        return TRUE;
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) == Control(ControlId::List)) {
            OpenCommandMenu(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return TRUE;
        }
        return FALSE;
    case WM_DROPFILES:
        DropFiles(reinterpret_cast<HDROP>(wParam));
        return TRUE;
    case WM_CLOSE:
        // The close box, the system menu's close item and Alt+F4.
        ++m_handlers;
        m_presenter.OnClose(CloseReason::CloseBox);
        --m_handlers;
        End();
        return TRUE;
    case kEndMessage:
        End();
        return TRUE;
    case kPreviewReadyMessage:
        // The tooltip showing "preparing…" is shown again, with the preview.
        if (m_splashTipUp) {
            ::SendMessageW(m_toolTips, TTM_POP, 0, 0);
            ::SendMessageW(m_toolTips, TTM_POPUP, 0, 0);
        }
        return TRUE;
    case WM_ACTIVATE:
        // Not while a handler runs: a message box closing gives the activation back mid-way.
        if (LOWORD(wParam) != WA_INACTIVE && m_started && m_handlers == 0) {
            ++m_handlers;
            m_presenter.OnActivated();
            --m_handlers;
        }
        return FALSE;
    case WM_CTLCOLORSTATIC: {
        const auto control = reinterpret_cast<HWND>(lParam);
        if (!m_totalWarns || (control != Control(ControlId::Total) && control != Control(ControlId::TotalCaption)))
            return FALSE;
        const auto dc = reinterpret_cast<HDC>(wParam);
        ::SetTextColor(dc, kWarningColour);
        ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<INT_PTR>(::GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_DPICHANGED: {
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        ::SetWindowPos(m_window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                       suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        // Not handled to the end: the dialog manager then moves the controls and gives them the
        // font of the new DPI, after which the button icons are loaded at their new size.
        ::PostMessageW(m_window, kDpiChangedMessage, 0, 0);
        return FALSE;
    }
    case kDpiChangedMessage:
        LoadButtonIcons();
        return TRUE;
    case WM_DESTROY:
        ClearControlNames(m_window);
        return FALSE;
    default:
        return FALSE;
    }
}

void Win32Window::Command(int id, int code) {
    ++m_handlers;
    switch (id) {
    case IDOK:
        // Enter where no push button has the focus: the window goes on.
        break;
    case IDCANCEL:
        // Escape ends the window without storing its switches.
        m_presenter.OnClose(CloseReason::Escape);
        End();
        break;
    case IDM_ADD_KEY:
        m_presenter.OnAdd();
        break;
    case IDC_LIST:
        if (code == LBN_SELCHANGE)
            m_presenter.OnSelectionChanged(
                static_cast<int>(::SendMessageW(Control(ControlId::List), LB_GETCURSEL, 0, 0)));
        else if (code == LBN_DBLCLK)
            m_presenter.OnTogglePanel();
        break;
    case IDC_TITLE:
        if (code == EN_CHANGE)
            m_presenter.OnTitleEdited();
        else if (code == EN_KILLFOCUS)
            m_presenter.OnTitleFocusLost();
        break;
    default:
        if (code != BN_CLICKED)
            break;
        switch (id) {
        case IDC_ADD:
            m_presenter.OnAdd();
            break;
        case IDC_REMOVE:
            m_presenter.OnRemove();
            break;
        case IDC_SORT:
            m_presenter.OnSort();
            break;
        case IDC_BUILD:
            m_presenter.OnBuild();
            break;
        case IDC_CHOOSE_OUTPUT:
            m_presenter.OnChooseOutput();
            break;
        case IDC_TOGGLE_PANEL:
            m_presenter.OnTogglePanel();
            break;
        case IDC_SPLASH:
            m_presenter.OnSplashToggled();
            break;
        case IDC_CHOOSE_SPLASH:
            m_presenter.OnChooseSplash();
            break;
        default:
            break;
        }
    }
    --m_handlers;
}

bool Win32Window::SystemCommand(WPARAM command) {
    const int id = static_cast<int>(command & 0xFFF0);
    if (id != IDM_LOCATE_EMULATOR && id != IDM_LOCATE_GOODNES && id != IDM_LOCATE_QUORREL)
        return false;
    RunMenuCommand(id);
    return true;
}

void Win32Window::RunMenuCommand(int command) {
    ++m_handlers;
    if (command == IDM_LOCATE_EMULATOR)
        m_presenter.OnLocateEmulator();
    else if (command == IDM_LOCATE_GOODNES)
        m_presenter.OnLocateGoodNes();
    else if (command == IDM_LOCATE_QUORREL)
        m_presenter.OnLocateQuorrel();
    --m_handlers;
}

void Win32Window::OpenCommandMenu(POINT at) {
    HWND list = Control(ControlId::List);
    if (at.x == -1 && at.y == -1) {
        // From the keyboard: below the selected item, where the user is looking, or at the top
        // of an empty list.
        RECT place{};
        const auto row = ::SendMessageW(list, LB_GETCURSEL, 0, 0);
        if (row == LB_ERR ||
            ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&place)) == LB_ERR)
            place = RECT{0, 0, 0, 0};
        RECT client;
        ::GetClientRect(list, &client);
        at = POINT{place.left, std::clamp<LONG>(place.bottom, client.top, client.bottom)};
        ::ClientToScreen(list, &at);
    }
    HMENU menu = ::CreatePopupMenu();
    ::AppendMenuW(menu, MF_STRING, IDM_LOCATE_EMULATOR, Widen(kLocateEmulatorCommand).c_str());
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, IDM_LOCATE_GOODNES, Widen(kLocateGoodNesCommand).c_str());
    ::AppendMenuW(menu, MF_STRING, IDM_LOCATE_QUORREL, Widen(kLocateQuorrelCommand).c_str());
    const int command = static_cast<int>(::TrackPopupMenuEx(
        menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, at.x, at.y, m_window, nullptr));
    ::DestroyMenu(menu);
    if (command != 0)
        RunMenuCommand(command);
}

void Win32Window::Notify(const NMHDR& header, LPARAM lParam) {
    if (header.idFrom == IDC_UPDOWN && header.code == UDN_DELTAPOS) {
        const auto& change = *reinterpret_cast<const NMUPDOWN*>(lParam);
        ++m_handlers;
        const bool moved = m_presenter.OnMove(change.iDelta);
        --m_handlers;
        // The arrows take the focus after a move, so that the arrow keys go on moving the entry.
        if (moved)
            ::SetFocus(Control(ControlId::UpDown));
        // The control's own position never changes.
        SetResult(1);
        return;
    }
    if (header.hwndFrom == m_toolTips) {
        ToolTipNotify(header, lParam);
        return;
    }
    SetResult(0);
}

void Win32Window::ToolTipNotify(const NMHDR& header, LPARAM lParam) {
    const bool splash = reinterpret_cast<HWND>(header.idFrom) == Control(ControlId::SplashPath);
    const UINT dpi = ::GetDpiForWindow(m_window);
    SetResult(0);
    switch (header.code) {
    case TTN_GETDISPINFOW: {
        auto& info = *reinterpret_cast<NMTTDISPINFOW*>(lParam);
        info.hinst = nullptr;
        if (header.idFrom == kTotalTool) {
            info.lpszText = const_cast<wchar_t*>(m_totalToolTip.c_str());
            return;
        }
        if (!splash)
            return;
        // The reason a splash would be left out or skipped; a picture that will be shown is
        // drawn in place of its words.
        m_splashToolTip.clear();
        m_splashPicture.Clear();
        if (const std::optional<std::filesystem::path> file = m_presenter.SplashBoxFile()) {
            const std::optional<SplashPreview> preview = m_splashPreviews.Request(*file);
            if (!preview) {
                m_splashToolTip = Widen(std::string(kPreparingPreview));
            } else if (preview->status == SplashData::Status::Ready) {
                m_splashPicture.Set(preview->picture);
                m_splashToolTip = L"The splash screen as the GBA will show it.";
            } else {
                m_splashToolTip = Widen(preview->reason);
            }
        }
        info.lpszText = const_cast<wchar_t*>(m_splashToolTip.c_str());
        return;
    }
    case TTN_SHOW:
        m_splashTipUp = splash;
        m_splashTipShown = splash && !m_splashPicture.Empty();
        if (m_splashTipShown) {
            const SIZE client = m_splashPicture.ClientSize(dpi);
            RECT frame{0, 0, client.cx, client.cy};
            ::SendMessageW(m_toolTips, TTM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&frame));
            RECT shown;
            ::GetWindowRect(m_toolTips, &shown);
            ::SetWindowPos(m_toolTips, nullptr, shown.left, shown.top, frame.right - frame.left,
                           frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
            SetResult(TRUE);
        }
        return;
    case TTN_POP:
        m_splashTipUp = false;
        m_splashTipShown = false;
        return;
    default:
        return;
    }
}

LRESULT CALLBACK Win32Window::ToolTipProc(HWND tips, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                          DWORD_PTR data) {
    auto* self = reinterpret_cast<Win32Window*>(data);
    // The splash picture is painted in place of the tooltip's words.
    if (message == WM_PAINT && self->m_splashTipShown) {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(tips, &paint);
        RECT client;
        ::GetClientRect(tips, &client);
        self->m_splashPicture.Draw(dc, client, ::GetDpiForWindow(self->m_window));
        ::EndPaint(tips, &paint);
        return 0;
    }
    if (message == WM_NCDESTROY)
        ::RemoveWindowSubclass(tips, &ToolTipProc, 0);
    return ::DefSubclassProc(tips, message, wParam, lParam);
}

void Win32Window::DropFiles(HDROP drop) {
    std::vector<std::filesystem::path> paths;
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(::DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        const UINT length = ::DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size()));
        path.resize(length);
        paths.emplace_back(path);
    }
    ::DragFinish(drop);
    ++m_handlers;
    m_presenter.OnDrop(paths);
    --m_handlers;
}

LRESULT CALLBACK Win32Window::ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR data) {
    auto* self = reinterpret_cast<Win32Window*>(data);
    const bool control = ::GetKeyState(VK_CONTROL) < 0;
    const bool shift = ::GetKeyState(VK_SHIFT) < 0;
    switch (message) {
    case WM_DROPFILES:
        // Only the list takes files; the window does the adding.
        return ::SendMessageW(self->m_window, WM_DROPFILES, wParam, lParam);
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        ++self->m_handlers;
        switch (wParam) {
        case VK_DELETE:
            self->m_presenter.OnRemove();
            break;
        case VK_INSERT:
            self->m_presenter.OnAdd();
            break;
        case VK_UP:
        case VK_DOWN:
            if (!control) {
                --self->m_handlers;
                return ::DefSubclassProc(list, message, wParam, lParam);
            }
            // Unlike the arrow buttons, the keys leave the focus in the list.
            self->m_presenter.OnMove(wParam == VK_UP ? -1 : +1);
            break;
        case VK_APPS:
            ::SendMessageW(self->m_window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(-1, -1));
            break;
        case VK_F10:
            if (!shift) {
                --self->m_handlers;
                return ::DefSubclassProc(list, message, wParam, lParam);
            }
            ::SendMessageW(self->m_window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(-1, -1));
            break;
        default:
            --self->m_handlers;
            return ::DefSubclassProc(list, message, wParam, lParam);
        }
        --self->m_handlers;
        return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        // The menu keys were answered when they went down.
        if (wParam == VK_APPS || (wParam == VK_F10 && shift))
            return 0;
        return ::DefSubclassProc(list, message, wParam, lParam);
    case WM_GETDLGCODE:
        // The list takes the arrow keys with Ctrl as its own.
        return ::DefSubclassProc(list, message, wParam, lParam) | DLGC_WANTARROWS;
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(list, &ListProc, 0);
        break;
    default:
        break;
    }
    return ::DefSubclassProc(list, message, wParam, lParam);
}

LRESULT CALLBACK Win32Window::TitleProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_CHAR && IsRefusedTitleCharacter(static_cast<char32_t>(wParam))) {
        ::MessageBeep(MB_OK);
        return 0;
    }
    if (message == WM_PASTE) {
        PasteTitle(box);
        return 0;
    }
    if (message == WM_NCDESTROY)
        ::RemoveWindowSubclass(box, &TitleProc, 0);
    return ::DefSubclassProc(box, message, wParam, lParam);
}

LRESULT CALLBACK Win32Window::UpDownProc(HWND arrows, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    // The arrow keys go on moving the entry while the arrows have the focus, where the dialog
    // would otherwise move the focus with them.
    if (message == WM_GETDLGCODE)
        return ::DefSubclassProc(arrows, message, wParam, lParam) | DLGC_WANTARROWS;
    if (message == WM_NCDESTROY)
        ::RemoveWindowSubclass(arrows, &UpDownProc, 0);
    return ::DefSubclassProc(arrows, message, wParam, lParam);
}

void Win32Window::End() {
    if (m_ended)
        return;
    m_ended = true;
    m_progress.End();
    m_previewTarget = nullptr;
    ::DestroyWindow(m_window);
    m_window = nullptr;
}

} // namespace brimble::win32
