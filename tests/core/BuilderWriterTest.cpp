#include "builder/CompilationWriter.h"
#include "builder/RomHeader.h"
#include "catalogue/Paths.h"
#include "support/GameFiles.h"
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
using test::Padded;
using test::ReadFile;
using test::ReadText;
using test::WriteFile;

Bytes PaddedBytes(Bytes bytes, std::size_t size = 0) {
    bytes.resize(size ? size : Padded(bytes.size()), 0);
    return bytes;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST(BuilderHeader, TitleThenLittleEndianFieldsAndALongTitleKeepsItsNul) {
    RomHeader header{"Abc", 0x01020304, 0x25, -2};
    auto bytes = header.Serialize();
    const Bytes expected =
        Concat({{'A', 'b', 'c'}, Bytes(29, 0), {4, 3, 2, 1, 0x25, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF}, {0, 0, 0, 0}});
    EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), expected);
    header.title = std::string(40, 'x');
    bytes = header.Serialize();
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
    fs::path m_output = m_dir / "out.gba";
    fs::path m_saved = m_dir / "saved.txt";
    Bytes m_emulator = test::PatternBytes(1001, 7);

    void SetUp() override { WriteFile(m_dir / "Vantaro.GBA", m_emulator); }

    // A ROM file in the test folder and the entry that adding it would make.
    RomEntry MakeRom(const std::string& name, std::size_t romBytes, std::uint32_t seed, const std::string& title) {
        const Bytes file = test::WriteNesFile(m_dir / name, romBytes, seed);
        return RomEntry{m_dir.Path(),
                        name,
                        title,
                        seed,
                        -static_cast<std::int32_t>(seed),
                        static_cast<std::uint32_t>(Padded(file.size()) + kRomHeaderSize),
                        0xC0DE0000u + seed};
    }

    CompilationJob Job(std::vector<RomEntry> entries = {}) {
        CompilationJob job;
        job.output = m_output;
        job.emulatorPath = m_dir / "Vantaro.GBA";
        job.entries = std::move(entries);
        return job;
    }

    // A record as the image must hold it: the header, then the file as it is now, padded.
    static Bytes RecordOf(const RomEntry& entry, const std::string& headerTitle) {
        const Bytes file = ReadFile(entry.FullPath());
        const auto header =
            RomHeader{headerTitle, static_cast<std::uint32_t>(Padded(file.size())), entry.flags, entry.follow}
                .Serialize();
        return Concat({Bytes(header.begin(), header.end()), PaddedBytes(file)});
    }
    Bytes Image(std::initializer_list<Bytes> after) const { return Concat({PaddedBytes(m_emulator), Concat(after)}); }
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
        ASSERT_TRUE(out && CopyPadded(*out, in) && out->Commit());
        EXPECT_EQ(ReadFile(m_dir / "copy.bin"), PaddedBytes(source));
    }
    test::UnreliableBuffer failing(std::string(200, 'e'), 200, 100);
    std::istream in(&failing);
    auto out = AtomicFile::Create(m_dir / "copy.bin");
    EXPECT_FALSE(CopyPadded(*out, in));
}

TEST_F(BuilderWriterTest, RecordsFollowOneAnotherAndTheRomLengthIsMeasuredAtBuildTime) {
    // The first is exactly at the small-ROM bound (entry size 195,584); the second was added
    // small and has grown past it since, so its header must give the bytes that now follow.
    const std::vector<RomEntry> entries = {MakeRom("a.nes", 195536 - 16, 1, "Alpha"), MakeRom("b.nes", 100, 2, "Beta"),
                                           MakeRom("c.nes", 1, 3, "Gamma")};
    test::WriteNesFile(m_dir / "b.nes", 195540 - 16, 9);
    WriteFile(m_saved, "kept\r\n"); // no saved-list path: an existing saved list is not touched
    std::vector<std::pair<std::size_t, std::uint64_t>> progress;
    CompilationHooks hooks;
    hooks.progress = [&](std::size_t position, std::uint64_t bytes) { progress.emplace_back(position, bytes); };
    CompilationJob job = Job(entries);
    job.flag190k = true;

    const CompilationResult result = test::WriteImage(job, hooks);
    ASSERT_EQ(result.outcome, WriteOutcome::ImageWritten);
    const Bytes a = RecordOf(entries[0], "Alpha*"), b = RecordOf(entries[1], "Beta"),
                c = RecordOf(entries[2], "Gamma*");
    EXPECT_EQ(ReadFile(m_output), Image({a, b, c}));
    EXPECT_EQ(result.imageSize, Image({a, b, c}).size());
    EXPECT_EQ(ReadText(m_saved), "kept\r\n");
    const std::uint64_t start = Padded(m_emulator.size());
    EXPECT_EQ(progress,
              (std::vector<std::pair<std::size_t, std::uint64_t>>{
                  {0, start}, {1, start + a.size()}, {2, start + a.size() + b.size()}, {3, result.imageSize}}));
    ASSERT_EQ(result.written.size(), 3u);
    EXPECT_EQ(result.written[1].position, 1u);
    EXPECT_EQ(result.written[1].headerTitle, "Beta");
    EXPECT_EQ(result.written[1].crc, entries[1].crc);
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
    const RomEntry rom = MakeRom("a.nes", 8, 1, "A");
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.size));
        const fs::path path = *c.name ? m_dir / c.name : fs::path();
        const Bytes splash = test::PatternBytes(c.size < 0 ? 0 : static_cast<std::size_t>(c.size), 5);
        if (c.size >= 0)
            WriteFile(path, splash);
        CompilationJob job = Job({rom});
        job.splash = path;
        std::vector<std::string> warnings;
        CompilationHooks hooks;
        hooks.warning = [&](std::string_view text) { warnings.emplace_back(text); };

        const CompilationResult result = test::WriteImage(job, hooks);
        EXPECT_EQ(result.splashLeftOut.has_value(), !c.taken);
        EXPECT_EQ(ReadFile(m_output),
                  Image({c.taken ? PaddedBytes(splash, kSplashSize) : Bytes{}, RecordOf(rom, "A")}));
        EXPECT_EQ(warnings,
                  c.warned ? std::vector<std::string>{std::string(kSplashWarning)} : std::vector<std::string>{});
        if (c.warned) {
            EXPECT_NE(LoadRawSplash(path).reason.find(std::to_string(Padded(splash.size()))), std::string::npos);
        }
    }
    // A picture loader in the hooks gives the splash instead.
    const Bytes picture = test::PatternBytes(kSplashSize, 11);
    CompilationHooks hooks;
    hooks.splashLoader = [&](const fs::path& path) {
        return path == m_dir / "picture.png" ? SplashData{SplashData::Status::Ready, picture, {}} : SplashData{};
    };
    CompilationJob job = Job();
    job.splash = m_dir / "picture.png";
    ASSERT_EQ(test::WriteImage(job, hooks).outcome, WriteOutcome::ImageWritten);
    EXPECT_EQ(ReadFile(m_output), Image({picture}));
}

TEST_F(BuilderWriterTest, RomsThatCannotBeOpenedAreLeftOutWithTheirReasonAndKeepTheirNumbers) {
    std::vector<RomEntry> entries = {MakeRom("a.nes", 10, 1, "Alpha"), MakeRom("gone.nes", 10, 2, "Gone"),
                                     MakeRom("folder.nes", 10, 3, "Folder"), MakeRom("d.nes", 10, 4, "Delta")};
    fs::remove(entries[1].FullPath());
    fs::remove(entries[2].FullPath());
    fs::create_directory(entries[2].FullPath());
    CompilationJob job = Job(entries);
    job.autonumber = true;
    job.savedList = m_saved;
    const CompilationResult result = test::WriteImage(job);
    ASSERT_EQ(result.outcome, WriteOutcome::ImageWritten);
    EXPECT_EQ(ReadFile(m_output), Image({RecordOf(entries[0], "1. Alpha"), RecordOf(entries[3], "4. Delta")}));
    ASSERT_EQ(result.leftOut.size(), 2u);
    EXPECT_EQ(result.leftOut[0].path, entries[1].FullPath());
    EXPECT_EQ(result.leftOut[0].problem, "cannot be opened (No such file or directory)");
    EXPECT_EQ(result.leftOut[1].position, 2u);
    EXPECT_EQ(result.leftOut[1].problem, "is a folder");
    EXPECT_EQ(ReadText(m_saved),
              PathToStoredText(entries[0].FullPath()) + "\r\n" + PathToStoredText(entries[3].FullPath()) + "\r\n");
}

TEST_F(BuilderWriterTest, SavedListThatCannotBeWrittenOrNamesAFileOfTheBuildDoesNotStopTheImage) {
    const RomEntry rom = MakeRom("a.nes", 10, 1, "A");
    const Bytes romBytes = ReadFile(rom.FullPath());
    for (const fs::path& saved : {m_dir / "no-such-folder" / "saved.txt", m_output, rom.FullPath()}) {
        SCOPED_TRACE(saved.string());
        CompilationJob job = Job({rom});
        job.savedList = saved;
        const CompilationResult result = test::WriteImage(job);
        EXPECT_EQ(result.outcome, WriteOutcome::ImageWritten);
        EXPECT_TRUE(result.savedListError);
        EXPECT_EQ(ReadFile(m_output), Image({RecordOf(rom, "A")}));
        EXPECT_EQ(ReadFile(rom.FullPath()), romBytes);
    }
}

// The image and the saved list are replaced together or not at all, and no temporary file is
// left behind: a read error of the emulator image, or a folder put in the output's place once
// everything is written.
TEST_F(BuilderWriterTest, AFailedBuildKeepsTheOldOutputAndSavedList) {
    for (const bool readError : {true, false}) {
        SCOPED_TRACE(readError);
        WriteFile(m_saved, "old\r\n");
        WriteFile(m_output, "old image");
        CompilationJob job = Job({MakeRom("a.nes", 10, 1, "A")});
        job.savedList = m_saved;
        const auto before = test::FileNames(m_dir.Path());
        CompilationHooks hooks;
        hooks.progress = [&](std::size_t position, std::uint64_t) {
            if (!readError && position == job.entries.size()) {
                fs::remove(m_output);
                fs::create_directories(m_output / "inside");
            }
        };
        test::UnreliableBuffer failing(std::string(200000, 'e'), 200000, readError ? 70000 : SIZE_MAX);
        std::istream emulator(&failing);
        const CompilationResult result = WriteCompilation(job, emulator, hooks);
        EXPECT_EQ(result.outcome, WriteOutcome::OutputUnwritable);
        EXPECT_TRUE(result.written.empty());
        EXPECT_EQ(ReadText(m_saved), "old\r\n");
        EXPECT_EQ(test::FileNames(m_dir.Path()), before);
        if (readError) {
            EXPECT_EQ(ReadText(m_output), "old image");
        }
    }
}

TEST_F(BuilderWriterTest, OutputThatIsAnInputOrCannotBeCreatedIsRefusedBeforeWriting) {
    const RomEntry rom = MakeRom("a.nes", 10, 1, "A");
    WriteFile(m_dir / "splash.raw", test::PatternBytes(kSplashSize, 4));
    fs::create_directory(m_dir / "sub");
    fs::create_directory(m_dir / "folder.gba");
    fs::create_hard_link(m_dir / "Vantaro.GBA", m_dir / "linked.gba");
    WriteFile(m_saved, "old\r\n");
    const auto before = test::FileNames(m_dir.Path());
    std::vector<Bytes> contents;
    for (const auto& name : before)
        contents.push_back(fs::is_regular_file(m_dir / name) ? ReadFile(m_dir / name) : Bytes{});

    for (const fs::path& output :
         {m_dir / "Vantaro.GBA", rom.FullPath(), m_dir / "splash.raw", m_dir / "sub" / ".." / "Vantaro.GBA",
          m_dir / "linked.gba", m_dir / "missing" / "out.gba", m_dir / "folder.gba", fs::path()}) {
        SCOPED_TRACE(output.string());
        CompilationJob job = Job({rom});
        job.output = output;
        job.splash = m_dir / "splash.raw";
        job.savedList = m_saved;
        int calls = 0;
        CompilationHooks hooks;
        hooks.warning = [&](std::string_view) { ++calls; };
        hooks.progress = [&](std::size_t, std::uint64_t) { ++calls; };

        const CompilationResult result = test::WriteImage(job, hooks);
        EXPECT_EQ(result.outcome, WriteOutcome::OutputUnwritable);
        EXPECT_TRUE(result.outputError);
        EXPECT_EQ(calls, 0);
        EXPECT_EQ(test::FileNames(m_dir.Path()), before);
        std::size_t i = 0;
        for (const auto& name : before)
            EXPECT_EQ(fs::is_regular_file(m_dir / name) ? ReadFile(m_dir / name) : Bytes{}, contents[i++]) << name;
        EXPECT_TRUE(fs::is_empty(m_dir / "folder.gba"));
    }
}

} // namespace
} // namespace brimble
