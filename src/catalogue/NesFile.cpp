#include "NesFile.h"

#include "Crc32.h"
#include "InputFile.h"
#include "RomEntry.h"

#include <array>
#include <limits>
#include <vector>

namespace brimble {
namespace {

constexpr std::array<char, 4> kInesSignature{'N', 'E', 'S', '\x1A'};

// Large blocks keep the number of reads small; the CRC itself runs far faster than a disk.
constexpr std::size_t kReadBlock = 64 * 1024;

} // namespace

bool IsNesFile(std::istream& stream) {
    stream.clear();
    stream.seekg(0);
    if (stream.fail())
        return false;
    std::array<char, 4> start{};
    stream.read(start.data(), static_cast<std::streamsize>(start.size()));
    return stream.gcount() == static_cast<std::streamsize>(start.size()) && start == kInesSignature;
}

std::optional<std::uint32_t> ComputeRomCrc(std::istream& stream) {
    // The size, when the stream can tell it, shows whether the reads stopped early.
    const std::optional<std::uint64_t> expected = StreamSize(stream);
    stream.clear();
    stream.seekg(0);
    if (stream.fail())
        return std::nullopt;

    std::vector<char> block(kReadBlock);
    stream.read(block.data(), static_cast<std::streamsize>(kInesHeaderSize));
    std::uint64_t total = static_cast<std::uint64_t>(stream.gcount());
    std::uint32_t state = kCrc32Initial;
    while (stream) {
        stream.read(block.data(), static_cast<std::streamsize>(block.size()));
        const auto count = static_cast<std::size_t>(stream.gcount());
        if (count == 0)
            break;
        state = Crc32Update(state, std::span(reinterpret_cast<const std::uint8_t*>(block.data()), count));
        total += count;
    }
    // A CRC over part of the file would name another game: a read error gives no CRC.
    if (stream.bad() || (expected && total < *expected))
        return std::nullopt;
    return Crc32Finish(state);
}

std::optional<std::uint64_t> PaddedFileSize(std::istream& stream) {
    const std::optional<std::uint64_t> size = StreamSize(stream);
    if (!size || *size > std::numeric_limits<std::uint64_t>::max() - 3)
        return std::nullopt;
    return (*size + 3) & ~std::uint64_t{3};
}

RomInspection InspectRom(std::istream& stream) {
    RomInspection inspection;
    if (!IsNesFile(stream)) {
        inspection.status = stream.bad() ? RomInspectionStatus::ReadError : RomInspectionStatus::NotNesFile;
        return inspection;
    }
    // The size is checked before the CRC so that a huge file is refused without reading it.
    const std::optional<std::uint64_t> padded = PaddedFileSize(stream);
    if (!padded) {
        inspection.status = RomInspectionStatus::ReadError;
        return inspection;
    }
    if (*padded > std::numeric_limits<std::uint32_t>::max() - kRomHeaderSize) {
        inspection.status = RomInspectionStatus::TooLarge;
        return inspection;
    }
    const std::optional<std::uint32_t> crc = ComputeRomCrc(stream);
    if (!crc) {
        inspection.status = RomInspectionStatus::ReadError;
        return inspection;
    }
    inspection.status = RomInspectionStatus::Accepted;
    inspection.crc = *crc;
    inspection.size = static_cast<std::uint32_t>(*padded + kRomHeaderSize);
    return inspection;
}

const char* DescribeRomInspection(RomInspectionStatus status) {
    switch (status) {
    case RomInspectionStatus::Accepted:
        return "accepted";
    case RomInspectionStatus::CannotOpen:
        return "cannot be opened";
    case RomInspectionStatus::NotNesFile:
        return "is not an iNES file";
    case RomInspectionStatus::TooLarge:
        return "is too large";
    case RomInspectionStatus::ReadError:
        return "could not be read";
    case RomInspectionStatus::Encrypted:
        return "is encrypted";
    case RomInspectionStatus::UnsupportedMethod:
        return "is compressed with a method other than stored or deflate";
    case RomInspectionStatus::LargerThanCartridge:
        return "is larger than a 32 MiB cartridge";
    case RomInspectionStatus::CrcMismatch:
        return "is damaged (its bytes do not match the archive's CRC-32)";
    case RomInspectionStatus::SizeMismatch:
        return "is damaged (its size is not the one the archive gives)";
    case RomInspectionStatus::DamagedArchive:
        return "is a damaged or truncated zip archive";
    case RomInspectionStatus::NoNesMember:
        return "holds no iNES file";
    }
    return "could not be read";
}

std::string DescribeRomInspection(const RomInspection& inspection) {
    if (inspection.status == RomInspectionStatus::CannotOpen && !inspection.problem.empty())
        return inspection.problem;
    return DescribeRomInspection(inspection.status);
}

} // namespace brimble
