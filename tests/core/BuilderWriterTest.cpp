#include "builder/CompilationWriter.h"
#include "catalogue/Paths.h"
#include "support/TestFiles.h"

#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace brimble {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::uint32_t Le32(const Bytes& bytes, std::size_t offset) {
    return static_cast<std::uint32_t>(bytes[offset]) | static_cast<std::uint32_t>(bytes[offset + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[offset + 2]) << 16 | static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

std::uint64_t Padded(std::uint64_t size) {
    return (size + 3) & ~std::uint64_t{3};
}

Bytes Slice(const Bytes& bytes, std::size_t offset, std::size_t count) {
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                 bytes.begin() + static_cast<std::ptrdiff_t>(offset + count));
}

bool AllZero(const Bytes& bytes, std::size_t offset, std::size_t count) {
    for (std::size_t i = offset; i < offset + count; ++i) {
        if (bytes[i] != 0)
            return false;
    }
    return true;
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

std::set<std::string> Names(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& item : fs::directory_iterator(dir))
        names.insert(item.path().filename().string());
    return names;
}

// Bytes padded with zeros to a multiple of 4, as the image stores a file.
Bytes PaddedBytes(Bytes bytes) {
    bytes.resize(static_cast<std::size_t>(Padded(bytes.size())), 0);
    return bytes;
}

// A stream that serves some bytes and then fails like a disk read error.
class FailingBuffer : public std::streambuf {
public:
    explicit FailingBuffer(std::size_t good) : m_data(good, 'e') {}

protected:
    int_type underflow() override {
        if (m_served)
            throw std::runtime_error("read error");
        m_served = true;
        setg(m_data.data(), m_data.data(), m_data.data() + m_data.size());
        return traits_type::to_int_type(m_data[0]);
    }
    pos_type seekoff(off_type, std::ios_base::seekdir, std::ios_base::openmode) override { return Rewind(); }
    pos_type seekpos(pos_type, std::ios_base::openmode) override { return Rewind(); }

private:
    pos_type Rewind() {
        m_served = false;
        setg(nullptr, nullptr, nullptr);
        return pos_type(0);
    }
    std::vector<char> m_data;
    bool m_served = false;
};

class BuilderWriterTest : public ::testing::Test {
protected:
    TempDir m_dir;
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

    std::size_t EmulatorPart() const { return static_cast<std::size_t>(Padded(m_emulatorBytes.size())); }
};

// --- CopyPadded ---------------------------------------------------------------------------

TEST_F(BuilderWriterTest, CopyPaddedCopiesWholeSourceThenFillsToFour) {
    // Around the old chunk sizes and the current one, and lengths with each remainder.
    for (std::size_t size : {0u, 1u, 2u, 3u, 4u, 5u, 16384u, 16385u, 32768u, 65535u, 65536u, 65537u, 200003u}) {
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
}

TEST_F(BuilderWriterTest, CopyPaddedReportsReadError) {
    FailingBuffer buffer(100);
    std::istream in(&buffer);
    auto out = AtomicFile::Create(m_dir / "copy.bin");
    ASSERT_TRUE(out);
    EXPECT_FALSE(CopyPadded(*out, in));
}

// --- Layout -------------------------------------------------------------------------------

TEST_F(BuilderWriterTest, EmulatorImageIsPaddedAndFirstRecordFollows) {
    for (std::size_t size : {1u, 4u, 16384u, 32768u, 32770u}) {
        SCOPED_TRACE(size);
        m_emulatorBytes = test::PatternBytes(size, 3);
        WriteFile(m_emulator, m_emulatorBytes);
        const RomEntry rom = MakeRom("a.nes", 20, 1, "A");

        const CompilationResult result = Build(Job({rom}));
        ASSERT_EQ(result.outcome, WriteOutcome::ImageWritten);
        const Bytes image = ReadFile(m_output);
        ASSERT_EQ(image.size(), Padded(size) + kRomHeaderSize + 36);
        EXPECT_EQ(result.imageSize, image.size());
        EXPECT_EQ(Slice(image, 0, size), m_emulatorBytes);
        EXPECT_TRUE(AllZero(image, size, static_cast<std::size_t>(Padded(size) - size)));
        EXPECT_EQ(Le32(image, static_cast<std::size_t>(Padded(size)) + 32), 36u);
    }
}

TEST_F(BuilderWriterTest, RecordsCarryHeaderFieldsAndFollowOneAnother) {
    std::vector<RomEntry> entries = {MakeRom("a.nes", 16368, 1, "Alpha"), MakeRom("b.nes", 1, 2, "Beta"),
                                     MakeRom("c.nes", 40961, 3, "Gamma"), MakeRom("d.nes", 2, 4, "Delta")};
    std::vector<std::pair<std::size_t, std::uint64_t>> progress;
    CompilationHooks hooks;
    hooks.progress = [&](std::size_t position, std::uint64_t bytes) { progress.emplace_back(position, bytes); };

    const CompilationResult result = Build(Job(entries), hooks);
    ASSERT_EQ(result.outcome, WriteOutcome::ImageWritten);
    const Bytes image = ReadFile(m_output);
    EXPECT_EQ(result.imageSize, image.size());

    const std::vector<Record> records = ParseRecords(image, EmulatorPart());
    ASSERT_EQ(records.size(), entries.size());
    ASSERT_EQ(result.written.size(), entries.size());
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

        ASSERT_GT(progress.size(), i);
        EXPECT_EQ(progress[i], std::make_pair(i, offset));
        offset += kRomHeaderSize + records[i].length;
    }
    ASSERT_EQ(progress.size(), entries.size() + 1);
    EXPECT_EQ(progress.back(), std::make_pair(entries.size(), std::uint64_t{image.size()}));
}

TEST_F(BuilderWriterTest, SmallRomBoundIsMeasuredOnTheFile) {
    // Padded file sizes 195,536 and 195,540 give entry sizes 195,584 (marked) and 195,588.
    std::vector<RomEntry> entries = {MakeRom("at.nes", 195536 - 16, 1, "At"),
                                     MakeRom("over.nes", 195540 - 16, 2, "Over")};
    CompilationJob job = Job(entries);
    job.flag190k = true;
    job.autonumber = true;
    ASSERT_EQ(Build(job).outcome, WriteOutcome::ImageWritten);
    std::vector<Record> records = ParseRecords(ReadFile(m_output), EmulatorPart());
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].title, "1* At");
    EXPECT_EQ(records[1].title, "2. Over");

    job.flag190k = false;
    ASSERT_EQ(Build(job).outcome, WriteOutcome::ImageWritten);
    records = ParseRecords(ReadFile(m_output), EmulatorPart());
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].title, "1. At");
    EXPECT_EQ(records[1].title, "2. Over");
}

TEST_F(BuilderWriterTest, RomGrownSinceAddedIsMeasuredAgain) {
    RomEntry grown = MakeRom("grown.nes", 100, 1, "Grown"); // entry size 164: small
    const RomEntry next = MakeRom("next.nes", 50, 2, "Next");
    const Bytes bigger = test::WriteNesFile(m_dir / "grown.nes", 195540 - 16, 9);

    CompilationJob job = Job({grown, next});
    job.flag190k = true;
    const CompilationResult result = Build(job);
    ASSERT_EQ(result.outcome, WriteOutcome::ImageWritten);
    const std::vector<Record> records = ParseRecords(ReadFile(m_output), EmulatorPart());
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].length, 195540u);
    EXPECT_EQ(records[0].rom, bigger);
    EXPECT_EQ(records[0].title, "Grown"); // the measured size is over the bound
    EXPECT_EQ(records[1].title, "Next*");
    EXPECT_EQ(records[1].rom, PaddedBytes(ReadFile(next.FullPath())));
    ASSERT_EQ(result.written.size(), 2u);
    EXPECT_EQ(result.written[0].romLength, 195540u);
}

// --- Splash -------------------------------------------------------------------------------

TEST_F(BuilderWriterTest, SplashTakenOnlyWhenPaddedSizeIsOneScreen) {
    struct Case {
        std::size_t size;
        bool taken;
    };
    for (const Case c : {Case{76796, false}, Case{76797, true}, Case{76798, true}, Case{76799, true}, Case{76800, true},
                         Case{76801, false}}) {
        SCOPED_TRACE(c.size);
        const Bytes splash = test::PatternBytes(c.size, 5);
        WriteFile(m_dir / "splash.raw", splash);
        const RomEntry rom = MakeRom("a.nes", 8, 1, "A");
        CompilationJob job = Job({rom});
        job.splash = m_dir / "splash.raw";
        std::vector<std::string> warnings;
        CompilationHooks hooks;
        hooks.warning = [&](std::string_view text) { warnings.emplace_back(text); };

        ASSERT_EQ(Build(job, hooks).outcome, WriteOutcome::ImageWritten);
        const Bytes image = ReadFile(m_output);
        const std::size_t romStart = EmulatorPart() + (c.taken ? kSplashSize : 0);
        if (c.taken) {
            EXPECT_TRUE(warnings.empty());
            EXPECT_EQ(Slice(image, EmulatorPart(), c.size), splash);
            EXPECT_TRUE(AllZero(image, EmulatorPart() + c.size, kSplashSize - c.size));
        } else {
            EXPECT_EQ(warnings, std::vector<std::string>{"Skipping splash screen.\n(wrong format)"});
        }
        const std::vector<Record> records = ParseRecords(image, romStart);
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].title, "A");
    }
}

TEST_F(BuilderWriterTest, MissingOrEmptySplashIsLeftOutSilently) {
    fs::create_directory(m_dir / "folder.raw");
    for (const fs::path& splash : {fs::path(), m_dir / "missing.raw", m_dir / "folder.raw"}) {
        SCOPED_TRACE(splash.string());
        CompilationJob job = Job();
        job.splash = splash;
        int warnings = 0;
        CompilationHooks hooks;
        hooks.warning = [&](std::string_view) { ++warnings; };
        ASSERT_EQ(Build(job, hooks).outcome, WriteOutcome::ImageWritten);
        EXPECT_EQ(warnings, 0);
        EXPECT_EQ(ReadFile(m_output).size(), EmulatorPart());
    }
}

TEST_F(BuilderWriterTest, LoadRawSplashGivesReasonForWrongSize) {
    WriteFile(m_dir / "small.raw", test::PatternBytes(100, 1));
    const SplashData splash = LoadRawSplash(m_dir / "small.raw");
    EXPECT_EQ(splash.status, SplashData::Status::WrongFormat);
    EXPECT_TRUE(splash.bytes.empty());
    EXPECT_NE(splash.reason.find("100"), std::string::npos) << splash.reason;
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

// --- ROMs that cannot be read, and the saved list -----------------------------------------

TEST_F(BuilderWriterTest, MissingRomKeepsItsNumberAndLeavesTheSavedList) {
    std::vector<RomEntry> entries = {MakeRom("a.nes", 10, 1, "Alpha"), MakeRom("b.nes", 10, 2, "Beta"),
                                     MakeRom("c.nes", 10, 3, "Gamma")};
    fs::remove(entries[1].FullPath());
    CompilationJob job = Job(entries);
    job.autonumber = true;
    job.savedList = m_saved;

    const CompilationResult result = Build(job);
    ASSERT_EQ(result.outcome, WriteOutcome::ImageWritten);
    const std::vector<Record> records = ParseRecords(ReadFile(m_output), EmulatorPart());
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].title, "1. Alpha");
    EXPECT_EQ(records[1].title, "3. Gamma");
    ASSERT_EQ(result.written.size(), 2u);
    EXPECT_EQ(result.written[0].position, 0u);
    EXPECT_EQ(result.written[1].position, 2u);
    EXPECT_EQ(test::ReadText(m_saved),
              PathToStoredText(entries[0].FullPath()) + "\r\n" + PathToStoredText(entries[2].FullPath()) + "\r\n");
}

TEST_F(BuilderWriterTest, NoRomOpenableGivesEmulatorImageAndEmptySavedList) {
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
    EXPECT_EQ(ReadFile(m_output), PaddedBytes(m_emulatorBytes));
    EXPECT_TRUE(fs::exists(m_saved));
    EXPECT_EQ(fs::file_size(m_saved), 0u);
}

TEST_F(BuilderWriterTest, SavedListUntouchedWithoutPath) {
    WriteFile(m_saved, "kept\r\n");
    ASSERT_EQ(Build(Job({MakeRom("a.nes", 10, 1, "A")})).outcome, WriteOutcome::ImageWritten);
    EXPECT_EQ(test::ReadText(m_saved), "kept\r\n");
}

TEST_F(BuilderWriterTest, UncreatableSavedListDoesNotStopTheImage) {
    CompilationJob job = Job({MakeRom("a.nes", 10, 1, "A")});
    job.savedList = m_dir / "no-such-folder" / "saved.txt";
    ASSERT_EQ(Build(job).outcome, WriteOutcome::ImageWritten);
    EXPECT_EQ(ParseRecords(ReadFile(m_output), EmulatorPart()).size(), 1u);
    EXPECT_FALSE(fs::exists(m_dir / "no-such-folder"));
}

TEST_F(BuilderWriterTest, SavedListNeverLandsOnTheImageOrAnInput) {
    const RomEntry rom = MakeRom("a.nes", 10, 1, "A");
    const Bytes romBytes = ReadFile(rom.FullPath());
    for (const fs::path& saved : {m_output, rom.FullPath()}) {
        CompilationJob job = Job({rom});
        job.savedList = saved;
        ASSERT_EQ(Build(job).outcome, WriteOutcome::ImageWritten);
        EXPECT_EQ(ParseRecords(ReadFile(m_output), EmulatorPart()).size(), 1u);
        EXPECT_EQ(ReadFile(rom.FullPath()), romBytes);
    }
}

TEST_F(BuilderWriterTest, WriteRomRecordWritesNothingForUnopenableRom) {
    RomEntry missing = MakeRom("gone.nes", 10, 1, "Gone");
    fs::remove(missing.FullPath());
    auto output = AtomicFile::Create(m_output);
    auto saved = AtomicFile::Create(m_saved);
    ASSERT_TRUE(output && saved);
    const RomRecordOutcome outcome = WriteRomRecord(missing, *output, true, true, 0, &*saved);
    EXPECT_FALSE(outcome.written);
    EXPECT_FALSE(outcome.failed);
    EXPECT_EQ(output->Size(), 0u);
    EXPECT_EQ(saved->Size(), 0u);
}

// --- Failures keep what was there ---------------------------------------------------------

TEST_F(BuilderWriterTest, ReadFailureKeepsExistingOutputAndSavedList) {
    const Bytes old = test::PatternBytes(500, 99);
    WriteFile(m_output, old);
    WriteFile(m_saved, "old\r\n");
    const auto before = Names(m_dir.Path());

    CompilationJob job = Job({MakeRom("a.nes", 10, 1, "A")});
    job.savedList = m_saved;
    FailingBuffer buffer(70000);
    std::istream emulator(&buffer);
    const CompilationResult result = WriteCompilation(job, emulator, {});

    EXPECT_EQ(result.outcome, WriteOutcome::OutputUnwritable);
    EXPECT_TRUE(result.written.empty());
    EXPECT_EQ(ReadFile(m_output), old);
    EXPECT_EQ(test::ReadText(m_saved), "old\r\n");
    auto after = Names(m_dir.Path());
    after.erase("a.nes");
    EXPECT_EQ(after, before); // no temporary file left behind
}

TEST_F(BuilderWriterTest, SavedListFollowsOnlyACommittedImage) {
    WriteFile(m_saved, "old\r\n");
    CompilationJob job = Job({MakeRom("a.nes", 10, 1, "A")});
    job.savedList = m_saved;
    const auto before = Names(m_dir.Path());
    // Once everything is written, something takes the output's place so that the image
    // cannot be put there.
    CompilationHooks hooks;
    hooks.progress = [&](std::size_t position, std::uint64_t) {
        if (position == job.entries.size()) {
            fs::create_directory(m_output);
            WriteFile(m_output / "inside", "x");
        }
    };

    EXPECT_EQ(Build(job, hooks).outcome, WriteOutcome::OutputUnwritable);
    EXPECT_EQ(test::ReadText(m_saved), "old\r\n");
    auto after = Names(m_dir.Path());
    after.erase("out.gba");
    EXPECT_EQ(after, before);
}

TEST_F(BuilderWriterTest, OutputNamingAnInputIsRefusedBeforeWriting) {
    const RomEntry rom = MakeRom("a.nes", 10, 1, "A");
    const Bytes splash = test::PatternBytes(kSplashSize, 4);
    WriteFile(m_dir / "splash.raw", splash);
    fs::create_directory(m_dir / "sub");
    fs::create_hard_link(m_emulator, m_dir / "linked.gba");
    WriteFile(m_saved, "old\r\n");

    const fs::path outputs[] = {m_emulator, rom.FullPath(), m_dir / "splash.raw", m_dir / "sub" / ".." / "Vantaro.GBA",
                                m_dir / "linked.gba"};
    for (const fs::path& output : outputs) {
        SCOPED_TRACE(output.string());
        const auto before = Names(m_dir.Path());
        CompilationJob job = Job({rom});
        job.output = output;
        job.splash = m_dir / "splash.raw";
        job.savedList = m_saved;
        int calls = 0;
        CompilationHooks hooks;
        hooks.warning = [&](std::string_view) { ++calls; };
        hooks.progress = [&](std::size_t, std::uint64_t) { ++calls; };

        EXPECT_EQ(Build(job, hooks).outcome, WriteOutcome::OutputUnwritable);
        EXPECT_EQ(calls, 0);
        EXPECT_EQ(ReadFile(m_emulator), m_emulatorBytes);
        EXPECT_EQ(ReadFile(rom.FullPath()), test::MakeNesImage(10, 1));
        EXPECT_EQ(ReadFile(m_dir / "splash.raw"), splash);
        EXPECT_EQ(test::ReadText(m_saved), "old\r\n");
        EXPECT_EQ(Names(m_dir.Path()), before);
    }
}

TEST_F(BuilderWriterTest, OutputThatCannotBeCreatedIsUnwritable) {
    fs::create_directory(m_dir / "folder.gba");
    const RomEntry rom = MakeRom("a.nes", 10, 1, "A");
    for (const fs::path& output : {m_dir / "missing" / "out.gba", m_dir / "folder.gba", fs::path()}) {
        SCOPED_TRACE(output.string());
        const auto before = Names(m_dir.Path());
        CompilationJob job = Job({rom});
        job.output = output;
        job.savedList = m_saved;
        EXPECT_EQ(Build(job).outcome, WriteOutcome::OutputUnwritable);
        EXPECT_EQ(Names(m_dir.Path()), before);
        EXPECT_TRUE(fs::is_empty(m_dir / "folder.gba"));
    }
}

} // namespace
} // namespace brimble
