#include "AtomicFile.h"

#include "Platform.h"

#include <array>
#include <random>
#include <string>
#include <system_error>

namespace brimble {
namespace {

std::filesystem::path TemporaryNameBeside(const std::filesystem::path& target) {
    std::random_device random;
    const auto suffix = (static_cast<unsigned long long>(random()) << 32) ^ random();
    auto name = target.filename();
    name += std::filesystem::path(".tmp-" + std::to_string(suffix));
    return target.parent_path() / name;
}

} // namespace

void AtomicFile::Closer::operator()(std::FILE* file) const {
    std::fclose(file);
}

std::optional<AtomicFile> AtomicFile::Create(const std::filesystem::path& requested) {
    std::error_code error;
    auto target = requested;
    // A link is followed, so that the file it names is replaced and the link stays.
    if (std::filesystem::is_symlink(target, error)) {
        auto resolved = std::filesystem::canonical(target, error);
        if (!error)
            target = std::move(resolved);
    }
    if (target.filename().empty() || std::filesystem::is_directory(target, error))
        return std::nullopt;
    // A read-only file is one its owner asked not to be overwritten; a rename would replace it
    // anyway on some systems, so it is refused here on all of them.
    const auto status = std::filesystem::status(target, error);
    if (!error && std::filesystem::exists(status) &&
        (status.permissions() & std::filesystem::perms::owner_write) == std::filesystem::perms::none)
        return std::nullopt;
    for (int attempt = 0; attempt < 8; ++attempt) {
        auto temporary = TemporaryNameBeside(target);
        if (std::filesystem::exists(temporary, error))
            continue;
        std::FILE* file = platform::OpenFile(temporary, "wb");
        if (!file)
            return std::nullopt;
        return AtomicFile(std::move(target), std::move(temporary), file);
    }
    return std::nullopt;
}

AtomicFile::AtomicFile(std::filesystem::path target, std::filesystem::path temporary, std::FILE* file)
    : m_target(std::move(target)), m_temporary(std::move(temporary)), m_file(file) {}

AtomicFile::AtomicFile(AtomicFile&& other) noexcept
    : m_target(std::move(other.m_target)), m_temporary(std::move(other.m_temporary)), m_file(std::move(other.m_file)),
      m_size(other.m_size), m_failed(other.m_failed) {
    other.m_temporary.clear();
}

AtomicFile& AtomicFile::operator=(AtomicFile&& other) noexcept {
    if (this != &other) {
        Discard();
        m_target = std::move(other.m_target);
        m_temporary = std::move(other.m_temporary);
        m_file = std::move(other.m_file);
        m_size = other.m_size;
        m_failed = other.m_failed;
        other.m_temporary.clear();
    }
    return *this;
}

AtomicFile::~AtomicFile() {
    Discard();
}

void AtomicFile::Discard() {
    m_file.reset();
    if (!m_temporary.empty()) {
        std::error_code ignored;
        std::filesystem::remove(m_temporary, ignored);
        m_temporary.clear();
    }
}

bool AtomicFile::Write(std::span<const std::uint8_t> bytes) {
    if (m_failed || !m_file)
        return false;
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), m_file.get()) != bytes.size()) {
        m_failed = true;
        return false;
    }
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
    if (!m_file || m_failed) {
        Discard();
        return false;
    }
    const bool flushed = platform::FlushToDisk(m_file.get());
    const bool closed = std::fclose(m_file.release()) == 0;
    if (!flushed || !closed) {
        Discard();
        return false;
    }
    std::error_code error;
    const auto status = std::filesystem::status(m_target, error);
    if (!error && std::filesystem::exists(status))
        std::filesystem::permissions(m_temporary, status.permissions(), error);
    if (!platform::RenameOver(m_temporary, m_target)) {
        Discard();
        return false;
    }
    m_temporary.clear();
    return true;
}

} // namespace brimble
