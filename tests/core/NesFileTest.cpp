#include "catalogue/NesFile.h"

#include "catalogue/Crc32.h"
#include "catalogue/RomSource.h"
#include "support/TestFiles.h"
#include "support/UnreliableStream.h"

#include <gtest/gtest.h>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace brimble {
namespace {

using namespace std::string_literals;

std::istringstream StreamOf(const test::Bytes& bytes) {
    return std::istringstream(std::string(bytes.begin(), bytes.end()), std::ios::binary);
}

std::span<const std::uint8_t> BytesOf(const std::string& text) {
    return std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

TEST(Crc32, KnownValuesWholeAndFoldedInPieces) {
    const struct {
        std::string text;
        std::uint32_t crc;
    } cases[] = {
        {"", 0x00000000u},
        {"123456789", 0xCBF43926u},
        {"abcdefghijklmnopqrstuvwxyz", 0x4C2750BDu},
        {std::string(32, '\0'), 0x190A55ADu},
        {std::string(32, '\xFF'), 0xFF6CAB0Bu},
    };
    for (const auto& [text, crc] : cases) {
        EXPECT_EQ(Crc32(BytesOf(text)), crc) << text;
        // The state between updates carries over: any cut gives the same CRC.
        const auto bytes = BytesOf(text);
        for (std::size_t cut = 0; cut <= bytes.size(); cut += 5)
            EXPECT_EQ(Crc32Finish(Crc32Update(Crc32Update(kCrc32Initial, bytes.first(cut)), bytes.subspan(cut))), crc)
                << text << " cut " << cut;
    }
}

TEST(NesFile, SignatureIsTheFourExactBytes) {
    const struct {
        std::string bytes;
        bool nes;
    } cases[] = {
        {"", false},         {"NES", false},      {"NES\x1A"s, true}, {"NES\x1A\x02\x01"s, true},
        {"nes\x1A"s, false}, {"NES\x1B"s, false}, {"NES\0"s, false},  {"XNES\x1A"s, false},
    };
    for (const auto& [bytes, nes] : cases) {
        std::istringstream stream(bytes, std::ios::binary);
        EXPECT_EQ(IsNesFile(stream), nes) << "bytes: " << bytes;
    }
}

TEST(NesFile, EachStreamOperationPositionsTheStreamItself) {
    const test::Bytes image = test::MakeNesImage(5000, 2);
    auto stream = StreamOf(image);
    // Leave the stream at its end in a failed state; each operation must still see the whole file.
    std::string rest((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
    stream.get();
    ASSERT_TRUE(stream.fail());
    EXPECT_TRUE(IsNesFile(stream));
    const auto crc = ComputeRomCrc(stream);
    ASSERT_TRUE(crc);
    EXPECT_EQ(*crc, Crc32(std::span(image).subspan(16)));
    EXPECT_EQ(ComputeRomCrc(stream), crc);
    EXPECT_TRUE(IsNesFile(stream));
    EXPECT_EQ(PaddedFileSize(stream), 5016u);
    EXPECT_EQ(ComputeRomCrc(stream), crc);
}

TEST(NesFile, CrcOfRomsAroundAndAcrossTheReadBlock) {
    // Sizes around the 64 KiB read block and a few blocks long.
    for (const std::size_t romBytes : {65535u, 65536u, 65537u, 3u * 65536u + 5u}) {
        const test::Bytes big = test::MakeNesImage(romBytes, static_cast<std::uint32_t>(romBytes));
        auto bigStream = StreamOf(big);
        const auto rom = std::span(big).subspan(16);
        EXPECT_EQ(ComputeRomCrc(bigStream), Crc32(rom)) << romBytes;
    }
}

TEST(NesFile, PaddedFileSizeRoundsUpToFourAndLeavesTheStreamAtTheEnd) {
    const struct {
        std::size_t size;
        std::uint64_t padded;
    } cases[] = {{0, 0}, {1, 4}, {3, 4}, {4, 4}, {5, 8}, {40977, 40980}};
    for (const auto& [size, padded] : cases) {
        auto stream = StreamOf(test::PatternBytes(size, 9));
        EXPECT_EQ(PaddedFileSize(stream), padded) << "size " << size;
        EXPECT_EQ(static_cast<std::uint64_t>(stream.tellg()), size);
    }
}

TEST(NesFile, InspectRomOfFilesOnDisk) {
    test::TempDir dir;
    std::filesystem::create_directory(dir / "folder.nes");
    const auto text = [](const test::Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); };
    const test::Bytes odd = test::MakeNesImage(40977 - 16, 11);
    using enum RomInspectionStatus;
    const struct {
        const char* name;
        std::optional<std::string> bytes; // nothing: no file of that name is written
        RomInspectionStatus status;
        std::uint32_t crc;
        std::uint32_t size;
    } cases[] = {
        {"missing.nes", std::nullopt, CannotOpen, 0, 0},
        {"folder.nes", std::nullopt, CannotOpen, 0, 0},
        {"empty.nes", "", NotNesFile, 0, 0},
        {"three.nes", "NES", NotNesFile, 0, 0},
        {"text.nes", "This is not an iNES file at all", NotNesFile, 0, 0},
        // The signature without a whole header is taken, with nothing to sum.
        {"ten.nes",
         "NES\x1A"
         "012345",
         Accepted, 0, 12 + 48},
        {"sixteen.nes", text(test::MakeNesImage(0)), Accepted, 0, 64},
        {"odd.nes", text(odd), Accepted, Crc32(std::span(odd).subspan(16)), 41028},
    };
    for (const auto& c : cases) {
        if (c.bytes)
            test::WriteFile(dir / c.name, *c.bytes);
        const RomInspection inspection = InspectRom(dir / c.name);
        EXPECT_EQ(inspection.status, c.status) << c.name;
        EXPECT_EQ(inspection.crc, c.crc) << c.name;
        EXPECT_EQ(inspection.size, c.size) << c.name;
    }
}

TEST(NesFile, ReadErrorShortFileAndSizesPastFourGigabytesGiveNoEntry) {
    const test::Bytes image = test::MakeNesImage(200000, 12);
    const std::string data(image.begin(), image.end());
    const std::uint32_t crc = Crc32(std::span(image).subspan(16));
    const struct {
        std::uint64_t claimedSize;
        std::size_t failAt;
        RomInspectionStatus status;
    } cases[] = {
        {data.size(), SIZE_MAX, RomInspectionStatus::Accepted}, // the test stream itself is faithful
        {data.size(), 100000, RomInspectionStatus::ReadError},
        // The size says more than can be read: the CRC would cover only part of the game.
        {data.size() + 100, SIZE_MAX, RomInspectionStatus::ReadError},
        // 0xFFFFFFCC + 48 is the largest entry size that fits; the next padded size wraps.
        {0xFFFFFFCCu, SIZE_MAX, RomInspectionStatus::ReadError},
        {0xFFFFFFCDu, SIZE_MAX, RomInspectionStatus::TooLarge},
        {0x500000000u, SIZE_MAX, RomInspectionStatus::TooLarge},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.claimedSize);
        test::UnreliableBuffer buffer(data, c.claimedSize, c.failAt);
        std::istream stream(&buffer);
        const RomInspection inspection = InspectRom(stream);
        EXPECT_EQ(inspection.status, c.status);
        EXPECT_EQ(inspection.crc, c.status == RomInspectionStatus::Accepted ? crc : 0u);
        EXPECT_EQ(inspection.size, c.status == RomInspectionStatus::Accepted ? 200016u + 48u : 0u);
        if (c.status == RomInspectionStatus::ReadError) {
            EXPECT_EQ(ComputeRomCrc(stream), std::nullopt);
        }
    }
}

} // namespace
} // namespace brimble
