#pragma once

#include "splash/SplashSource.h"

#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string_view>
#include <thread>

// The splash box's tooltip preview, made away from the window's thread: a large picture takes
// seconds to decode, and the window must not freeze while the pointer rests on the box.

namespace brimble {

// What the tooltip shows while a preview is being made.
inline constexpr std::string_view kPreparingPreview = "preparing\xE2\x80\xA6";

class SplashPreviewService {
public:
    using Decoder = std::function<SplashPreview(const std::filesystem::path&)>;

    // `ready` is called on the worker thread each time a preview has been made; a face turns it
    // into a message to its own thread and asks again there. The decoder is PreviewSplash but
    // for tests.
    explicit SplashPreviewService(std::function<void()> ready, Decoder decode = PreviewSplash);
    SplashPreviewService(const SplashPreviewService&) = delete;
    SplashPreviewService& operator=(const SplashPreviewService&) = delete;
    // Waits for a preview being made: a decoder cannot be interrupted.
    ~SplashPreviewService();

    // The preview of the file as it is now, when the last one made is of this path, size and
    // modification time; otherwise nothing, and the preview is made (the latest request wins).
    std::optional<SplashPreview> Request(const std::filesystem::path& path);

private:
    struct Key {
        std::filesystem::path path;
        std::optional<std::uintmax_t> size; // none: no regular file
        std::optional<std::filesystem::file_time_type> time;
        bool operator==(const Key&) const = default;
    };
    static Key KeyOf(const std::filesystem::path& path);
    void Work(std::stop_token stop);

    std::function<void()> m_ready;
    Decoder m_decode;
    std::mutex m_mutex;
    std::condition_variable_any m_wake;
    std::optional<Key> m_pending; // the file to preview next
    std::optional<Key> m_working; // the file being previewed
    std::optional<Key> m_lastKey;
    SplashPreview m_last;
    std::jthread m_worker; // last: it starts once everything it uses exists
};

} // namespace brimble
