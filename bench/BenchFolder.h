#pragma once

// What the benchmark programs share: a folder for their made-up inputs, writing a file there,
// and the process's peak memory.

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <sys/resource.h>
#include <system_error>

namespace brimble::bench {

// A fresh folder under the system's temporary folder, removed with everything in it at exit.
class BenchFolder {
public:
    explicit BenchFolder(std::string_view name)
        : m_path(
              std::filesystem::temp_directory_path() /
              (std::string(name) + "-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()))) {
        std::filesystem::create_directories(m_path);
    }
    ~BenchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    BenchFolder(const BenchFolder&) = delete;
    BenchFolder& operator=(const BenchFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(const std::filesystem::path& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

// Bytes or text, written as they are.
template <class Container> void WriteBytes(const std::filesystem::path& path, const Container& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline double PeakRssMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // ru_maxrss is in KiB on Linux
}

} // namespace brimble::bench
