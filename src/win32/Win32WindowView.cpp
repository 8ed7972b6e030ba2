#include "WideText.h"
#include "Win32Window.h"

#include <commctrl.h>

// The presenter's requests, carried out on the dialog's controls.

namespace brimble::win32 {
namespace {

std::wstring TextOf(HWND control) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
    const int length = ::GetWindowTextW(control, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    return text;
}

// The name a message box shows without a caption: the program's file name without extension.
std::wstring ProgramName() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return std::filesystem::path(path).stem().native();
        }
        path.resize(path.size() * 2);
    }
}

} // namespace

std::string Win32Window::Text(ControlId id) const {
    return Narrow(TextOf(Control(id)));
}

void Win32Window::SetText(ControlId id, const std::string& text) {
    ::SetWindowTextW(Control(id), Widen(text).c_str());
}

bool Win32Window::Checked(ControlId id) const {
    return ::SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32Window::SetChecked(ControlId id, bool checked) {
    // Unlike a click, this leaves the other radio button of the group as it is.
    ::SendMessageW(Control(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Win32Window::SetEnabled(ControlId id, bool enabled) {
    ::EnableWindow(Control(id), enabled ? TRUE : FALSE);
}

void Win32Window::SetReadOnly(ControlId id, bool readOnly) {
    ::SendMessageW(Control(id), EM_SETREADONLY, readOnly ? TRUE : FALSE, 0);
}

void Win32Window::SetListItems(const std::vector<std::string>& texts) {
    HWND list = Control(ControlId::List);
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& text : texts)
        ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

void Win32Window::AppendListItem(const std::string& text) {
    ::SendMessageW(Control(ControlId::List), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
}

void Win32Window::RemoveListItem(int row) {
    ::SendMessageW(Control(ControlId::List), LB_DELETESTRING, static_cast<WPARAM>(row), 0);
}

void Win32Window::SetListItemText(int row, const std::string& text) {
    // A list box item has no settable text: it is replaced in place, keeping the selection.
    HWND list = Control(ControlId::List);
    const bool selected = ::SendMessageW(list, LB_GETCURSEL, 0, 0) == row;
    ::SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(row), 0);
    ::SendMessageW(list, LB_INSERTSTRING, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(Widen(text).c_str()));
    if (selected)
        ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
}

void Win32Window::SelectListRow(int row) {
    // Brings the row into view; -1 leaves nothing selected.
    ::SendMessageW(Control(ControlId::List), LB_SETCURSEL, static_cast<WPARAM>(row), 0);
}

void Win32Window::ShowPanel(bool shown) {
    for (const ControlTemplate& control : kWindowTemplate) {
        if (IsPanelControl(control))
            ::ShowWindow(Control(control.id), shown ? SW_SHOWNA : SW_HIDE);
    }
    if (shown == m_panelShown)
        return;
    m_panelShown = shown;
    // The panel's width in the window's own dialog units, so that it fits every font and DPI.
    RECT frame;
    ::GetWindowRect(m_window, &frame);
    const int width = frame.right - frame.left + (shown ? PanelWidth() : -PanelWidth());
    ::SetWindowPos(m_window, nullptr, 0, 0, width, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Window::ShowTotalWarning(bool warn, const std::string& toolTip) {
    m_totalWarns = warn;
    m_totalToolTip = Widen(toolTip);
    for (ControlId id : {ControlId::Total, ControlId::TotalCaption})
        ::InvalidateRect(Control(id), nullptr, TRUE);
}

FileDialogAnswer Win32Window::AskFiles(const FileDialogRequest& request) {
    return m_dialogs.Ask(m_window, request);
}

int Win32Window::RunMessageBox(const MessageRequest& request, UINT buttons) {
    const std::wstring caption = request.caption ? Widen(*request.caption) : ProgramName();
    UINT style = buttons;
    if (request.icon == MessageIcon::Error)
        style |= MB_ICONERROR;
    else if (request.icon == MessageIcon::Warning)
        style |= MB_ICONWARNING;
    return ::MessageBoxW(m_window, Widen(request.text).c_str(), caption.c_str(), style);
}

void Win32Window::ShowMessage(const MessageRequest& request) {
    RunMessageBox(request, MB_OK);
}

bool Win32Window::AskYesNo(const MessageRequest& request) {
    return RunMessageBox(request, MB_YESNO) == IDYES;
}

void Win32Window::ShowBuildProgress(const BuildProgressStep& step) {
    m_progress.Step(m_window, step);
}

void Win32Window::EndBuildProgress() {
    m_progress.End();
}

void Win32Window::EndWindow() {
    ::PostMessageW(m_window, kEndMessage, 0, 0);
}

} // namespace brimble::win32
