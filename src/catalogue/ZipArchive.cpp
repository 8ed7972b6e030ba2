#include "ZipArchive.h"

#include "Crc32.h"
#include "InputFile.h"
#include "Windows1252.h"

#include <algorithm>
#include <array>
#include <optional>
#include <zlib.h>

namespace brimble {
namespace {

constexpr std::uint32_t kLocalHeaderSignature = 0x04034B50;
constexpr std::uint32_t kCentralHeaderSignature = 0x02014B50;
constexpr std::uint32_t kEndSignature = 0x06054B50;
constexpr std::uint32_t kZip64EndSignature = 0x06064B50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064B50;

constexpr std::size_t kLocalHeaderSize = 30;
constexpr std::size_t kCentralHeaderSize = 46;
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kZip64EndSize = 56;
constexpr std::size_t kZip64LocatorSize = 20;
constexpr std::size_t kMaxCommentSize = 0xFFFF;

constexpr std::uint16_t kZip64ExtraId = 0x0001;

constexpr std::uint16_t kFlagEncrypted = 0x0001;
constexpr std::uint16_t kFlagStrongEncryption = 0x0040;
constexpr std::uint16_t kFlagUtf8 = 0x0800;
constexpr std::uint16_t kFlagMaskedHeaders = 0x2000;

constexpr std::uint16_t kMethodStored = 0;
constexpr std::uint16_t kMethodDeflate = 8;
constexpr std::uint16_t kMethodAesEncrypted = 99;

// A central directory beyond this holds hundreds of thousands of members; no collection of
// games needs it, and refusing it keeps a forged size from costing memory.
constexpr std::uint64_t kMaxDirectorySize = 64u * 1024u * 1024u;

constexpr std::size_t kChunk = 64 * 1024;

// Little-endian fields read from a block, with every read checked against its end.
class FieldReader {
public:
    explicit FieldReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    bool Has(std::size_t count) const { return m_bytes.size() - m_pos >= count; }
    std::size_t Position() const { return m_pos; }
    void Skip(std::size_t count) { m_pos += count; }

    std::uint64_t Read(std::size_t width) {
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < width; ++i)
            value |= std::uint64_t{m_bytes[m_pos + i]} << (8 * i);
        m_pos += width;
        return value;
    }
    std::uint16_t U16() { return static_cast<std::uint16_t>(Read(2)); }
    std::uint32_t U32() { return static_cast<std::uint32_t>(Read(4)); }
    std::uint64_t U64() { return Read(8); }
    std::span<const std::uint8_t> Bytes(std::size_t count) {
        const auto bytes = m_bytes.subspan(m_pos, count);
        m_pos += count;
        return bytes;
    }

private:
    std::span<const std::uint8_t> m_bytes;
    std::size_t m_pos = 0;
};

// Reads exactly count bytes at offset; false when the stream has fewer.
bool ReadAt(std::istream& stream, std::uint64_t offset, std::span<std::uint8_t> out) {
    stream.clear();
    stream.seekg(static_cast<std::streamoff>(offset));
    if (stream.fail())
        return false;
    stream.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(out.size()));
    return static_cast<std::size_t>(stream.gcount()) == out.size();
}

std::string MemberName(std::span<const std::uint8_t> raw, std::uint16_t flags) {
    std::string_view text(reinterpret_cast<const char*>(raw.data()), raw.size());
    text = text.substr(0, text.find('\0'));
    // Names not marked as UTF-8 are code page 437, the zip format's original character set.
    std::string name = (flags & kFlagUtf8) != 0 && IsValidUtf8(text) ? std::string(text) : CodePage437ToUtf8(text);
    // Some old Windows tools wrote '\' between folders.
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}

// The ZIP64 extra field replaces the 32-bit fields that hold all ones, in this order.
bool ApplyZip64Extra(std::span<const std::uint8_t> extra, ZipMember& member, bool wantSize, bool wantPacked,
                     bool wantOffset) {
    FieldReader fields(extra);
    while (fields.Has(4)) {
        const std::uint16_t id = fields.U16();
        const std::uint16_t length = fields.U16();
        if (!fields.Has(length))
            return false;
        if (id != kZip64ExtraId) {
            fields.Skip(length);
            continue;
        }
        FieldReader zip64(fields.Bytes(length));
        if (wantSize && zip64.Has(8))
            member.size = zip64.U64(), wantSize = false;
        if (wantPacked && zip64.Has(8))
            member.packedSize = zip64.U64(), wantPacked = false;
        if (wantOffset && zip64.Has(8))
            member.headerOffset = zip64.U64(), wantOffset = false;
        break;
    }
    return !wantSize && !wantPacked && !wantOffset;
}

// Where the central directory lies and how many members it lists.
struct DirectoryPlace {
    std::uint64_t entries = 0;
    std::uint64_t size = 0;
    std::uint64_t offset = 0;
    std::uint64_t end = 0; // where the records after the directory begin
};

std::optional<DirectoryPlace> ReadZip64End(std::istream& archive, std::uint64_t locatorOffset) {
    std::array<std::uint8_t, kZip64LocatorSize> locator{};
    if (!ReadAt(archive, locatorOffset, locator))
        return std::nullopt;
    FieldReader fields(locator);
    if (fields.U32() != kZip64LocatorSignature)
        return std::nullopt;
    const std::uint32_t endDisk = fields.U32();
    const std::uint64_t endOffset = fields.U64();
    const std::uint32_t disks = fields.U32();
    if (endDisk != 0 || disks > 1 || endOffset > locatorOffset || locatorOffset - endOffset < kZip64EndSize)
        return std::nullopt;

    std::array<std::uint8_t, kZip64EndSize> record{};
    if (!ReadAt(archive, endOffset, record))
        return std::nullopt;
    FieldReader end(record);
    if (end.U32() != kZip64EndSignature)
        return std::nullopt;
    end.Skip(8 + 2 + 2); // record size, versions
    const std::uint32_t disk = end.U32();
    const std::uint32_t directoryDisk = end.U32();
    const std::uint64_t entriesHere = end.U64();
    DirectoryPlace place;
    place.entries = end.U64();
    place.size = end.U64();
    place.offset = end.U64();
    place.end = endOffset;
    if (disk != 0 || directoryDisk != 0 || entriesHere != place.entries)
        return std::nullopt;
    return place;
}

// Finds the end record from the back of the archive: it is the last 22 bytes unless a comment
// follows it, so the search covers the largest comment the format allows.
std::optional<DirectoryPlace> FindDirectory(std::istream& archive, std::uint64_t archiveSize) {
    const std::uint64_t tailSize = std::min<std::uint64_t>(archiveSize, kEndSize + kMaxCommentSize);
    if (tailSize < kEndSize)
        return std::nullopt;
    const std::uint64_t tailOffset = archiveSize - tailSize;
    std::vector<std::uint8_t> tail(static_cast<std::size_t>(tailSize));
    if (!ReadAt(archive, tailOffset, tail))
        return std::nullopt;

    for (std::size_t at = tail.size() - kEndSize + 1; at-- > 0;) {
        FieldReader fields(std::span<const std::uint8_t>(tail).subspan(at));
        if (fields.U32() != kEndSignature)
            continue;
        const std::uint16_t disk = fields.U16();
        const std::uint16_t directoryDisk = fields.U16();
        const std::uint16_t entriesHere = fields.U16();
        const std::uint16_t entries = fields.U16();
        const std::uint32_t size = fields.U32();
        const std::uint32_t offset = fields.U32();
        const std::uint16_t commentSize = fields.U16();
        // The comment runs to the end of the archive; a signature inside a comment fails this.
        if (at + kEndSize + commentSize != tail.size())
            continue;

        const std::uint64_t endOffset = tailOffset + at;
        if (endOffset >= kZip64LocatorSize) {
            if (auto place = ReadZip64End(archive, endOffset - kZip64LocatorSize))
                return place;
        }
        if (entries == 0xFFFF || size == 0xFFFFFFFFu || offset == 0xFFFFFFFFu)
            return std::nullopt; // the values live in a ZIP64 record that is missing
        if (disk != 0 || directoryDisk != 0 || entriesHere != entries)
            return std::nullopt; // archives split over several files are not read
        return DirectoryPlace{entries, size, offset, endOffset};
    }
    return std::nullopt;
}

std::optional<std::vector<ZipMember>> ReadMembers(std::span<const std::uint8_t> directory, std::uint64_t entries,
                                                  std::uint64_t directoryOffset) {
    std::vector<ZipMember> members;
    FieldReader fields(directory);
    for (std::uint64_t i = 0; i < entries; ++i) {
        if (!fields.Has(kCentralHeaderSize) || fields.U32() != kCentralHeaderSignature)
            return std::nullopt;
        ZipMember member;
        fields.Skip(2 + 2); // versions
        member.flags = fields.U16();
        member.method = fields.U16();
        fields.Skip(2 + 2); // time, date
        member.crc = fields.U32();
        const std::uint32_t packed = fields.U32();
        const std::uint32_t size = fields.U32();
        const std::uint16_t nameSize = fields.U16();
        const std::uint16_t extraSize = fields.U16();
        const std::uint16_t commentSize = fields.U16();
        const std::uint16_t disk = fields.U16();
        fields.Skip(2 + 4); // attributes
        const std::uint32_t offset = fields.U32();
        if (!fields.Has(std::size_t{nameSize} + extraSize + commentSize))
            return std::nullopt;
        member.name = MemberName(fields.Bytes(nameSize), member.flags);
        const auto extra = fields.Bytes(extraSize);
        fields.Skip(commentSize);

        member.size = size;
        member.packedSize = packed;
        member.headerOffset = offset;
        const bool wantSize = size == 0xFFFFFFFFu;
        const bool wantPacked = packed == 0xFFFFFFFFu;
        const bool wantOffset = offset == 0xFFFFFFFFu;
        if ((wantSize || wantPacked || wantOffset) && !ApplyZip64Extra(extra, member, wantSize, wantPacked, wantOffset))
            return std::nullopt;
        if ((disk != 0 && disk != 0xFFFF) || member.headerOffset >= directoryOffset)
            return std::nullopt;
        members.push_back(std::move(member));
    }
    return members;
}

// Ends the inflate stream however the reading ends.
class Inflater {
public:
    Inflater() { m_ready = inflateInit2(&m_stream, -MAX_WBITS) == Z_OK; }
    ~Inflater() {
        if (m_ready)
            inflateEnd(&m_stream);
    }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    bool Ready() const { return m_ready; }
    z_stream& Stream() { return m_stream; }

private:
    z_stream m_stream{};
    bool m_ready = false;
};

// Reads a member's packed bytes in chunks, never past its end.
class PackedReader {
public:
    PackedReader(std::istream& archive, std::uint64_t size) : m_archive(archive), m_left(size) {}

    std::uint64_t Left() const { return m_left; }

    // The next chunk; empty once everything was read or when the archive ends early.
    std::span<std::uint8_t> Next() {
        const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(m_left, m_buffer.size()));
        m_archive.read(reinterpret_cast<char*>(m_buffer.data()), static_cast<std::streamsize>(count));
        const auto got = static_cast<std::size_t>(m_archive.gcount());
        m_left = got == count ? m_left - count : 0;
        m_short = got != count;
        return std::span(m_buffer.data(), got);
    }
    bool CutShort() const { return m_short; }

private:
    std::istream& m_archive;
    std::uint64_t m_left;
    std::array<std::uint8_t, kChunk> m_buffer{};
    bool m_short = false;
};

ZipStatus CopyStored(PackedReader& packed, const ZipSink& sink, std::uint32_t& crc, std::uint64_t& produced) {
    while (packed.Left() > 0) {
        const auto chunk = packed.Next();
        if (packed.CutShort())
            return ZipStatus::Damaged;
        crc = Crc32Update(crc, chunk);
        produced += chunk.size();
        if (!sink(chunk))
            return ZipStatus::Stopped;
    }
    return ZipStatus::Ok;
}

ZipStatus CopyInflated(PackedReader& packed, std::uint64_t declared, const ZipSink& sink, std::uint32_t& crc,
                       std::uint64_t& produced) {
    Inflater inflater;
    if (!inflater.Ready())
        return ZipStatus::Damaged;
    z_stream& stream = inflater.Stream();
    std::array<std::uint8_t, kChunk> out{};
    for (;;) {
        if (stream.avail_in == 0 && packed.Left() > 0) {
            const auto chunk = packed.Next();
            if (packed.CutShort())
                return ZipStatus::Damaged;
            stream.next_in = chunk.data();
            stream.avail_in = static_cast<uInt>(chunk.size());
        }
        // Room for one byte more than the archive declares shows a stream that runs on, and
        // inflating stops right there.
        const std::uint64_t room = std::min<std::uint64_t>(out.size(), declared - produced + 1);
        stream.next_out = out.data();
        stream.avail_out = static_cast<uInt>(room);
        const int result = inflate(&stream, Z_NO_FLUSH);
        const auto count = static_cast<std::size_t>(room - stream.avail_out);
        if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR)
            return ZipStatus::Damaged;
        produced += count;
        if (produced > declared)
            return ZipStatus::SizeMismatch;
        if (count > 0) {
            const std::span<const std::uint8_t> bytes(out.data(), count);
            crc = Crc32Update(crc, bytes);
            if (!sink(bytes))
                return ZipStatus::Stopped;
        }
        if (result == Z_STREAM_END)
            return ZipStatus::Ok;
        // No progress with every packed byte handed over: the stream was cut short.
        if (result == Z_BUF_ERROR && stream.avail_in == 0 && packed.Left() == 0)
            return ZipStatus::Damaged;
    }
}

} // namespace

bool StartsLikeZip(std::istream& stream) {
    std::array<std::uint8_t, 4> start{};
    if (!ReadAt(stream, 0, start))
        return false;
    const std::uint32_t signature = FieldReader(start).U32();
    return signature == kLocalHeaderSignature || signature == kEndSignature;
}

ZipDirectory ReadZipDirectory(std::istream& archive) {
    ZipDirectory result;
    const std::optional<std::uint64_t> archiveSize = StreamSize(archive);
    if (!archiveSize)
        return result;
    const std::optional<DirectoryPlace> place = FindDirectory(archive, *archiveSize);
    if (!place || place->offset > place->end || place->end - place->offset < place->size ||
        place->size > kMaxDirectorySize)
        return result;

    std::vector<std::uint8_t> directory(static_cast<std::size_t>(place->size));
    if (!ReadAt(archive, place->offset, directory))
        return result;
    auto members = ReadMembers(directory, place->entries, place->offset);
    if (!members)
        return result;
    result.status = ZipStatus::Ok;
    result.members = std::move(*members);
    return result;
}

ZipStatus CheckZipMember(const ZipMember& member) {
    if ((member.flags & (kFlagEncrypted | kFlagStrongEncryption | kFlagMaskedHeaders)) != 0 ||
        member.method == kMethodAesEncrypted)
        return ZipStatus::Encrypted;
    if (member.method != kMethodStored && member.method != kMethodDeflate)
        return ZipStatus::UnsupportedMethod;
    if (member.size > kMaxZipMemberSize)
        return ZipStatus::TooLarge;
    if (member.method == kMethodStored && member.packedSize != member.size)
        return ZipStatus::SizeMismatch;
    return ZipStatus::Ok;
}

ZipStatus ReadZipMember(std::istream& archive, const ZipMember& member, const ZipSink& sink) {
    if (const ZipStatus status = CheckZipMember(member); status != ZipStatus::Ok)
        return status;

    std::array<std::uint8_t, kLocalHeaderSize> header{};
    if (!ReadAt(archive, member.headerOffset, header))
        return ZipStatus::Damaged;
    FieldReader fields(header);
    if (fields.U32() != kLocalHeaderSignature)
        return ZipStatus::Damaged;
    fields.Skip(2);
    if ((fields.U16() & kFlagEncrypted) != 0)
        return ZipStatus::Encrypted;
    fields.Skip(2 + 2 + 2 + 4 + 4 + 4); // method, time, date, CRC and sizes: the directory's count
    const std::uint16_t nameSize = fields.U16();
    const std::uint16_t extraSize = fields.U16();

    // Sizes come from the central directory, which is also right for members whose local header
    // leaves them to a data descriptor after the data.
    const std::uint64_t dataOffset = member.headerOffset + kLocalHeaderSize + nameSize + extraSize;
    const std::optional<std::uint64_t> archiveSize = StreamSize(archive);
    if (!archiveSize || dataOffset > *archiveSize || *archiveSize - dataOffset < member.packedSize)
        return ZipStatus::Damaged;
    archive.clear();
    archive.seekg(static_cast<std::streamoff>(dataOffset));
    if (archive.fail())
        return ZipStatus::Damaged;

    PackedReader packed(archive, member.packedSize);
    std::uint32_t crc = kCrc32Initial;
    std::uint64_t produced = 0;
    const ZipStatus status = member.method == kMethodStored ? CopyStored(packed, sink, crc, produced)
                                                            : CopyInflated(packed, member.size, sink, crc, produced);
    if (status != ZipStatus::Ok)
        return status;
    if (produced != member.size)
        return ZipStatus::SizeMismatch;
    if (Crc32Finish(crc) != member.crc)
        return ZipStatus::CrcMismatch;
    return ZipStatus::Ok;
}

} // namespace brimble
