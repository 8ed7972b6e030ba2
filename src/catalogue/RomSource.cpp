#include "RomSource.h"

#include "Crc32.h"
#include "InputFile.h"
#include "Paths.h"
#include "RomEntry.h"
#include "ZipArchive.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <limits>
#include <optional>
#include <string>

namespace brimble {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kReadBlock = 64 * 1024;
constexpr std::array<std::uint8_t, 4> kInesSignature{'N', 'E', 'S', 0x1A};

class PlainFileSource final : public RomSource {
public:
    PlainFileSource(std::ifstream stream, std::uint64_t size) : m_stream(std::move(stream)), m_size(size) {}

    std::uint64_t Size() const override { return m_size; }

    RomInspectionStatus Read(const ByteSink& sink) override {
        m_stream.clear();
        m_stream.seekg(0);
        std::array<std::uint8_t, kReadBlock> block;
        std::uint64_t total = 0;
        while (m_stream) {
            m_stream.read(reinterpret_cast<char*>(block.data()), static_cast<std::streamsize>(block.size()));
            const auto count = static_cast<std::size_t>(m_stream.gcount());
            if (count == 0)
                break;
            total += count;
            if (!sink(std::span<const std::uint8_t>(block.data(), count)))
                return RomInspectionStatus::Accepted;
        }
        // Bytes that stop early, or a file that grew, would give a CRC of another game.
        if (m_stream.bad() || total != m_size)
            return RomInspectionStatus::ReadError;
        return RomInspectionStatus::Accepted;
    }

private:
    std::ifstream m_stream;
    std::uint64_t m_size;
};

RomInspectionStatus FromZipStatus(ZipStatus status) {
    switch (status) {
    case ZipStatus::Ok:
    case ZipStatus::Stopped:
        return RomInspectionStatus::Accepted;
    case ZipStatus::Damaged:
        return RomInspectionStatus::DamagedArchive;
    case ZipStatus::Encrypted:
        return RomInspectionStatus::Encrypted;
    case ZipStatus::UnsupportedMethod:
        return RomInspectionStatus::UnsupportedMethod;
    case ZipStatus::TooLarge:
        return RomInspectionStatus::LargerThanCartridge;
    case ZipStatus::CrcMismatch:
        return RomInspectionStatus::CrcMismatch;
    case ZipStatus::SizeMismatch:
        return RomInspectionStatus::SizeMismatch;
    }
    return RomInspectionStatus::DamagedArchive;
}

class ZipMemberSource final : public RomSource {
public:
    // Reads from an archive of its own, or from one the caller keeps open while it reads.
    ZipMemberSource(std::ifstream archive, ZipMember member)
        : m_owned(std::move(archive)), m_archive(m_owned), m_member(std::move(member)) {}
    ZipMemberSource(std::istream& archive, ZipMember member) : m_archive(archive), m_member(std::move(member)) {}

    std::uint64_t Size() const override { return m_member.size; }

    RomInspectionStatus Read(const ByteSink& sink) override {
        return FromZipStatus(ReadZipMember(m_archive, m_member, sink));
    }

private:
    std::ifstream m_owned;
    std::istream& m_archive;
    ZipMember m_member;
};

struct MemberLocation {
    fs::path archive;
    std::string name; // as the archive spells it, '/' between folders
};

// A path that names no file may name a member: its nearest ancestor that exists is then a file,
// the archive, and the rest of the path is the member's name.
std::optional<MemberLocation> LocateMember(const fs::path& path) {
    std::vector<fs::path> inner;
    fs::path archive = path;
    for (;;) {
        fs::path name = archive.filename();
        fs::path parent = archive.parent_path();
        if (name.empty() || parent.empty() || parent == archive)
            return std::nullopt;
        inner.push_back(std::move(name));
        archive = std::move(parent);
        std::error_code error;
        const fs::file_status status = fs::status(archive, error);
        if (fs::is_regular_file(status))
            break;
        if (fs::exists(status))
            return std::nullopt;
    }
    std::string name;
    for (auto part = inner.rbegin(); part != inner.rend(); ++part) {
        if (!name.empty())
            name += '/';
        const std::u8string text = part->u8string();
        name.append(text.begin(), text.end());
    }
    return MemberLocation{std::move(archive), std::move(name)};
}

fs::path MemberPath(const fs::path& archive, const std::string& name) {
    fs::path relative(std::u8string(name.begin(), name.end()));
    return JoinPath(archive, relative.make_preferred());
}

bool IsRegularFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

// Archives are known by their first bytes, or by their name when they are too damaged to show
// them, so that a cut archive is reported as one.
bool IsZipArchive(const fs::path& path) {
    std::u8string extension = path.extension().u8string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](char8_t c) { return c >= u8'A' && c <= u8'Z' ? static_cast<char8_t>(c - u8'A' + u8'a') : c; });
    if (extension == u8".zip")
        return true;
    std::ifstream stream;
    return OpenInputFile(path, stream) && StartsLikeZip(stream);
}

OpenedRom OpenMember(const MemberLocation& location) {
    std::ifstream archive;
    std::string problem;
    if (!OpenInputFile(location.archive, archive, &problem))
        return OpenedRom{RomInspectionStatus::CannotOpen, nullptr, std::move(problem)};
    ZipDirectory directory = ReadZipDirectory(archive);
    if (directory.status != ZipStatus::Ok)
        return OpenedRom{RomInspectionStatus::DamagedArchive, nullptr};
    const auto member = std::find_if(directory.members.begin(), directory.members.end(),
                                     [&](const ZipMember& m) { return !m.IsFolder() && m.name == location.name; });
    if (member == directory.members.end())
        return OpenedRom{};
    if (const ZipStatus check = CheckZipMember(*member); check != ZipStatus::Ok)
        return OpenedRom{FromZipStatus(check), nullptr};
    return OpenedRom{RomInspectionStatus::Accepted, std::make_unique<ZipMemberSource>(std::move(archive), *member)};
}

std::vector<FoundRom> FindMembers(const fs::path& archivePath) {
    std::ifstream archive;
    std::string problem;
    if (!OpenInputFile(archivePath, archive, &problem))
        return {FoundRom{archivePath, RomInspection{RomInspectionStatus::CannotOpen, 0, 0, std::move(problem)}}};
    const ZipDirectory directory = ReadZipDirectory(archive);
    if (directory.status != ZipStatus::Ok)
        return {FoundRom{archivePath, RomInspection{RomInspectionStatus::DamagedArchive}}};

    std::vector<FoundRom> found;
    for (const ZipMember& member : directory.members) {
        if (member.IsFolder())
            continue;
        ZipMemberSource source(static_cast<std::istream&>(archive), member);
        const ZipStatus check = CheckZipMember(member);
        const RomInspection inspection =
            check == ZipStatus::Ok ? InspectRom(source) : RomInspection{FromZipStatus(check)};
        // Read-me files and pictures beside the games are no reason to complain.
        if (inspection.status == RomInspectionStatus::NotNesFile)
            continue;
        found.push_back(FoundRom{MemberPath(archivePath, member.name), inspection});
    }
    if (found.empty())
        return {FoundRom{archivePath, RomInspection{RomInspectionStatus::NoNesMember}}};
    return found;
}

} // namespace

OpenedRom OpenRom(const fs::path& path) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    // Folders, devices and pipes are no ROMs; a pipe would block the reader besides.
    if (fs::exists(status)) {
        std::ifstream stream;
        std::string problem;
        if (!OpenInputFile(path, stream, &problem))
            return OpenedRom{RomInspectionStatus::CannotOpen, nullptr, std::move(problem)};
        const std::optional<std::uint64_t> padded = PaddedFileSize(stream);
        if (!padded)
            return OpenedRom{RomInspectionStatus::ReadError, nullptr};
        stream.clear();
        const auto size = static_cast<std::uint64_t>(stream.tellg());
        return OpenedRom{RomInspectionStatus::Accepted, std::make_unique<PlainFileSource>(std::move(stream), size)};
    }
    if (const std::optional<MemberLocation> location = LocateMember(path))
        return OpenMember(*location);
    return OpenedRom{RomInspectionStatus::CannotOpen, nullptr, InputFileProblem(path)};
}

fs::path RomFileOnDisk(const fs::path& path) {
    std::error_code error;
    if (fs::exists(path, error))
        return path;
    if (std::optional<MemberLocation> location = LocateMember(path))
        return std::move(location->archive);
    return path;
}

RomInspection InspectRom(RomSource& source) {
    RomInspection inspection;
    // The size is checked before the CRC so that a huge file is refused without reading it.
    const std::uint64_t size = source.Size();
    if (size > std::numeric_limits<std::uint64_t>::max() - 3 ||
        ((size + 3) & ~std::uint64_t{3}) > std::numeric_limits<std::uint32_t>::max() - kRomHeaderSize) {
        inspection.status = RomInspectionStatus::TooLarge;
        return inspection;
    }

    std::uint64_t offset = 0;
    bool signature = true;
    std::uint32_t state = kCrc32Initial;
    const RomInspectionStatus read = source.Read([&](std::span<const std::uint8_t> bytes) {
        for (std::size_t i = 0; i < bytes.size() && offset + i < kInesSignature.size(); ++i)
            signature = signature && bytes[i] == kInesSignature[offset + i];
        if (!signature)
            return false;
        const std::size_t header =
            offset < kInesHeaderSize
                ? static_cast<std::size_t>(std::min<std::uint64_t>(kInesHeaderSize - offset, bytes.size()))
                : 0;
        state = Crc32Update(state, bytes.subspan(header));
        offset += bytes.size();
        return true;
    });
    if (!signature) {
        inspection.status = RomInspectionStatus::NotNesFile;
        return inspection;
    }
    if (read != RomInspectionStatus::Accepted) {
        inspection.status = read;
        return inspection;
    }
    if (offset < kInesSignature.size()) {
        inspection.status = RomInspectionStatus::NotNesFile;
        return inspection;
    }
    inspection.status = RomInspectionStatus::Accepted;
    inspection.crc = Crc32Finish(state);
    inspection.size = static_cast<std::uint32_t>(((size + 3) & ~std::uint64_t{3}) + kRomHeaderSize);
    return inspection;
}

RomInspection InspectRom(const fs::path& path) {
    OpenedRom opened = OpenRom(path);
    if (!opened.source)
        return RomInspection{opened.status, 0, 0, std::move(opened.problem)};
    return InspectRom(*opened.source);
}

std::vector<FoundRom> FindRoms(const fs::path& path) {
    if (IsRegularFile(path) && IsZipArchive(path))
        return FindMembers(path);
    return {FoundRom{path, InspectRom(path)}};
}

} // namespace brimble
