#include "BuildProgress.h"

#include "WideText.h"
#include "window/BuildMessages.h"

#include <commctrl.h>
#include <string>

namespace brimble::win32 {
namespace {

constexpr auto kShowAfter = std::chrono::milliseconds(500);

// Paints whatever needs it and answers messages sent by other windows; input waits in the
// queue until the build is over.
void PaintPending() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT | PM_QS_SENDMESSAGE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

} // namespace

void BuildProgress::Step(HWND owner, const BuildProgressStep& step) {
    const auto now = m_clock();
    if (!m_started)
        m_started = now;
    if (m_window == nullptr && now - *m_started >= kShowAfter)
        Create(owner);
    if (m_window != nullptr) {
        std::wstring text = L"Writing " + Widen(step.romName) + L"...";
        if (step.position >= step.count)
            text.clear();
        ::SetWindowTextW(m_text, text.c_str());
        ::SendMessageW(m_bar, PBM_SETRANGE32, 0, static_cast<LPARAM>(step.count));
        ::SendMessageW(m_bar, PBM_SETPOS, static_cast<WPARAM>(step.position), 0);
    }
    PaintPending();
}

void BuildProgress::Create(HWND owner) {
    m_owner = owner;
    // Sizes in the main window's dialog units, so that the window scales as it does.
    RECT frame{0, 0, 200, 40};
    RECT text{7, 7, 186, 8};
    RECT bar{7, 20, 186, 12};
    for (RECT* rect : {&frame, &text, &bar})
        ::MapDialogRect(owner, rect);
    const DWORD style = WS_POPUP | WS_CAPTION | DS_MODALFRAME;
    RECT outer{0, 0, frame.right, frame.bottom};
    ::AdjustWindowRectEx(&outer, style, FALSE, WS_EX_DLGMODALFRAME);
    RECT ownerRect;
    ::GetWindowRect(owner, &ownerRect);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    const int left = ownerRect.left + (ownerRect.right - ownerRect.left - width) / 2;
    const int top = ownerRect.top + (ownerRect.bottom - ownerRect.top - height) / 2;
    const std::wstring caption = Widen(kProgramCaption);
    // The system's dialog class paints the dialog background and needs no procedure of ours.
    m_window = ::CreateWindowExW(WS_EX_DLGMODALFRAME, L"#32770", caption.c_str(), style, left, top, width, height,
                                 owner, nullptr, nullptr, nullptr);
    if (m_window == nullptr)
        return;
    const auto font = static_cast<WPARAM>(::SendMessageW(owner, WM_GETFONT, 0, 0));
    m_text = ::CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS,
                               text.left, text.top, text.right, text.bottom, m_window, nullptr, nullptr, nullptr);
    m_bar = ::CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, bar.left, bar.top, bar.right, bar.bottom,
                              m_window, nullptr, nullptr, nullptr);
    ::SendMessageW(m_text, WM_SETFONT, font, FALSE);
    ::EnableWindow(owner, FALSE);
    ::ShowWindow(m_window, SW_SHOWNORMAL);
    ::UpdateWindow(m_window);
}

void BuildProgress::End() {
    m_started.reset();
    if (m_window == nullptr)
        return;
    // The owner first, so that the activation goes back to it and not to another program.
    ::EnableWindow(m_owner, TRUE);
    ::DestroyWindow(m_window);
    m_window = m_text = m_bar = nullptr;
}

} // namespace brimble::win32
