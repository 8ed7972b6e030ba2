#include "SplashPreviewService.h"

#include <system_error>
#include <utility>

namespace brimble {

namespace fs = std::filesystem;

SplashPreviewService::SplashPreviewService(std::function<void()> ready, Decoder decode)
    : m_ready(std::move(ready)), m_decode(std::move(decode)),
      m_worker([this](std::stop_token stop) { Work(std::move(stop)); }) {}

SplashPreviewService::~SplashPreviewService() {
    m_worker.request_stop();
    m_worker.join();
}

SplashPreviewService::Key SplashPreviewService::KeyOf(const fs::path& path) {
    Key key{path, std::nullopt, std::nullopt};
    std::error_code error;
    if (!fs::is_regular_file(path, error))
        return key;
    const std::uintmax_t size = fs::file_size(path, error);
    if (!error)
        key.size = size;
    const fs::file_time_type time = fs::last_write_time(path, error);
    if (!error)
        key.time = time;
    return key;
}

std::optional<SplashPreview> SplashPreviewService::Request(const fs::path& path) {
    Key key = KeyOf(path);
    const std::lock_guard lock(m_mutex);
    if (m_lastKey == key)
        return m_last;
    if (m_working != key && m_pending != key) {
        m_pending = std::move(key);
        m_wake.notify_one();
    }
    return std::nullopt;
}

void SplashPreviewService::Work(std::stop_token stop) {
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (!m_wake.wait(lock, stop, [this] { return m_pending.has_value(); }))
            return;
        m_working = std::move(m_pending);
        m_pending.reset();
        lock.unlock();
        SplashPreview preview = m_decode(m_working->path);
        lock.lock();
        m_last = std::move(preview);
        m_lastKey = std::move(m_working);
        m_working.reset();
        lock.unlock();
        if (!stop.stop_requested())
            m_ready();
        lock.lock();
    }
}

} // namespace brimble
