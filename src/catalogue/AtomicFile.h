#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

namespace brimble {

// Writes a file through a temporary file beside it that replaces the target only when every
// write, the flush and the close succeeded. A failure, or dropping the object without
// Commit, removes the temporary file and leaves an existing target as it was.
class AtomicFile {
public:
    // Nothing when the temporary file cannot be created (missing or read-only folder), or when
    // the target is a folder or a read-only file.
    static std::optional<AtomicFile> Create(const std::filesystem::path& target);

    AtomicFile(AtomicFile&&) noexcept;
    AtomicFile& operator=(AtomicFile&&) noexcept;
    ~AtomicFile();

    // Each returns false once any write has failed; later writes are skipped.
    bool Write(std::span<const std::uint8_t> bytes);
    bool Write(std::string_view text);
    bool WriteZeros(std::size_t count);

    // Bytes written so far.
    std::uint64_t Size() const { return m_size; }

    // Flushes to disk, closes and renames over the target. False (and the target untouched)
    // when anything went wrong at any point.
    bool Commit();

    const std::filesystem::path& Target() const { return m_target; }

private:
    AtomicFile(std::filesystem::path target, std::filesystem::path temporary, std::FILE* file);
    void Discard();

    struct Closer {
        void operator()(std::FILE* file) const;
    };

    std::filesystem::path m_target;
    std::filesystem::path m_temporary;
    std::unique_ptr<std::FILE, Closer> m_file;
    std::uint64_t m_size = 0;
    bool m_failed = false;
};

} // namespace brimble
