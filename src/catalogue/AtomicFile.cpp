#include "AtomicFile.h"

#include "Platform.h"

#include <array>
#include <cerrno>
#include <random>
#include <string>

namespace brimble {
namespace {

namespace fs = std::filesystem;

// "<name>.tmp-" in the target's own characters.
fs::path::string_type TemporaryPrefix(const fs::path& target) {
    return target.filename().native() + fs::path(".tmp-").native();
}

fs::path TemporaryNameBeside(const fs::path& target, std::uint32_t number) {
    const std::string suffix = std::to_string(platform::CurrentProcessId()) + "-" + std::to_string(number);
    return target.parent_path() / fs::path(TemporaryPrefix(target) + fs::path(suffix).native());
}

// The process id in "<prefix><id>-<number>", or nothing when the name is not one of ours.
std::optional<std::uint64_t> TemporaryOwner(const fs::path::string_type& name, const fs::path::string_type& prefix) {
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0)
        return std::nullopt;
    std::uint64_t id = 0;
    std::size_t at = prefix.size();
    const std::size_t digitsStart = at;
    for (; at < name.size() && name[at] >= '0' && name[at] <= '9'; ++at) {
        if (at - digitsStart >= 19)
            return std::nullopt;
        id = id * 10 + static_cast<std::uint64_t>(name[at] - '0');
    }
    if (at == digitsStart || at + 1 >= name.size() || name[at] != '-')
        return std::nullopt;
    for (++at; at < name.size(); ++at) {
        if (name[at] < '0' || name[at] > '9')
            return std::nullopt;
    }
    return id;
}

// Temporary files beside the target whose process has ended were left by a crash or a kill.
void RemoveAbandonedTemporaries(const fs::path& target) {
    const fs::path::string_type prefix = TemporaryPrefix(target);
    const std::uint64_t self = platform::CurrentProcessId();
    fs::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
        const auto owner = TemporaryOwner(entries->path().filename().native(), prefix);
        if (owner && *owner != self && !platform::ProcessIsRunning(*owner)) {
            std::error_code ignored;
            if (entries->is_regular_file(ignored))
                fs::remove(entries->path(), ignored);
        }
    }
}

std::error_code LastError() {
    return {errno != 0 ? errno : EIO, std::generic_category()};
}

} // namespace

void AtomicFile::Closer::operator()(std::FILE* file) const {
    if (close)
        std::fclose(file);
    else
        std::fflush(file);
}

std::optional<AtomicFile> AtomicFile::Create(const fs::path& target) {
    std::error_code ignored;
    return Create(target, ignored);
}

std::optional<AtomicFile> AtomicFile::Create(const fs::path& requested, std::error_code& error) {
    error.clear();
    if (requested.native() == fs::path("-").native()) {
        AtomicFile file(requested, {}, File(platform::StandardOutput(), Closer{false}));
        file.m_inPlace = true;
        return file;
    }

    std::error_code statusError;
    const fs::file_status status = fs::status(requested, statusError);
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        if (fs::is_directory(status)) {
            error = std::make_error_code(std::errc::is_a_directory);
            return std::nullopt;
        }
        // A device, a pipe or a socket, or a link to one: renaming over it would destroy it.
        errno = 0;
        std::FILE* stream = platform::OpenFile(requested, "wb");
        if (!stream) {
            error = LastError();
            return std::nullopt;
        }
        AtomicFile file(requested, {}, File(stream, Closer{}));
        file.m_inPlace = true;
        return file;
    }

    auto target = requested;
    // A link is followed, so that the file it names is replaced and the link stays.
    if (fs::is_symlink(target, statusError)) {
        auto resolved = fs::canonical(target, statusError);
        if (!statusError)
            target = std::move(resolved);
    }
    if (target.filename().empty()) {
        error = std::make_error_code(std::errc::is_a_directory);
        return std::nullopt;
    }
    // A read-only file is one its owner asked not to be overwritten; a rename would replace it
    // anyway on some systems, so it is refused here on all of them.
    if (fs::exists(status) && (status.permissions() & fs::perms::owner_write) == fs::perms::none) {
        error = std::make_error_code(std::errc::permission_denied);
        return std::nullopt;
    }

    RemoveAbandonedTemporaries(target);
    std::random_device random;
    for (int attempt = 0; attempt < 8; ++attempt) {
        auto temporary = TemporaryNameBeside(target, static_cast<std::uint32_t>(random()));
        std::FILE* stream = platform::CreateNewFile(temporary, error);
        if (stream) {
            error.clear();
            return AtomicFile(std::move(target), std::move(temporary), File(stream, Closer{}));
        }
        if (error != std::errc::file_exists)
            return std::nullopt;
    }
    return std::nullopt;
}

AtomicFile::AtomicFile(fs::path target, fs::path temporary, File file)
    : m_target(std::move(target)), m_temporary(std::move(temporary)), m_file(std::move(file)) {
    if (!m_temporary.empty())
        m_entry.emplace(m_temporary);
}

AtomicFile::AtomicFile(AtomicFile&& other) noexcept
    : m_target(std::move(other.m_target)), m_temporary(std::move(other.m_temporary)), m_file(std::move(other.m_file)),
      m_entry(std::move(other.m_entry)), m_size(other.m_size), m_error(other.m_error), m_inPlace(other.m_inPlace) {
    other.m_temporary.clear();
    other.m_entry.reset();
}

AtomicFile& AtomicFile::operator=(AtomicFile&& other) noexcept {
    if (this != &other) {
        Discard();
        m_target = std::move(other.m_target);
        m_temporary = std::move(other.m_temporary);
        m_file = std::move(other.m_file);
        m_entry = std::move(other.m_entry);
        m_size = other.m_size;
        m_error = other.m_error;
        m_inPlace = other.m_inPlace;
        other.m_temporary.clear();
        other.m_entry.reset();
    }
    return *this;
}

AtomicFile::~AtomicFile() {
    Discard();
}

bool AtomicFile::Fail(std::error_code error) {
    if (!m_error)
        m_error = error;
    return false;
}

void AtomicFile::Discard() {
    m_file.reset();
    if (!m_temporary.empty()) {
        std::error_code ignored;
        fs::remove(m_temporary, ignored);
        m_temporary.clear();
    }
    m_entry.reset();
}

bool AtomicFile::Write(std::span<const std::uint8_t> bytes) {
    if (m_error || !m_file)
        return false;
    errno = 0;
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), m_file.get()) != bytes.size())
        return Fail(LastError());
    m_size += bytes.size();
    return true;
}

bool AtomicFile::Write(std::string_view text) {
    return Write(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

bool AtomicFile::WriteZeros(std::size_t count) {
    static constexpr std::array<std::uint8_t, 64> kZeros{};
    while (count > 0) {
        const std::size_t chunk = count < kZeros.size() ? count : kZeros.size();
        if (!Write(std::span(kZeros.data(), chunk)))
            return false;
        count -= chunk;
    }
    return true;
}

bool AtomicFile::Commit() {
    if (!m_file || m_error) {
        if (!m_error)
            m_error = std::make_error_code(std::errc::bad_file_descriptor);
        Discard();
        return false;
    }
    if (m_inPlace) {
        // A stream has no disk to flush to; what it was sent is all there is to check.
        errno = 0;
        const bool flushed = std::fflush(m_file.get()) == 0 && !std::ferror(m_file.get());
        if (!flushed)
            Fail(LastError());
        std::FILE* stream = m_file.release();
        if (m_file.get_deleter().close && std::fclose(stream) != 0 && flushed)
            Fail(LastError());
        return !m_error;
    }
    std::error_code error;
    const bool flushed = platform::FlushToDisk(m_file.get(), error);
    errno = 0;
    const bool closed = std::fclose(m_file.release()) == 0;
    if (!flushed || !closed) {
        Fail(flushed ? LastError() : error);
        Discard();
        return false;
    }
    const auto status = fs::status(m_target, error);
    if (!error && fs::exists(status))
        fs::permissions(m_temporary, status.permissions(), error);
    if (!platform::RenameOver(m_temporary, m_target, error)) {
        Fail(error);
        Discard();
        return false;
    }
    m_temporary.clear();
    m_entry.reset();
    return true;
}

} // namespace brimble
