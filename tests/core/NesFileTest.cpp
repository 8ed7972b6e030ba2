#include "catalogue/NesFile.h"

#include "catalogue/Crc32.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <streambuf>
#include <string>

namespace brimble {
namespace {

using namespace std::string_literals;

std::istringstream StreamOf(const test::Bytes& bytes) {
    return std::istringstream(std::string(bytes.begin(), bytes.end()), std::ios::binary);
}

// Serves the given bytes but claims another size and, optionally, fails at a position the
// way a disk read error reaches a stream (the buffer throws, the stream sets badbit).
class UnreliableBuffer : public std::streambuf {
public:
    UnreliableBuffer(std::string data, std::uint64_t claimedSize, std::size_t failAt)
        : m_data(std::move(data)), m_claimedSize(claimedSize), m_failAt(failAt) {
        SetPosition(0);
    }

protected:
    int_type underflow() override {
        const auto at = static_cast<std::size_t>(gptr() - eback());
        if (at >= m_failAt)
            throw std::runtime_error("read error");
        return at < m_data.size() ? traits_type::to_int_type(m_data[at]) : traits_type::eof();
    }

    pos_type seekoff(off_type offset, std::ios::seekdir dir, std::ios::openmode) override {
        std::int64_t base = 0;
        if (dir == std::ios::cur)
            base = m_beyondData ? static_cast<std::int64_t>(*m_beyondData) : gptr() - eback();
        else if (dir == std::ios::end)
            base = static_cast<std::int64_t>(m_claimedSize);
        const std::int64_t target = base + offset;
        if (target < 0)
            return pos_type(off_type(-1));
        SetPosition(static_cast<std::uint64_t>(target));
        return pos_type(static_cast<off_type>(target));
    }

    pos_type seekpos(pos_type position, std::ios::openmode which) override {
        return seekoff(off_type(position), std::ios::beg, which);
    }

private:
    void SetPosition(std::uint64_t position) {
        char* begin = m_data.data();
        const std::size_t readable = std::min(m_data.size(), m_failAt);
        const auto at = static_cast<std::size_t>(std::min<std::uint64_t>(position, readable));
        setg(begin, begin + at, begin + readable);
        // A position past what can be read (the claimed end) is remembered for tellg.
        m_beyondData = position > readable ? std::optional(position) : std::nullopt;
    }

    std::string m_data;
    std::uint64_t m_claimedSize;
    std::size_t m_failAt;
    std::optional<std::uint64_t> m_beyondData;
};

TEST(NesFile, SignatureIsTheFourExactBytes) {
    const struct {
        std::string bytes;
        bool nes;
    } cases[] = {
        {"", false},           {"N", false},         {"NE", false},
        {"NES", false},        {"NES\x1A"s, true},   {"NES\x1A\x02\x01"s, true},
        {"nes\x1A"s, false},   {"NES\x1B"s, false},  {"NES\0"s, false},
        {"\0NES\x1A"s, false}, {"XNES\x1A"s, false},
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

TEST(NesFile, CrcCoversOnlyTheBytesAfterTheHeader) {
    test::Bytes image{'N', 'E', 'S', 0x1A, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    const std::string check = "123456789";
    image.insert(image.end(), check.begin(), check.end());
    auto stream = StreamOf(image);
    EXPECT_EQ(ComputeRomCrc(stream), 0xCBF43926u);

    // Another header, same ROM data: same CRC.
    image[4] = 0xFF;
    image[15] = 0x55;
    auto changed = StreamOf(image);
    EXPECT_EQ(ComputeRomCrc(changed), 0xCBF43926u);
}

TEST(NesFile, CrcOfFilesUpToTheHeaderIsZero) {
    for (std::size_t length = 0; length <= 16; ++length) {
        test::Bytes bytes = test::MakeNesImage(0, 1);
        bytes.resize(length);
        auto stream = StreamOf(bytes);
        EXPECT_EQ(ComputeRomCrc(stream), 0u) << "length " << length;
    }
}

TEST(NesFile, CrcAcrossManyReadBlocksMatchesTheWholeBuffer) {
    // Sizes around the 64 KiB read block and a few blocks long.
    for (const std::size_t romBytes : {65535u, 65536u, 65537u, 65536u - 16u, 3u * 65536u + 5u}) {
        const test::Bytes image = test::MakeNesImage(romBytes, static_cast<std::uint32_t>(romBytes));
        auto stream = StreamOf(image);
        const std::span<const std::uint8_t> rom = std::span(image).subspan(16);
        EXPECT_EQ(ComputeRomCrc(stream), Crc32Finish(Crc32UpdateReference(kCrc32Initial, rom))) << romBytes;
    }
}

TEST(NesFile, PaddedFileSizeRoundsUpToFourAndLeavesTheStreamAtTheEnd) {
    const struct {
        std::size_t size;
        std::uint64_t padded;
    } cases[] = {{0, 0}, {1, 4}, {3, 4}, {4, 4}, {5, 8}, {16, 16}, {17, 20}, {40977, 40980}, {24592, 24592}};
    for (const auto& [size, padded] : cases) {
        auto stream = StreamOf(test::PatternBytes(size, 9));
        EXPECT_EQ(PaddedFileSize(stream), padded) << "size " << size;
        EXPECT_EQ(static_cast<std::uint64_t>(stream.tellg()), size);
    }
}

TEST(NesFile, InspectRomOfFilesOnDisk) {
    test::TempDir dir;
    test::WriteFile(dir / "empty.nes", std::string_view(""));
    test::WriteFile(dir / "one.nes", std::string_view("N"));
    test::WriteFile(dir / "two.nes", std::string_view("NE"));
    test::WriteFile(dir / "three.nes", std::string_view("NES"));
    test::WriteFile(dir / "text.nes", std::string_view("This is not an iNES file at all"));
    test::WriteFile(dir / "lower.nes", std::string_view("nes\x1A"
                                                        "0123456789ab"));
    test::WriteFile(dir / "ten.nes", std::string_view("NES\x1A"
                                                      "012345"));
    test::WriteNesFile(dir / "sixteen.nes", 0);
    const test::Bytes odd = test::WriteNesFile(dir / "odd.nes", 40977 - 16, 11);
    std::filesystem::create_directory(dir / "folder.nes");

    const struct {
        const char* name;
        RomInspectionStatus status;
        std::uint32_t crc;
        std::uint32_t size;
    } cases[] = {
        {"missing.nes", RomInspectionStatus::CannotOpen, 0, 0},
        {"folder.nes", RomInspectionStatus::CannotOpen, 0, 0},
        {"empty.nes", RomInspectionStatus::NotNesFile, 0, 0},
        {"one.nes", RomInspectionStatus::NotNesFile, 0, 0},
        {"two.nes", RomInspectionStatus::NotNesFile, 0, 0},
        {"three.nes", RomInspectionStatus::NotNesFile, 0, 0},
        {"text.nes", RomInspectionStatus::NotNesFile, 0, 0},
        {"lower.nes", RomInspectionStatus::NotNesFile, 0, 0},
        // The signature without a whole header is taken, with nothing to sum.
        {"ten.nes", RomInspectionStatus::Accepted, 0, 12 + 48},
        {"sixteen.nes", RomInspectionStatus::Accepted, 0, 64},
        {"odd.nes", RomInspectionStatus::Accepted, Crc32(std::span(odd).subspan(16)), 41028},
    };
    for (const auto& expected : cases) {
        const RomInspection inspection = InspectRom(dir / expected.name);
        EXPECT_EQ(inspection.status, expected.status) << expected.name;
        if (expected.status == RomInspectionStatus::Accepted) {
            EXPECT_EQ(inspection.crc, expected.crc) << expected.name;
            EXPECT_EQ(inspection.size, expected.size) << expected.name;
        }
    }
}

TEST(NesFile, ReadErrorGivesNoCrc) {
    const test::Bytes image = test::MakeNesImage(200000, 12);
    const std::string data(image.begin(), image.end());
    UnreliableBuffer buffer(data, data.size(), 100000);
    std::istream stream(&buffer);
    EXPECT_TRUE(IsNesFile(stream));
    EXPECT_EQ(ComputeRomCrc(stream), std::nullopt);
    EXPECT_EQ(InspectRom(stream).status, RomInspectionStatus::ReadError);
}

TEST(NesFile, FileThatEndsBeforeItsSizeGivesNoCrc) {
    // The size says more than can be read: the CRC would cover only part of the game.
    const test::Bytes image = test::MakeNesImage(1000, 13);
    UnreliableBuffer buffer(std::string(image.begin(), image.end()), image.size() + 100, SIZE_MAX);
    std::istream stream(&buffer);
    EXPECT_EQ(ComputeRomCrc(stream), std::nullopt);
    EXPECT_EQ(InspectRom(stream).status, RomInspectionStatus::ReadError);
}

TEST(NesFile, UnreliableBufferServesWholeFilesFaithfully) {
    // The test buffer itself, when it neither fails nor lies, gives the plain answers.
    const test::Bytes image = test::MakeNesImage(70000, 14);
    UnreliableBuffer buffer(std::string(image.begin(), image.end()), image.size(), SIZE_MAX);
    std::istream stream(&buffer);
    const RomInspection inspection = InspectRom(stream);
    EXPECT_EQ(inspection.status, RomInspectionStatus::Accepted);
    EXPECT_EQ(inspection.crc, Crc32(std::span(image).subspan(16)));
    EXPECT_EQ(inspection.size, 70016u + 48u);
}

TEST(NesFile, EntrySizeThatWouldPassFourGigabytesIsTooLarge) {
    const test::Bytes image = test::MakeNesImage(100, 15);
    const std::string data(image.begin(), image.end());
    // 0xFFFFFFCC + 48 is the largest size that fits; the next padded size wraps.
    UnreliableBuffer largest(data, 0xFFFFFFCCu, SIZE_MAX);
    std::istream fits(&largest);
    EXPECT_EQ(InspectRom(fits).status, RomInspectionStatus::ReadError);

    for (const std::uint64_t size : {0xFFFFFFCDull, 0xFFFFFFD0ull, 0xFFFFFFFFull, 0x100000000ull, 0x500000000ull}) {
        UnreliableBuffer buffer(data, size, SIZE_MAX);
        std::istream stream(&buffer);
        const RomInspection inspection = InspectRom(stream);
        EXPECT_EQ(inspection.status, RomInspectionStatus::TooLarge) << size;
        EXPECT_EQ(inspection.size, 0u);
    }
}

} // namespace
} // namespace brimble
