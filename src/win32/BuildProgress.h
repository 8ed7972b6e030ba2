#pragma once

#include "window/MainWindowView.h"

#include <chrono>
#include <functional>
#include <optional>
#include <windows.h>

namespace brimble::win32 {

// The progress of a build that lasts longer than half a second: a small window over the main
// window, which is disabled meanwhile. The build runs on the window's one thread, so each step
// lets the windows paint but takes no input.
class BuildProgress {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    explicit BuildProgress(Clock clock = std::chrono::steady_clock::now) : m_clock(std::move(clock)) {}
    BuildProgress(const BuildProgress&) = delete;
    BuildProgress& operator=(const BuildProgress&) = delete;
    ~BuildProgress() { End(); }

    void Step(HWND owner, const BuildProgressStep& step);
    void End();
    HWND Window() const { return m_window; }

private:
    void Create(HWND owner);

    Clock m_clock;
    std::optional<std::chrono::steady_clock::time_point> m_started;
    HWND m_owner = nullptr;
    HWND m_window = nullptr;
    HWND m_text = nullptr;
    HWND m_bar = nullptr;
};

} // namespace brimble::win32
