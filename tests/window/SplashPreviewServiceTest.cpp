#include "window/SplashPreviewService.h"

#include "support/TestFiles.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

namespace brimble::test {
namespace {

namespace fs = std::filesystem;

// Counts the decodes and the previews reported ready, and notes the thread that reports.
struct Observer {
    std::atomic<int> decodes = 0;
    std::mutex mutex;
    std::condition_variable changed;
    int ready = 0;
    std::thread::id readyThread;

    SplashPreview Decode(const fs::path& path) {
        ++decodes;
        return PreviewSplash(path);
    }
    void Ready() {
        const std::lock_guard lock(mutex);
        ++ready;
        readyThread = std::this_thread::get_id();
        changed.notify_all();
    }
    bool WaitForReady(int count) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(20), [&] { return ready >= count; });
    }
};

TEST(SplashPreviewService, DecodesOffTheCallingThreadOnceForEachStateOfTheFile) {
    TempDir dir;
    const fs::path raw = dir / "pic.raw";
    WriteFile(raw, PatternBytes(76800, 3));
    Observer seen;
    SplashPreviewService service([&] { seen.Ready(); }, [&](const fs::path& path) { return seen.Decode(path); });

    EXPECT_FALSE(service.Request(raw).has_value());
    ASSERT_TRUE(seen.WaitForReady(1));
    EXPECT_NE(seen.readyThread, std::this_thread::get_id());
    for (int again = 0; again < 2; ++again)
        EXPECT_EQ(service.Request(raw).value().status, SplashData::Status::Ready);
    EXPECT_EQ(seen.decodes, 1);

    // A later time, then another size, each make the preview again.
    const auto later = [&] { fs::last_write_time(raw, fs::last_write_time(raw) + std::chrono::seconds(5)); };
    const auto shorter = [&] {
        const auto time = fs::last_write_time(raw);
        fs::resize_file(raw, 100);
        fs::last_write_time(raw, time);
    };
    int decodes = 1;
    for (const auto& change : {std::function<void()>(later), std::function<void()>(shorter)}) {
        change();
        EXPECT_FALSE(service.Request(raw).has_value());
        ASSERT_TRUE(seen.WaitForReady(++decodes));
        EXPECT_EQ(seen.decodes, decodes);
    }
    EXPECT_EQ(service.Request(raw).value().status, SplashData::Status::WrongFormat);
}

// The service ends while a preview is being made: it waits for the decoder and reports nothing
// afterwards (run under the address sanitizer too).
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
