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

struct MemberRead {
    ZipStatus status = ZipStatus::Damaged;
    Bytes bytes;
};

MemberRead ReadMember(std::istream& archive, const ZipMember& member) {
    MemberRead read;
    read.status = ReadZipMember(archive, member, [&](std::span<const std::uint8_t> bytes) {
        read.bytes.insert(read.bytes.end(), bytes.begin(), bytes.end());
        return true;
    });
    return read;
}

struct ExpectedMember {
    std::string name; // UTF-8
    Bytes bytes;
};

TEST(ZipArchive, ReadsMembersOfEveryLayoutInTheArchivesOrder) {
    const Bytes game = test::MakeNesImage(70000, 4); // more than one read chunk
    const Bytes small = test::MakeNesImage(100, 5);
    const Bytes text = {'h', 'i'};
    const struct {
        const char* what;
        std::vector<ZipEntry> entries;
        std::vector<ExpectedMember> members;
        bool zip64 = false;
        const char* comment = "";
    } cases[] = {
        {"stored", {{.name = "a.nes", .data = game, .method = 0}}, {{"a.nes", game}}},
        {"deflated", {{.name = "a.nes", .data = game}}, {{"a.nes", game}}},
        {"several, with folders",
         {{.name = "a.nes", .data = game},
          {.name = "read.txt", .data = text},
          {.name = "sub/", .method = 0},
          {.name = "sub/b.nes", .data = small, .method = 0}},
         {{"a.nes", game}, {"read.txt", text}, {"sub/", {}}, {"sub/b.nes", small}}},
        {"data descriptor", {{.name = "a.nes", .data = game, .dataDescriptor = true}}, {{"a.nes", game}}},
        {"ZIP64 with a data descriptor",
         {{.name = "a.nes", .data = game, .dataDescriptor = true}, {.name = "b.nes", .data = small, .method = 0}},
         {{"a.nes", game}, {"b.nes", small}},
         true},
        // A comment may hold the end record's signature; only the real record ends at the end.
        {"comment", {{.name = "a.nes", .data = small}}, {{"a.nes", small}}, false, "PK\x05\x06 not the end"},
        {"UTF-8 name", {{.name = "Caf\xC3\xA9.nes", .data = small, .flags = 0x0800}}, {{"Caf\xC3\xA9.nes", small}}},
        {"code page 437 name", {{.name = "Caf\x82\xE1.nes", .data = small}}, {{"Caf\xC3\xA9\xC3\x9F.nes", small}}},
        // Without the flag, bytes that would read as UTF-8 are still code page 437.
        {"unmarked UTF-8 bytes", {{.name = "\xC3\xA9.nes", .data = small}}, {{"\xE2\x94\x9C\xE2\x8C\x90.nes", small}}},
        {"backslashes", {{.name = "sub\\b.nes", .data = small}}, {{"sub/b.nes", small}}},
        {"empty archive", {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto stream = StreamOf(test::MakeZip(c.entries, {.zip64 = c.zip64, .comment = c.comment}));
        const ZipDirectory directory = ReadZipDirectory(stream);
        ASSERT_EQ(directory.status, ZipStatus::Ok);
        ASSERT_EQ(directory.members.size(), c.members.size());
        for (std::size_t i = 0; i < c.members.size(); ++i) {
            EXPECT_EQ(directory.members[i].name, c.members[i].name);
            const MemberRead read = ReadMember(stream, directory.members[i]);
            EXPECT_EQ(read.status, ZipStatus::Ok) << c.members[i].name;
            EXPECT_EQ(read.bytes, c.members[i].bytes) << c.members[i].name;
        }
    }
}

Bytes Flipped(Bytes bytes, std::size_t at) {
    bytes.at(at) ^= 0x40;
    return bytes;
}

Bytes Cut(Bytes bytes, std::size_t size) {
    bytes.resize(size);
    return bytes;
}

TEST(ZipArchive, DamagedAndHostileArchivesAreRefusedWithTheirReason) {
    const Bytes game = test::MakeNesImage(5000, 6);
    const Bytes stored = test::MakeZip({{.name = "a.nes", .data = game, .method = 0}});
    const Bytes deflated = test::MakeZip({{.name = "a.nes", .data = game}});
    const std::uint64_t gibibyte = 1u << 30;
    const std::uint64_t limit = kMaxZipMemberSize;
    const Bytes zeros(static_cast<std::size_t>(limit), 0);
    const std::uint32_t zerosCrc = Crc32(zeros);
    const struct {
        const char* what;
        Bytes archive;
        ZipStatus status;
    } cases[] = {
        {"flipped data byte", Flipped(stored, 30 + 5 + 100), ZipStatus::CrcMismatch},
        {"declared CRC", test::MakeZip({{.name = "a.nes", .data = game, .crc = 1}}), ZipStatus::CrcMismatch},
        {"declared size too small", test::MakeZip({{.name = "a.nes", .data = game, .size = 4999}}),
         ZipStatus::SizeMismatch},
        {"declared size too large", test::MakeZip({{.name = "a.nes", .data = game, .size = 5001}}),
         ZipStatus::SizeMismatch},
        {"stored sizes disagree", test::MakeZip({{.name = "a.nes", .data = game, .method = 0, .size = 4000}}),
         ZipStatus::SizeMismatch},
        {"deflate stream cut short",
         test::MakeZip({{.name = "a.nes", .data = game, .packed = Cut(test::Deflate(game), 100)}}), ZipStatus::Damaged},
        {"bzip2", test::MakeZip({{.name = "a.nes", .data = game, .method = 12}}), ZipStatus::UnsupportedMethod},
        {"encrypted", test::MakeZip({{.name = "a.nes", .data = game, .method = 0, .flags = 0x0001}}),
         ZipStatus::Encrypted},
        {"AES", test::MakeZip({{.name = "a.nes", .data = game, .method = 99}}), ZipStatus::Encrypted},
        {"a whole cartridge",
         test::MakeZip({{.name = "a.nes", .packed = test::DeflatedZeros(32), .size = limit, .crc = zerosCrc}}),
         ZipStatus::Ok},
        {"one byte more than a cartridge",
         test::MakeZip({{.name = "a.nes", .packed = test::DeflatedZeros(32), .size = limit + 1, .crc = zerosCrc}}),
         ZipStatus::TooLarge},
        {"bomb declaring 4 GiB",
         test::MakeZip({{.name = "a.nes", .packed = test::DeflatedZeros(1), .size = 4 * gibibyte, .crc = 0}},
                       {.zip64 = true}),
         ZipStatus::TooLarge},
        // Inflating stops one byte past the declared size instead of running through 4 GiB.
        {"bomb holding 4 GiB",
         test::MakeZip({{.name = "a.nes", .packed = test::DeflatedZeros(4096), .size = limit, .crc = zerosCrc}}),
         ZipStatus::SizeMismatch},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto stream = StreamOf(c.archive);
        const ZipDirectory directory = ReadZipDirectory(stream);
        ASSERT_EQ(directory.status, ZipStatus::Ok);
        ASSERT_EQ(directory.members.size(), 1u);
        std::uint64_t delivered = 0;
        const ZipStatus status = ReadZipMember(stream, directory.members[0], [&](std::span<const std::uint8_t> bytes) {
            delivered += bytes.size();
            return true;
        });
        EXPECT_EQ(status, c.status);
        EXPECT_LE(delivered, limit);
    }

    // Archives whose directory cannot be trusted give no members at all.
    const Bytes zip64 = test::MakeZip({{.name = "a.nes", .data = game}}, {.zip64 = true});
    const Bytes notZip = test::MakeNesImage(100);
    for (const Bytes& archive :
         {Cut(deflated, deflated.size() / 2), Cut(deflated, deflated.size() - 1),
          Flipped(zip64, zip64.size() - 22 - 20 + 8), Flipped(deflated, deflated.size() - 22 + 16), notZip, Bytes{}}) {
        auto stream = StreamOf(archive);
        const ZipDirectory directory = ReadZipDirectory(stream);
        EXPECT_EQ(directory.status, ZipStatus::Damaged) << archive.size();
        EXPECT_TRUE(directory.members.empty());
    }
}

TEST(ZipArchive, TheSinkCanStopTheReading) {
    const Bytes game = test::MakeNesImage(200000, 7);
    auto stream = StreamOf(test::MakeZip({{.name = "a.nes", .data = game}}));
    const ZipDirectory directory = ReadZipDirectory(stream);
    ASSERT_EQ(directory.members.size(), 1u);
    std::size_t calls = 0;
    EXPECT_EQ(ReadZipMember(stream, directory.members[0], [&](std::span<const std::uint8_t>) { return ++calls < 2; }),
              ZipStatus::Stopped);
    EXPECT_EQ(calls, 2u);
}

} // namespace
} // namespace brimble
