#pragma once

#include <cstdint>
#include <functional>
#include <istream>
#include <span>
#include <string>
#include <vector>

namespace brimble {

// Reads zip archives on top of zlib: the central directory (ZIP64 included) and each member's
// bytes, stored or deflated, checked against the sizes and the CRC-32 the directory gives.

// No member larger than a cartridge is inflated: the size is checked before the first byte, and
// inflating stops one byte past the declared size, so a hostile archive costs neither time nor
// memory.
inline constexpr std::uint64_t kMaxZipMemberSize = 32u * 1024u * 1024u;

enum class ZipStatus {
    Ok,
    Stopped,           // the sink asked for no more bytes
    Damaged,           // no end record, records that contradict each other, or data cut short
    Encrypted,         // the member is encrypted
    UnsupportedMethod, // neither stored nor deflate
    TooLarge,          // the member is larger than kMaxZipMemberSize
    CrcMismatch,       // the bytes do not give the CRC-32 the archive states
    SizeMismatch,      // more or fewer bytes than the archive states
};

struct ZipMember {
    std::string name;               // UTF-8, folders separated by '/'
    std::uint16_t flags = 0;        // general-purpose bit flags
    std::uint16_t method = 0;       // 0 stored, 8 deflate
    std::uint32_t crc = 0;          // of the inflated bytes
    std::uint64_t packedSize = 0;   // bytes stored in the archive
    std::uint64_t size = 0;         // inflated bytes
    std::uint64_t headerOffset = 0; // where the member's local header starts

    bool IsFolder() const { return !name.empty() && name.back() == '/'; }
};

struct ZipDirectory {
    ZipStatus status = ZipStatus::Damaged; // Ok or Damaged
    std::vector<ZipMember> members;        // in the order of the central directory
};

// True when the stream starts like a zip archive (a local header, or the end record of an
// empty archive). Leaves the position undefined.
bool StartsLikeZip(std::istream& stream);

// The members listed in the archive's central directory.
ZipDirectory ReadZipDirectory(std::istream& archive);

// Whether a member can be read at all (encryption, method, size), before touching its data.
ZipStatus CheckZipMember(const ZipMember& member);

// Receives the bytes of a member in order; returning false stops the reading.
using ZipSink = std::function<bool(std::span<const std::uint8_t>)>;

// Streams the member's bytes to sink from its start and checks them against the directory's
// size and CRC-32 at the end. Bytes reach the sink before the check: a caller that keeps them
// must drop them when the result is not Ok.
ZipStatus ReadZipMember(std::istream& archive, const ZipMember& member, const ZipSink& sink);

} // namespace brimble
