#include "Win32TestSupport.h"

#include "win32/Resources.h"

#include <commctrl.h>
#include <dlgs.h>

namespace brimble::test {
namespace {

constexpr auto kDeadline = std::chrono::seconds(20);

struct Search {
    HWND ignored;
    HWND found = nullptr;
};

// The first visible dialog of the thread other than the given one (the window itself).
HWND ModalOf(DWORD thread, HWND ignored) {
    Search search{ignored};
    ::EnumThreadWindows(
        thread,
        [](HWND window, LPARAM data) -> BOOL {
            auto& state = *reinterpret_cast<Search*>(data);
            wchar_t name[32] = {};
            ::GetClassNameW(window, name, 32);
            if (window != state.ignored && ::IsWindowVisible(window) && std::wstring(name) == L"#32770") {
                state.found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring TextOf(HWND window) {
    wchar_t text[1024] = {};
    ::GetWindowTextW(window, text, 1024);
    return text;
}

} // namespace

DialogAnswerer::DialogAnswerer(std::vector<DialogAnswer> answers, HWND window)
    : m_thread(::GetCurrentThreadId()), m_window(window), m_answers(std::move(answers)), m_worker([this] { Run(); }) {}

DialogAnswerer::~DialogAnswerer() {
    m_stop = true;
    m_worker.join();
}

std::vector<MetDialog> DialogAnswerer::Met() {
    const std::lock_guard lock(m_mutex);
    return m_met;
}

void DialogAnswerer::Run() {
    // Dialogs beyond the answers given are noted and cancelled, so that a test fails instead of
    // waiting for ever.
    std::vector<DialogAnswer> answers = m_answers;
    for (std::size_t i = 0; i < answers.size() || !m_stop; ++i) {
        const DialogAnswer answer = i < answers.size() ? answers[i] : DialogAnswer{};
        const auto end = std::chrono::steady_clock::now() + kDeadline;
        HWND dialog = nullptr;
        while (!m_stop && std::chrono::steady_clock::now() < end) {
            dialog = ModalOf(m_thread, m_window);
            if (dialog != nullptr)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (dialog == nullptr) {
            if (i < answers.size())
                return;
            continue;
        }
        MetDialog met;
        met.caption = TextOf(dialog);
        // A message box's text is its static control 0xFFFF.
        if (HWND text = ::GetDlgItem(dialog, 0xFFFF))
            met.text = TextOf(text);
        met.yesNo = ::GetDlgItem(dialog, IDYES) != nullptr && ::GetDlgItem(dialog, IDNO) != nullptr;
        HWND filters = ::GetDlgItem(dialog, cmb1);
        HWND name = ::GetDlgItem(dialog, cmb13);
        if (name == nullptr)
            name = ::GetDlgItem(dialog, edt1);
        if (filters != nullptr) {
            met.filterIndex = static_cast<int>(::SendMessageW(filters, CB_GETCURSEL, 0, 0));
            if (answer.filter >= 0) {
                ::SendMessageW(filters, CB_SETCURSEL, static_cast<WPARAM>(answer.filter), 0);
                ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELCHANGE), reinterpret_cast<LPARAM>(filters));
            }
        }
        {
            const std::lock_guard lock(m_mutex);
            m_met.push_back(met);
        }
        if (name != nullptr && !answer.files.empty()) {
            std::wstring typed;
            if (answer.files.size() == 1) {
                typed = answer.files.front();
            } else {
                for (const std::wstring& file : answer.files)
                    typed += L"\"" + file + L"\" ";
            }
            ::SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
            ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        } else if (name != nullptr) {
            ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        } else {
            ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(answer.button, BN_CLICKED), 0);
        }
        // The next dialog is another one: wait until this one is gone.
        while (!m_stop && ::IsWindow(dialog) && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

Win32WindowTest::Win32WindowTest() {
    m_current.emplace(m_dir.Path());
}

Win32WindowTest::~Win32WindowTest() {
    m_window.reset();
    m_current.reset();
}

void Win32WindowTest::Open() {
    m_window = std::make_unique<win32::Win32Window>(::GetModuleHandleW(nullptr), m_names, m_database);
    ASSERT_TRUE(m_window->Create());
    ::ShowWindow(m_window->Handle(), SW_SHOWNORMAL);
    ::SetForegroundWindow(m_window->Handle());
    Pump();
}

void Win32WindowTest::Pump() {
    MSG message;
    while (m_window && !m_window->Ended() && ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        m_window->Dispatch(message);
}

std::filesystem::path Win32WindowTest::Rom(const std::string& name, std::size_t bytes, std::uint32_t seed) {
    WriteNesFile(m_dir / name, bytes, seed);
    return m_dir / name;
}

void Win32WindowTest::WriteIni(const std::string& lines) {
    WriteFile(m_dir / "brimble.ini", "[config]\r\n" + lines);
}

std::string Win32WindowTest::Ini() const {
    return std::filesystem::exists(m_dir / "brimble.ini") ? ReadText(m_dir / "brimble.ini") : std::string();
}

void Win32WindowTest::Click(ControlId id) {
    ::SendMessageW(Control(id), BM_CLICK, 0, 0);
    Pump();
}

void Win32WindowTest::Key(WORD key, bool control, bool shift) {
    BYTE state[256] = {};
    ::GetKeyboardState(state);
    BYTE held[256];
    std::copy(std::begin(state), std::end(state), held);
    held[VK_CONTROL] = control ? 0x80 : 0;
    held[VK_SHIFT] = shift ? 0x80 : 0;
    ::SetKeyboardState(held);
    HWND focus = ::GetFocus();
    // F10 is a system key, as the menu bar's.
    const bool system = key == VK_F10;
    MSG message{};
    message.hwnd = focus;
    message.message = system ? WM_SYSKEYDOWN : WM_KEYDOWN;
    message.wParam = key;
    message.lParam = 1;
    m_window->Dispatch(message);
    if (!m_window->Ended()) {
        message.message = system ? WM_SYSKEYUP : WM_KEYUP;
        message.lParam = static_cast<LPARAM>(0xC0000001);
        m_window->Dispatch(message);
    }
    ::SetKeyboardState(state);
    Pump();
}

std::vector<MetDialog> Win32WindowTest::Answering(std::vector<DialogAnswer> answers,
                                                  const std::function<void()>& action) {
    DialogAnswerer answerer(std::move(answers), Window());
    action();
    Pump();
    return answerer.Met();
}

std::vector<std::wstring> Win32WindowTest::ListTexts() const {
    HWND list = Control(ControlId::List);
    std::vector<std::wstring> texts;
    const auto count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring text(static_cast<std::size_t>(::SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
        ::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        text.resize(text.size() - 1);
        texts.push_back(text);
    }
    return texts;
}

} // namespace brimble::test
