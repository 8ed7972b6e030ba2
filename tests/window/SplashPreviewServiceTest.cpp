#include "window/SplashPreviewService.h"

#include "support/TestFiles.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

namespace brimble::test {
namespace {

namespace fs = std::filesystem;

// The file as it is, then later, then of another size: each state decoded once, off the thread.
TEST(SplashPreviewService, DecodesOffTheCallingThreadOnceForEachStateOfTheFile) {
    std::atomic<int> decodes = 0, ready = 0;
    std::atomic<std::thread::id> readyThread;
    SplashPreviewService service([&] { readyThread = std::this_thread::get_id(), ++ready; },
                                 [&](const fs::path& path) { return ++decodes, PreviewSplash(path); });
    TempDir dir;
    const fs::path raw = dir / "pic.raw";
    WriteFile(raw, PatternBytes(76800, 3));
    const auto later = [&] { fs::last_write_time(raw, fs::last_write_time(raw) + std::chrono::seconds(5)); };
    const auto shorter = [&] {
        const auto time = fs::last_write_time(raw);
        fs::resize_file(raw, 100);
        fs::last_write_time(raw, time);
    };
    using enum SplashData::Status;
    const std::pair<std::function<void()>, SplashData::Status> states[] = {
        {[] {}, Ready}, {later, Ready}, {shorter, WrongFormat}};
    for (int n = 1; const auto& [change, status] : states) {
        change();
        EXPECT_FALSE(service.Request(raw).has_value());
        for (const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
             ready < n && std::chrono::steady_clock::now() < until;)
            std::this_thread::yield();
        ASSERT_EQ(ready, n);
        for (int again = 0; again < 2; ++again)
            EXPECT_EQ(service.Request(raw).value().status, status);
        EXPECT_EQ(decodes, n++);
    }
    EXPECT_NE(readyThread.load(), std::this_thread::get_id());
}

// Ending while decoding waits for the decoder and reports nothing (run under the sanitizers too).
TEST(SplashPreviewService, EndsSafelyWhileDecoding) {
    std::atomic<bool> started = false;
    std::atomic<int> ready = 0;
    {
        SplashPreviewService service([&] { ++ready; },
                                     [&](const fs::path&) {
                                         started = true;
                                         std::this_thread::sleep_for(std::chrono::milliseconds(100));
                                         return SplashPreview{};
                                     });
        EXPECT_FALSE(service.Request("missing.png").has_value());
        while (!started)
            std::this_thread::yield();
    }
    EXPECT_EQ(ready, 0);
}

} // namespace
} // namespace brimble::test
