#include "builder/CompilationWriter.h"
#include "builder/RomHeader.h"
#include "catalogue/Paths.h"
#include "support/TestFiles.h"
#include "support/UnreliableStream.h"

#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace brimble {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::ReadFile;
using test::WriteFile;

std::uint32_t Le32(const Bytes& bytes, std::size_t offset) {
    return static_cast<std::uint32_t>(bytes[offset]) | static_cast<std::uint32_t>(bytes[offset + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[offset + 2]) << 16 | static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

std::size_t Padded(std::size_t size) {
    return (size + 3) & ~std::size_t{3};
}

Bytes ZeroFilled(Bytes bytes, std::size_t size) {
    bytes.resize(size, 0);
    return bytes;
}

// Bytes padded with zeros to a multiple of 4, as the image stores a file.
Bytes PaddedBytes(const Bytes& bytes) {
    return ZeroFilled(bytes, Padded(bytes.size()));
}

Bytes Slice(const Bytes& bytes, std::size_t offset, std::size_t count) {
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                 bytes.begin() + static_cast<std::ptrdiff_t>(offset + count));
}

Bytes Serialized(const RomHeader& header) {
    const auto bytes = header.Serialize();
    return Bytes(bytes.begin(), bytes.end());
}

// One ROM record as found in an image.
struct Record {
    std::size_t offset = 0;
    std::string title;
    std::uint32_t length = 0;
    std::uint32_t flags = 0;
    std::int32_t follow = 0;
    std::uint32_t reserved = 0;
    Bytes rom;
};

// Walks the records from offset to the end of the image. Fails the test when a record runs
// past the end, so a wrong length field cannot go unnoticed.
std::vector<Record> ParseRecords(const Bytes& image, std::size_t offset) {
    std::vector<Record> records;
    while (offset < image.size()) {
        if (offset + kRomHeaderSize > image.size()) {
            ADD_FAILURE() << "header at " << offset << " runs past the end";
            break;
        }
        Record record;
        record.offset = offset;
        for (std::size_t i = 0; i < 32 && image[offset + i] != 0; ++i)
            record.title += static_cast<char>(image[offset + i]);
        record.length = Le32(image, offset + 32);
        record.flags = Le32(image, offset + 36);
        record.follow = static_cast<std::int32_t>(Le32(image, offset + 40));
        record.reserved = Le32(image, offset + 44);
        offset += kRomHeaderSize;
        if (offset + record.length > image.size()) {
            ADD_FAILURE() << "ROM at " << offset << " of " << record.length << " bytes runs past the end";
            break;
        }
        record.rom = Slice(image, offset, record.length);
        offset += record.length;
        records.push_back(std::move(record));
    }
    return records;
}

std::vector<std::string> Titles(const std::vector<Record>& records) {
    std::vector<std::string> titles;
    for (const Record& record : records)
        titles.push_back(record.title);
    return titles;
}

TEST(BuilderHeader, TitleThenLittleEndianFieldsAndALongTitleKeepsItsNul) {
    RomHeader header;
    header.title = "Abc";
    header.romLength = 0x01020304;
    header.flags = 0x25;
    header.follow = -2;
    Bytes bytes = Serialized(header);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 32), std::string("Abc") + std::string(29, '\0'));
    EXPECT_EQ(Le32(bytes, 32), 0x01020304u);
    EXPECT_EQ(Le32(bytes, 36), 0x25u);
    EXPECT_EQ(Le32(bytes, 40), 0xFFFFFFFEu);
    EXPECT_EQ(Le32(bytes, 44), 0u);

    header.title = std::string(40, 'x');
    bytes = Serialized(header);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 32), std::string(31, 'x') + '\0');
}

TEST(BuilderHeader, FormatHeaderTitleNumbersMarksAndCutsTo31) {
    const std::string k31 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcde";
    const std::string k30 = k31.substr(0, 30);
    const struct {
        std::string title;
        std::uint32_t size;
        std::size_t position;
        bool autonumber;
        bool flag190k;
        std::string expected;
    } cases[] = {
        {"Game", 195584, 0, false, true, "Game*"}, // the bound itself is marked
        {"Game", 195588, 0, false, true, "Game"},
        {"Game", 64, 0, false, false, "Game"}, // switch off: never marked
        {"Game", 195584, 2, true, true, "3* Game"},
        {"Game", 195588, 2, true, true, "3. Game"},
        {"Game", 64, 9, true, false, "10. Game"},
        {k31, 64, 0, true, false, "1. " + k31.substr(0, 28)},
        {k31, 64, 0, false, true, k31}, // the cut comes after the marker
        {k30, 64, 0, false, true, k30 + "*"},
        {"Big", 0x80000000u, 0, false, true, "Big*"}, // signed: 2 GiB or more reads as negative
        {std::string("Ab\0cd", 5), 64, 0, false, true, "Ab*"},
    };
    for (const auto& c : cases) {
        RomEntry entry;
        entry.title = c.title;
        entry.size = c.size;
        EXPECT_EQ(FormatHeaderTitle(entry, c.position, c.autonumber, c.flag190k), c.expected) << c.title;
    }
}

class BuilderWriterTest : public ::testing::Test {
protected:
    test::TempDir m_dir;
    fs::path m_emulator = m_dir / "Vantaro.GBA";
    fs::path m_output = m_dir / "out.gba";
    fs::path m_saved = m_dir / "saved.txt";
    Bytes m_emulatorBytes = test::PatternBytes(1001, 7);

    void SetUp() override { WriteFile(m_emulator, m_emulatorBytes); }

    // A ROM file in the test folder and the entry that adding it would make.
    RomEntry MakeRom(const std::string& name, std::size_t romBytes, std::uint32_t seed, const std::string& title) {
        const Bytes file = test::WriteNesFile(m_dir / name, romBytes, seed);
        RomEntry entry;
        entry.directory = m_dir.Path();
        entry.fileName = name;
        entry.title = title;
        entry.flags = seed;
        entry.follow = -static_cast<std::int32_t>(seed);
        entry.size = static_cast<std::uint32_t>(Padded(file.size()) + kRomHeaderSize);
        entry.crc = 0xC0DE0000u + seed;
        return entry;
    }

    CompilationJob Job(std::vector<RomEntry> entries = {}) {
        CompilationJob job;
        job.output = m_output;
        job.emulatorPath = m_emulator;
        job.entries = std::move(entries);
        return job;
    }

    CompilationResult Build(const CompilationJob& job, const CompilationHooks& hooks = {}) {
        std::ifstream emulator(m_emulator, std::ios::binary);
        return WriteCompilation(job, emulator, hooks);
    }

    std::size_t EmulatorPart() const { return Padded(m_emulatorBytes.size()); }
};

TEST_F(BuilderWriterTest, CopyPaddedCopiesTheWholeSourceThenFillsToFourAndReportsReadErrors) {
    // Lengths with each remainder, and around the copy chunk sizes.
    for (std::size_t size : {0u, 3u, 4u, 5u, 65535u, 65536u, 65537u, 200003u}) {
        SCOPED_TRACE(size);
        const Bytes source = test::PatternBytes(size, static_cast<std::uint32_t>(size));
        WriteFile(m_dir / "source.bin", source);
        std::ifstream in(m_dir / "source.bin", std::ios::binary);
        in.seekg(0, std::ios::end); // left at the end, as a size measurement leaves it
        auto out = AtomicFile::Create(m_dir / "copy.bin");
        ASSERT_TRUE(out);
        ASSERT_TRUE(CopyPadded(*out, in));
        EXPECT_EQ(out->Size(), Padded(size));
        ASSERT_TRUE(out->Commit());
        EXPECT_EQ(ReadFile(m_dir / "copy.bin"), PaddedBytes(source));
    }
    test::UnreliableBuffer failing(std::string(200, 'e'), 200, 100);
    std::istream in(&failing);
    auto out = AtomicFile::Create(m_dir / "copy.bin");
    ASSERT_TRUE(out);
    EXPECT_FALSE(CopyPadded(*out, in));
}

TEST_F(BuilderWriterTest, RecordsCarryTheHeaderFieldsAndFollowOneAnother) {
    const std::vector<RomEntry> entries = {MakeRom("a.nes", 16368, 1, "Alpha"), MakeRom("b.nes", 1, 2, "Beta"),
                                           MakeRom("c.nes", 40961, 3, "Gamma"), MakeRom("d.nes", 2, 4, "Delta")};
    // No saved-list path: an existing saved list is not touched.
    WriteFile(m_saved, "kept\r\n");
    std::vector<std::pair<std::size_t, std::uint64_t>> progress;
    CompilationHooks hooks;
    hooks.progress = [&](std::size_t position, std::uint64_t bytes) { progress.emplace_back(position, bytes); };

    const CompilationResult result = Build(Job(entries), hooks);
    ASSERT_EQ(result.outcome, WriteOutcome::ImageWritten);
    const Bytes image = ReadFile(m_output);
    EXPECT_EQ(result.imageSize, image.size());
    EXPECT_EQ(Slice(image, 0, EmulatorPart()), PaddedBytes(m_emulatorBytes));
    EXPECT_EQ(test::ReadText(m_saved), "kept\r\n");
    const std::vector<Record> records = ParseRecords(image, EmulatorPart());
    ASSERT_EQ(records.size(), entries.size());
    ASSERT_EQ(result.written.size(), entries.size());
    ASSERT_EQ(progress.size(), entries.size() + 1);
    std::uint64_t offset = EmulatorPart();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(i);
        const Bytes file = ReadFile(entries[i].FullPath());
        EXPECT_EQ(records[i].offset, offset);
        EXPECT_EQ(records[i].title, entries[i].title);
        EXPECT_EQ(records[i].length, Padded(file.size()));
        EXPECT_EQ(records[i].flags, entries[i].flags);
        EXPECT_EQ(records[i].follow, entries[i].follow);
        EXPECT_EQ(records[i].reserved, 0u);
        EXPECT_EQ(records[i].rom, PaddedBytes(file));
        EXPECT_EQ(result.written[i].position, i);
        EXPECT_EQ(result.written[i].headerTitle, entries[i].title);
        EXPECT_EQ(result.written[i].crc, entries[i].crc);
        EXPECT_EQ(result.written[i].romLength, records[i].length);
        EXPECT_EQ(progress[i], std::make_pair(i, offset));
        offset += kRomHeaderSize + records[i].length;
    }
    EXPECT_EQ(progress.back(), std::make_pair(entries.size(), std::uint64_t{image.size()}));
}

TEST_F(BuilderWriterTest, RomLengthAndSmallRomMarkAreMeasuredOnTheFileAtBuildTime) {
    // A padded file size of 195,536 gives the entry size 195,584: the bound, marked.
    const RomEntry at = MakeRom("at.nes", 195536 - 16, 1, "At");
    // Added small, then grown past the bound: its header must give the bytes that follow.
    const RomEntry grown = MakeRom("grown.nes", 100, 2, "Grown");
    const Bytes bigger = test::WriteNesFile(m_dir / "grown.nes", 195540 - 16, 9);
    CompilationJob job = Job({at, grown, MakeRom("next.nes", 50, 3, "Next")});
    job.flag190k = true;
    job.autonumber = true;
    const CompilationResult result = Build(job);
    ASSERT_EQ(result.outcome, WriteOutcome::ImageWritten);
    const std::vector<Record> records = ParseRecords(ReadFile(m_output), EmulatorPart());
    EXPECT_EQ(Titles(records), (std::vector<std::string>{"1* At", "2. Grown", "3* Next"}));
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[1].length, 195540u);
    EXPECT_EQ(records[1].rom, bigger);
    ASSERT_EQ(result.written.size(), 3u);
    EXPECT_EQ(result.written[1].romLength, 195540u);
}

TEST_F(BuilderWriterTest, SplashIsTakenOnlyWhenItsPaddedSizeIsOneScreen) {
    fs::create_directory(m_dir / "folder.raw");
    const struct {
        const char* name; // empty: no path given
        int size;         // below 0: no such file is written
        bool taken;
        bool warned;
    } cases[] = {
        {"s.raw", 76796, false, true}, {"s.raw", 76797, true, false},     {"s.raw", 76800, true, false},
        {"s.raw", 76801, false, true}, {"missing.raw", -1, false, false}, {"folder.raw", -1, false, false},
        {"", -1, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.size));
        const fs::path path = *c.name ? m_dir / c.name : fs::path();
        const Bytes splash = test::PatternBytes(c.size < 0 ? 0 : static_cast<std::size_t>(c.size), 5);
        if (c.size >= 0)
            WriteFile(path, splash);
        CompilationJob job = Job({MakeRom("a.nes", 8, 1, "A")});
        job.splash = path;
        std::vector<std::string> warnings;
        CompilationHooks hooks;
        hooks.warning = [&](std::string_view text) { warnings.emplace_back(text); };

        const CompilationResult result = Build(job, hooks);
        ASSERT_EQ(result.outcome, WriteOutcome::ImageWritten);
        EXPECT_EQ(result.splashLeftOut.has_value(), !c.taken);
        const Bytes image = ReadFile(m_output);
        EXPECT_EQ(warnings, c.warned ? std::vector<std::string>{"Skipping splash screen.\n(wrong format)"}
                                     : std::vector<std::string>{});
        if (c.taken) {
            EXPECT_EQ(Slice(image, EmulatorPart(), kSplashSize), ZeroFilled(splash, kSplashSize));
        }
        EXPECT_EQ(Titles(ParseRecords(image, EmulatorPart() + (c.taken ? kSplashSize : 0))),
                  std::vector<std::string>{"A"});
        const SplashData loaded = LoadRawSplash(path);
        EXPECT_EQ(loaded.status, c.taken    ? SplashData::Status::Ready
                                 : c.warned ? SplashData::Status::WrongFormat
                                            : SplashData::Status::Absent);
        if (c.warned) {
            EXPECT_NE(loaded.reason.find(std::to_string(Padded(splash.size()))), std::string::npos) << loaded.reason;
        }
    }
}

TEST_F(BuilderWriterTest, SplashLoaderHookIsUsed) {
    const Bytes picture = test::PatternBytes(kSplashSize, 11);
    std::vector<fs::path> asked;
    CompilationHooks hooks;
    hooks.splashLoader = [&](const fs::path& path) {
        asked.push_back(path);
        return SplashData{SplashData::Status::Ready, picture, {}};
    };
    CompilationJob job = Job();
    job.splash = m_dir / "picture.png";
    ASSERT_EQ(Build(job, hooks).outcome, WriteOutcome::ImageWritten);
    EXPECT_EQ(asked, std::vector<fs::path>{m_dir / "picture.png"});
    const Bytes image = ReadFile(m_output);
    ASSERT_EQ(image.size(), EmulatorPart() + kSplashSize);
    EXPECT_EQ(Slice(image, EmulatorPart(), kSplashSize), picture);
}

TEST_F(BuilderWriterTest, MissingRomKeepsItsNumberAndItsSavedListLineIsLeftOut) {
    const std::vector<RomEntry> entries = {MakeRom("a.nes", 10, 1, "Alpha"), MakeRom("b.nes", 10, 2, "Beta"),
                                           MakeRom("c.nes", 10, 3, "Gamma")};
    fs::remove(entries[1].FullPath());
    CompilationJob job = Job(entries);
    job.autonumber = true;
    job.savedList = m_saved;
    const CompilationResult result = Build(job);
    ASSERT_EQ(result.outcome, WriteOutcome::ImageWritten);
    EXPECT_EQ(Titles(ParseRecords(ReadFile(m_output), EmulatorPart())),
              (std::vector<std::string>{"1. Alpha", "3. Gamma"}));
    ASSERT_EQ(result.written.size(), 2u);
    EXPECT_EQ(result.written[1].position, 2u);
    EXPECT_EQ(test::ReadText(m_saved),
              PathToStoredText(entries[0].FullPath()) + "\r\n" + PathToStoredText(entries[2].FullPath()) + "\r\n");
}

TEST_F(BuilderWriterTest, NoRomOpenableGivesTheEmulatorImageAnEmptySavedListAndEachReason) {
    RomEntry missing = MakeRom("gone.nes", 10, 1, "Gone");
    fs::remove(missing.FullPath());
    RomEntry folder = missing;
    folder.fileName = "folder.nes";
    fs::create_directory(folder.FullPath());
    WriteFile(m_saved, "old line\r\n");
    CompilationJob job = Job({missing, folder});
    job.savedList = m_saved;
    const CompilationResult result = Build(job);
    ASSERT_EQ(result.outcome, WriteOutcome::ImageWritten);
    EXPECT_TRUE(result.written.empty());
    ASSERT_EQ(result.leftOut.size(), 2u);
    EXPECT_EQ(result.leftOut[0].path, missing.FullPath());
    EXPECT_EQ(result.leftOut[0].problem, "cannot be opened (No such file or directory)");
    EXPECT_EQ(result.leftOut[1].position, 1u);
    EXPECT_EQ(result.leftOut[1].problem, "is a folder");
    EXPECT_EQ(ReadFile(m_output), PaddedBytes(m_emulatorBytes));
    EXPECT_EQ(test::ReadText(m_saved), "");
}

TEST_F(BuilderWriterTest, SavedListThatCannotBeWrittenOrNamesAFileOfTheBuildDoesNotStopTheImage) {
    const RomEntry rom = MakeRom("a.nes", 10, 1, "A");
    const Bytes romBytes = ReadFile(rom.FullPath());
    for (const fs::path& saved : {m_dir / "no-such-folder" / "saved.txt", m_output, rom.FullPath()}) {
        SCOPED_TRACE(saved.string());
        CompilationJob job = Job({rom});
        job.savedList = saved;
        const CompilationResult result = Build(job);
        EXPECT_EQ(result.outcome, WriteOutcome::ImageWritten);
        EXPECT_NE(result.savedListError.message(), "");
        EXPECT_EQ(Titles(ParseRecords(ReadFile(m_output), EmulatorPart())), std::vector<std::string>{"A"});
        EXPECT_EQ(ReadFile(rom.FullPath()), romBytes);
    }
    EXPECT_FALSE(fs::exists(m_dir / "no-such-folder"));
}

TEST_F(BuilderWriterTest, ReadFailureKeepsTheExistingOutputAndSavedList) {
    WriteFile(m_output, test::PatternBytes(500, 99));
    WriteFile(m_saved, "old\r\n");
    CompilationJob job = Job({MakeRom("a.nes", 10, 1, "A")});
    job.savedList = m_saved;
    const auto before = test::FileNames(m_dir.Path());
    test::UnreliableBuffer failing(std::string(200000, 'e'), 200000, 70000);
    std::istream emulator(&failing);
    const CompilationResult result = WriteCompilation(job, emulator, {});
    EXPECT_EQ(result.outcome, WriteOutcome::OutputUnwritable);
    EXPECT_TRUE(result.written.empty());
    EXPECT_EQ(ReadFile(m_output), test::PatternBytes(500, 99));
    EXPECT_EQ(test::ReadText(m_saved), "old\r\n");
    EXPECT_EQ(test::FileNames(m_dir.Path()), before); // no temporary file left behind
}

TEST_F(BuilderWriterTest, SavedListFollowsOnlyACommittedImage) {
    WriteFile(m_saved, "old\r\n");
    CompilationJob job = Job({MakeRom("a.nes", 10, 1, "A")});
    job.savedList = m_saved;
    auto before = test::FileNames(m_dir.Path());
    // Once everything is written, a folder takes the output's place so that the image cannot
    // be put there.
    CompilationHooks hooks;
    hooks.progress = [&](std::size_t position, std::uint64_t) {
        if (position == job.entries.size()) {
            fs::create_directory(m_output);
            WriteFile(m_output / "inside", "x");
        }
    };
    EXPECT_EQ(Build(job, hooks).outcome, WriteOutcome::OutputUnwritable);
    EXPECT_EQ(test::ReadText(m_saved), "old\r\n");
    before.insert("out.gba");
    EXPECT_EQ(test::FileNames(m_dir.Path()), before);
}

TEST_F(BuilderWriterTest, OutputThatIsAnInputOrCannotBeCreatedIsRefusedBeforeWriting) {
    const RomEntry rom = MakeRom("a.nes", 10, 1, "A");
    const Bytes splash = test::PatternBytes(kSplashSize, 4);
    WriteFile(m_dir / "splash.raw", splash);
    fs::create_directory(m_dir / "sub");
    fs::create_directory(m_dir / "folder.gba");
    fs::create_hard_link(m_emulator, m_dir / "linked.gba");
    WriteFile(m_saved, "old\r\n");
    const auto before = test::FileNames(m_dir.Path());

    for (const fs::path& output :
         {m_emulator, rom.FullPath(), m_dir / "splash.raw", m_dir / "sub" / ".." / "Vantaro.GBA", m_dir / "linked.gba",
          m_dir / "missing" / "out.gba", m_dir / "folder.gba", fs::path()}) {
        SCOPED_TRACE(output.string());
        CompilationJob job = Job({rom});
        job.output = output;
        job.splash = m_dir / "splash.raw";
        job.savedList = m_saved;
        int calls = 0;
        CompilationHooks hooks;
        hooks.warning = [&](std::string_view) { ++calls; };
        hooks.progress = [&](std::size_t, std::uint64_t) { ++calls; };

        const CompilationResult result = Build(job, hooks);
        EXPECT_EQ(result.outcome, WriteOutcome::OutputUnwritable);
        EXPECT_TRUE(result.outputError);
        EXPECT_EQ(calls, 0);
        EXPECT_EQ(ReadFile(m_emulator), m_emulatorBytes);
        EXPECT_EQ(ReadFile(rom.FullPath()), test::MakeNesImage(10, 1));
        EXPECT_EQ(ReadFile(m_dir / "splash.raw"), splash);
        EXPECT_EQ(test::ReadText(m_saved), "old\r\n");
        EXPECT_EQ(test::FileNames(m_dir.Path()), before);
        EXPECT_TRUE(fs::is_empty(m_dir / "folder.gba"));
    }
}

} // namespace
} // namespace brimble
