#pragma once

#include "TemporaryFiles.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <system_error>

namespace brimble {

// Writes a file through a temporary file beside it that replaces the target only when every
// write, the flush and the close succeeded. A failure, or dropping the object without
// Commit, removes the temporary file and leaves an existing target as it was.
//
// The temporary file is named "<target>.tmp-<process id>-<number>"; each new write beside a
// target removes the temporary files that processes no longer running left there.
//
// A target that exists and is no regular file (a device, a pipe, a socket, or a link to one)
// cannot be replaced without being destroyed: it is written in place, as a stream. So is the
// target spelled "-", which stands for standard output.
class AtomicFile {
public:
    // Nothing when the temporary file cannot be created (missing or read-only folder), or when
    // the target is a folder or a read-only file; error then says why.
    static std::optional<AtomicFile> Create(const std::filesystem::path& target, std::error_code& error);
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
    // when anything went wrong at any point; Error() then says why.
    bool Commit();

    // The system's reason for the first failure.
    std::error_code Error() const { return m_error; }

    const std::filesystem::path& Target() const { return m_target; }

    // True when the target is written in place rather than replaced.
    bool IsStream() const { return m_inPlace; }

private:
    struct Closer {
        bool close = true; // standard output is flushed, never closed
        void operator()(std::FILE* file) const;
    };
    using File = std::unique_ptr<std::FILE, Closer>;

    AtomicFile(std::filesystem::path target, std::filesystem::path temporary, File file);
    bool Fail(std::error_code error);
    void Discard();

    std::filesystem::path m_target;
    std::filesystem::path m_temporary; // empty when the target is written in place
    File m_file;
    std::optional<TemporaryFileEntry> m_entry;
    std::uint64_t m_size = 0;
    std::error_code m_error;
    bool m_inPlace = false;
};

} // namespace brimble
