#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <string>

namespace brimble {

inline constexpr std::size_t kInesHeaderSize = 16;

// True when the stream's first four bytes are "NES" and 0x1A. Seeks to the start first.
bool IsNesFile(std::istream& stream);

// CRC-32 of everything after the first 16 bytes; nothing on a read error. Seeks to the
// start first.
std::optional<std::uint32_t> ComputeRomCrc(std::istream& stream);

// The stream's size rounded up to a multiple of 4; leaves the position at the end. Nothing
// when the size cannot be measured.
std::optional<std::uint64_t> PaddedFileSize(std::istream& stream);

// What inspecting a file found; the reason a file is not taken is kept for the command line.
enum class RomInspectionStatus {
    Accepted,
    CannotOpen,
    NotNesFile,
    TooLarge,  // padded size plus the ROM header does not fit in 32 bits
    ReadError, // the CRC could not be read to the end
    // Members of zip archives, and archives themselves.
    Encrypted,
    UnsupportedMethod,
    LargerThanCartridge,
    CrcMismatch,
    SizeMismatch,
    DamagedArchive,
    NoNesMember,
};

struct RomInspection {
    RomInspectionStatus status = RomInspectionStatus::CannotOpen;
    std::uint32_t crc = 0;
    std::uint32_t size = 0; // padded file size plus the ROM header, when accepted
    std::string problem{};  // why it could not be opened (CannotOpen): a folder, a pipe, the system's reason
};

// Checks the signature, computes the CRC and the entry size of a stream opened for binary
// reading.
RomInspection InspectRom(std::istream& stream);

// A short English reason for a status other than Accepted, for messages.
const char* DescribeRomInspection(RomInspectionStatus status);
// The same with the reason a file could not be opened, when it is known.
std::string DescribeRomInspection(const RomInspection& inspection);

} // namespace brimble
