#include "win32/BuildProgress.h"

#include <gtest/gtest.h>

namespace brimble::test {
namespace {

TEST(BuildProgress, ShowsOnlyOnceTheBuildHasLastedHalfASecondAndGivesTheWindowBack) {
    HWND owner = ::CreateWindowExW(0, L"#32770", L"owner", WS_POPUP | WS_CAPTION, 0, 0, 300, 200, nullptr, nullptr,
                                   nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    auto now = std::chrono::steady_clock::time_point{};
    win32::BuildProgress progress([&] { return now; });
    progress.Step(owner, {0, 3, "a"});
    now += std::chrono::milliseconds(499);
    progress.Step(owner, {1, 3, "b"});
    EXPECT_EQ(progress.Window(), nullptr);
    now += std::chrono::milliseconds(1);
    progress.Step(owner, {2, 3, "c"});
    ASSERT_NE(progress.Window(), nullptr);
    EXPECT_FALSE(::IsWindowEnabled(owner)); // no input while the build runs
    wchar_t text[64] = {};
    ::GetWindowTextW(::GetWindow(progress.Window(), GW_CHILD), text, 64);
    EXPECT_STREQ(text, L"Writing c...");
    progress.End();
    EXPECT_EQ(progress.Window(), nullptr);
    EXPECT_TRUE(::IsWindowEnabled(owner));
    ::DestroyWindow(owner);
}

} // namespace
} // namespace brimble::test
