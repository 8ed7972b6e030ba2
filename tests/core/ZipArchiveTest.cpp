#include "catalogue/ZipArchive.h"

#include "catalogue/Crc32.h"
#include "samples/ZipWriter.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace brimble {
namespace {

using test::Bytes;
using test::ZipEntry;

std::istringstream StreamOf(const Bytes& bytes) {
    return std::istringstream(std::string(bytes.begin(), bytes.end()), std::ios::binary);
}

std::pair<ZipStatus, Bytes> ReadMember(std::istream& archive, const ZipMember& member) {
    Bytes bytes;
    const ZipStatus status = ReadZipMember(archive, member, [&](std::span<const std::uint8_t> part) {
        bytes.insert(bytes.end(), part.begin(), part.end());
        return true;
    });
    return {status, bytes};
}

TEST(ZipArchive, ReadsMembersOfEveryLayoutInTheArchivesOrder) {
    const Bytes game = test::MakeNesImage(70000, 4); // more than one read chunk
    const Bytes small = test::MakeNesImage(100, 5);
    const struct {
        const char* what;
        std::vector<ZipEntry> entries;
        std::vector<std::pair<std::string, Bytes>> members; // UTF-8 names
        test::ZipLayout layout = {};
    } cases[] = {
        {"stored and deflated, a data descriptor, folders and a backslash",
         {{.name = "a.nes", .data = game, .dataDescriptor = true},
          {.name = "read.txt", .data = {'h', 'i'}},
          {.name = "sub/", .method = 0},
          {.name = "sub\\b.nes", .data = small, .method = 0}},
         {{"a.nes", game}, {"read.txt", {'h', 'i'}}, {"sub/", {}}, {"sub/b.nes", small}}},
        {"ZIP64 with a data descriptor",
         {{.name = "a.nes", .data = game, .dataDescriptor = true}, {.name = "b.nes", .data = small, .method = 0}},
         {{"a.nes", game}, {"b.nes", small}},
         {.zip64 = true}},
        // A comment may hold the end record's signature; only the real record ends at the end.
        {"comment", {{.name = "a.nes", .data = small}}, {{"a.nes", small}}, {.comment = "PK\x05\x06 not the end"}},
        {"UTF-8 name", {{.name = "Caf\xC3\xA9.nes", .data = small, .flags = 0x0800}}, {{"Caf\xC3\xA9.nes", small}}},
        {"code page 437 name", {{.name = "Caf\x82\xE1.nes", .data = small}}, {{"Caf\xC3\xA9\xC3\x9F.nes", small}}},
        // Without the flag, bytes that would read as UTF-8 are still code page 437.
        {"unmarked UTF-8 bytes", {{.name = "\xC3\xA9.nes", .data = small}}, {{"\xE2\x94\x9C\xE2\x8C\x90.nes", small}}},
        {"empty archive", {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto stream = StreamOf(test::MakeZip(c.entries, c.layout));
        const ZipDirectory directory = ReadZipDirectory(stream);
        ASSERT_EQ(directory.status, ZipStatus::Ok);
        ASSERT_EQ(directory.members.size(), c.members.size());
        for (std::size_t i = 0; i < c.members.size(); ++i) {
            EXPECT_EQ(directory.members[i].name, c.members[i].first);
            EXPECT_EQ(ReadMember(stream, directory.members[i]), std::pair(ZipStatus::Ok, c.members[i].second));
            // The sink can stop the reading after any part, the first one here.
            EXPECT_EQ(ReadZipMember(stream, directory.members[i], [](auto) { return false; }),
                      c.members[i].second.empty() ? ZipStatus::Ok : ZipStatus::Stopped);
        }
    }
}

TEST(ZipArchive, DamagedAndHostileArchivesAreRefusedWithTheirReason) {
    const Bytes game = test::MakeNesImage(5000, 6);
    const auto Flipped = [](Bytes bytes, std::size_t at) { return bytes.at(at) ^= 0x40, bytes; };
    const auto Cut = [](Bytes bytes, std::size_t size) { return bytes.resize(size), bytes; };
    // An archive of the one member a.nes holding the game, or the packed bytes the entry gives.
    const auto one = [&](ZipEntry entry, const test::ZipLayout& layout = {}) {
        entry.name = "a.nes";
        entry.data = game;
        return test::MakeZip({entry}, layout);
    };
    const Bytes deflated = one({});
    const std::uint64_t limit = kMaxZipMemberSize;
    const std::uint32_t zeros = Crc32(Bytes(static_cast<std::size_t>(limit), 0));
    using enum ZipStatus;
    const struct {
        const char* what;
        Bytes archive;
        ZipStatus status;
    } cases[] = {
        {"flipped data byte", Flipped(one({.method = 0}), 30 + 5 + 100), CrcMismatch},
        {"declared CRC", one({.crc = 1}), CrcMismatch},
        {"declared size too small", one({.size = 4999}), SizeMismatch},
        {"declared size too large", one({.size = 5001}), SizeMismatch},
        {"stored sizes disagree", one({.method = 0, .size = 4000}), SizeMismatch},
        {"deflate stream cut short", one({.packed = Cut(test::Deflate(game), 100)}), Damaged},
        {"bzip2", one({.method = 12}), UnsupportedMethod},
        {"encrypted", one({.method = 0, .flags = 0x0001}), Encrypted},
        {"AES", one({.method = 99}), Encrypted},
        {"a whole cartridge", one({.packed = test::DeflatedZeros(32), .size = limit, .crc = zeros}), Ok},
        {"a cartridge and a byte", one({.packed = test::DeflatedZeros(32), .size = limit + 1, .crc = zeros}), TooLarge},
        {"4 GiB declared", one({.packed = test::DeflatedZeros(1), .size = 4ull << 30}, {.zip64 = true}), TooLarge},
        // Inflating stops one byte past the declared size instead of running through 4 GiB.
        {"bomb holding 4 GiB", one({.packed = test::DeflatedZeros(4096), .size = limit, .crc = zeros}), SizeMismatch},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto stream = StreamOf(c.archive);
        const ZipDirectory directory = ReadZipDirectory(stream);
        ASSERT_EQ(directory.members.size(), 1u);
        const auto [status, bytes] = ReadMember(stream, directory.members[0]);
        EXPECT_EQ(status, c.status);
        EXPECT_LE(bytes.size(), limit);
    }

    // Archives whose directory cannot be trusted give no members at all.
    const Bytes zip64 = one({}, {.zip64 = true});
    for (const Bytes& archive :
         {Cut(deflated, deflated.size() / 2), Cut(deflated, deflated.size() - 1),
          Flipped(zip64, zip64.size() - 22 - 20 + 8), Flipped(deflated, deflated.size() - 22 + 16), game, Bytes{}}) {
        auto stream = StreamOf(archive);
        const ZipDirectory directory = ReadZipDirectory(stream);
        EXPECT_TRUE(directory.status == Damaged && directory.members.empty()) << archive.size();
    }
}

} // namespace
} // namespace brimble
