#include "catalogue/NesFile.h"

#include "catalogue/Crc32.h"
#include "catalogue/RomSource.h"
#include "core/UnreliableStream.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace brimble {
namespace {

using namespace std::string_literals;

TEST(Crc32, KnownValuesWholeAndFoldedInPieces) {
    const struct {
        std::string text;
        std::uint32_t crc;
    } cases[] = {
        {"", 0x00000000u},
        {"123456789", 0xCBF43926u},
        {std::string(32, '\0'), 0x190A55ADu},
    };
    for (const auto& [text, crc] : cases) {
        const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
        EXPECT_EQ(Crc32(bytes), crc) << text;
        // The state between updates carries over: any cut gives the same CRC.
        for (std::size_t cut = 0; cut <= bytes.size(); cut += 5)
            EXPECT_EQ(Crc32Finish(Crc32Update(Crc32Update(kCrc32Initial, bytes.first(cut)), bytes.subspan(cut))), crc)
                << text << " cut " << cut;
    }
}

// Each row is inspected as a stream, and a faithful one also as a file on disk. The stream is
// first left at its end in a failed state: each step must position it itself.
TEST(NesFile, InspectRomOfStreamsAndFiles) {
    test::TempDir dir;
    std::filesystem::create_directory(dir / "folder.nes");
    const auto image = [](std::size_t romBytes) {
        const test::Bytes bytes = test::MakeNesImage(romBytes);
        return std::string(bytes.begin(), bytes.end());
    };
    const std::string big = image(200000);
    using enum RomInspectionStatus;
    const struct {
        const char* name;                 // a file of the bytes, when they are faithful
        std::optional<std::string> bytes; // nothing: no such file
        std::uint64_t claimed;            // the size the stream gives; 0: its own
        std::size_t failAt;               // where reading fails
        RomInspectionStatus status;
        std::uint32_t crc;
        std::uint32_t size;
    } cases[] = {
        {"missing.nes", std::nullopt, 0, SIZE_MAX, CannotOpen, 0, 0},
        {"folder.nes", std::nullopt, 0, SIZE_MAX, CannotOpen, 0, 0},
        {"empty.nes", "", 0, SIZE_MAX, NotNesFile, 0, 0},
        {"three.nes", "NES", 0, SIZE_MAX, NotNesFile, 0, 0},
        {"lower.nes", "nes\x1A", 0, SIZE_MAX, NotNesFile, 0, 0},
        {"1b.nes", "NES\x1B"s, 0, SIZE_MAX, NotNesFile, 0, 0},
        {"late.nes", "XNES\x1A", 0, SIZE_MAX, NotNesFile, 0, 0},
        // The signature without a whole header is taken, with nothing to sum; sizes are padded to 4.
        {"four.nes", "NES\x1A", 0, SIZE_MAX, Accepted, 0, 4 + 48},
        {"seven.nes", "NES\x1A\x02\x01\x00"s, 0, SIZE_MAX, Accepted, 0, 8 + 48},
        {"sixteen.nes", image(0), 0, SIZE_MAX, Accepted, 0, 16 + 48},
        // Around the 64 KiB read block and a few blocks long.
        {"block-1.nes", image(65535), 0, SIZE_MAX, Accepted, test::RomCrc(65535), 65552 + 48},
        {"block.nes", image(65536), 0, SIZE_MAX, Accepted, test::RomCrc(65536), 65552 + 48},
        {"block+1.nes", image(65537), 0, SIZE_MAX, Accepted, test::RomCrc(65537), 65556 + 48},
        {"big.nes", big, 0, SIZE_MAX, Accepted, test::RomCrc(200000), 200016 + 48},
        {"", big, 0, 100000, ReadError, 0, 0},
        // The size says more than can be read: the CRC would cover only part of the game.
        {"", big, big.size() + 100, SIZE_MAX, ReadError, 0, 0},
        // 0xFFFFFFCC + 48 is the largest entry size that fits; the next padded size wraps.
        {"", big, 0xFFFFFFCCu, SIZE_MAX, ReadError, 0, 0},
        {"", big, 0xFFFFFFCDu, SIZE_MAX, TooLarge, 0, 0},
        {"", big, 0x500000000u, SIZE_MAX, TooLarge, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.claimed) + " " + std::to_string(c.failAt));
        const auto expect = [&c](const RomInspection& inspection) {
            EXPECT_EQ(inspection.status, c.status);
            EXPECT_EQ(inspection.crc, c.crc);
            EXPECT_EQ(inspection.size, c.size);
        };
        if (c.bytes) {
            test::UnreliableBuffer buffer(*c.bytes, c.claimed ? c.claimed : c.bytes->size(), c.failAt);
            std::istream stream(&buffer);
            stream.seekg(0, std::ios::end);
            stream.get();
            expect(InspectRom(stream));
        }
        if (*c.name && c.bytes)
            test::WriteFile(dir / c.name, *c.bytes);
        if (*c.name)
            expect(InspectRom(dir / c.name));
    }
}

} // namespace
} // namespace brimble
