#include "builder/CompilationWriter.h"
#include "builder/RomHeader.h"
#include "catalogue/Paths.h"
#include "core/UnreliableStream.h"
#include "support/GameFiles.h"
#include "support/TestFiles.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace brimble {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::Padded;
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
    const auto bytes = RomHeader{"Abc", 0x01020304, 0x25, -2}.Serialize();
    EXPECT_EQ(
        Bytes(bytes.begin(), bytes.end()),
        Concat({{'A', 'b', 'c'}, Bytes(29, 0), {4, 3, 2, 1, 0x25, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF}, Bytes(4, 0)}));
    const auto cut = RomHeader{std::string(40, 'x')}.Serialize();
    EXPECT_EQ(std::string(cut.begin(), cut.begin() + 32), std::string(31, 'x') + '\0');
}

TEST(BuilderHeader, FormatHeaderTitleNumbersMarksAndCutsTo31) {
    const std::string k31 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcde";
    // Title, entry size, position, autonumber, flag190k, header title.
    const std::tuple<std::string, std::uint32_t, std::size_t, bool, bool, std::string> cases[] = {
        {"Game", 195584, 0, false, true, "Game*"}, // the bound itself is marked
        {"Game", 195588, 0, false, true, "Game"},
        {"Game", 64, 0, false, false, "Game"}, // switch off: never marked
        {"Game", 195584, 2, true, true, "3* Game"},
        {"Game", 195588, 2, true, true, "3. Game"},
        {"Game", 64, 9, true, false, "10. Game"},
        {k31, 64, 0, true, false, "1. " + k31.substr(0, 28)},
        {k31, 64, 0, false, true, k31}, // the cut comes after the marker
        {k31.substr(0, 30), 64, 0, false, true, k31.substr(0, 30) + "*"},
        {"Big", 0x80000000u, 0, false, true, "Big*"}, // signed: 2 GiB or more reads as negative
        {std::string("Ab\0cd", 5), 64, 0, false, true, "Ab*"},
    };
    for (const auto& [title, size, position, autonumber, flag190k, expected] : cases)
        EXPECT_EQ(FormatHeaderTitle(RomEntry{"", "", title, 0, 0, size, 0}, position, autonumber, flag190k), expected);
}

// A ROM file in the folder and the entry that adding it would make.
RomEntry MakeRom(const test::TempDir& dir, std::string name, std::size_t bytes, std::uint32_t seed, std::string title) {
    const auto size = static_cast<std::uint32_t>(Padded(test::WriteNesFile(dir / name, bytes, seed).size()));
    return {dir.Path(), name, title, seed, -static_cast<std::int32_t>(seed), size + kRomHeaderSize, 0xC0DE0000u + seed};
}

// A record as the image must hold it: the header, then the file as it is now, padded.
Bytes RecordOf(const RomEntry& entry, const std::string& headerTitle) {
    const Bytes file = test::ReadFile(entry.FullPath());
    const auto header =
        RomHeader{headerTitle, static_cast<std::uint32_t>(Padded(file.size())), entry.flags, entry.follow}.Serialize();
    return Concat({Bytes(header.begin(), header.end()), PaddedBytes(file)});
}

// Each file of the folder with its bytes (a folder as none): shows any change or leftover.
std::map<std::string, Bytes> Snapshot(const fs::path& dir) {
    std::map<std::string, Bytes> files;
    for (const auto& name : test::FileNames(dir)) {
        std::ostringstream bytes; // read whole: the files are large and read often
        bytes << std::ifstream(dir / name, std::ios::binary).rdbuf();
        files[name] = Bytes(bytes.view().begin(), bytes.view().end());
    }
    return files;
}

// Each row builds the image of a list: a ROM at the small-ROM bound (entry size 195,584), one
// gone, one grown past the bound since it was added (its header gives the bytes that now follow),
// a folder and a tiny ROM. A failed or refused build changes no file and reports nothing first.
TEST(BuilderWriter, BuildsOfOneList) {
    const test::TempDir dir;
    const std::vector<RomEntry> entries = {
        MakeRom(dir, "a.nes", 195536 - 16, 1, "Alpha"), MakeRom(dir, "gone.nes", 10, 2, "Gone"),
        MakeRom(dir, "b.nes", 100, 3, "Beta"), MakeRom(dir, "folder.nes", 10, 4, "Folder"),
        MakeRom(dir, "c.nes", 1, 5, "Gamma")};
    test::WriteNesFile(dir / "b.nes", 195540 - 16, 9);
    fs::remove(entries[1].FullPath());
    fs::remove(entries[3].FullPath());
    for (const char* folder : {"folder.nes", "folder.raw", "folder.gba"})
        fs::create_directory(dir / folder);
    WriteFile(dir / "Vantaro.GBA", Bytes{});
    fs::create_hard_link(dir / "Vantaro.GBA", dir / "linked.gba");
    std::string list; // the saved list of the ROMs that go in
    for (const std::size_t i : {0, 2, 4})
        list += PathToStoredText(entries[i].FullPath()) + "\r\n";
    const std::string headerTitles[2][3] = {{"Alpha*", "Beta", "Gamma*"}, {"1. Alpha", "3. Beta", "5. Gamma"}};
    enum Fault { None, Refused, ReadError, FolderInPlace };
    const struct {
        std::size_t emulator = 1001;  // bytes of the emulator image
        const char* splash = "s.raw"; // nothing: no splash wanted
        int splashSize = 76796;       // below 0: no such file is written
        bool taken = false, warned = true;
        const char* saved = "saved.txt"; // nothing: no saved list wanted
        bool autonumber = false;         // else flag190k
        const char* output = "out.gba";  // empty: an empty path
        Fault fault = None;              // FolderInPlace last: it leaves the folder
    } cases[] = {
        {.emulator = 0},
        {.emulator = 3, .splashSize = 76797, .taken = true, .warned = false, .saved = nullptr, .autonumber = true},
        {.emulator = 65536, .splashSize = 76800, .taken = true, .warned = false, .saved = "no/saved.txt"},
        {.emulator = 65537, .splashSize = 76801, .saved = "out.gba", .autonumber = true},
        {.emulator = 200002, .splash = "missing.raw", .splashSize = -1, .warned = false, .saved = "a.nes"},
        {.splash = "folder.raw", .splashSize = -1, .warned = false, .autonumber = true},
        {.splash = "", .splashSize = -1, .warned = false},
        {.splash = nullptr, .warned = false, .saved = nullptr},
        {.output = "Vantaro.GBA", .fault = Refused},
        {.output = "a.nes", .fault = Refused},
        {.output = "s.raw", .fault = Refused},
        {.output = "linked.gba", .fault = Refused},
        {.output = "no/out.gba", .fault = Refused},
        {.output = "folder.gba", .fault = Refused},
        {.output = "", .fault = Refused},
        {.fault = ReadError},
        {.fault = FolderInPlace}};
    for (const auto& c : cases) {
        const fs::path splashPath = c.splash && *c.splash ? dir / c.splash : fs::path();
        SCOPED_TRACE(splashPath.string() + " " + c.output + " " + std::to_string(c.fault));
        const Bytes emulator = test::PatternBytes(c.emulator, 7);
        const Bytes splash = test::PatternBytes(static_cast<std::size_t>(std::max(c.splashSize, 0)), 5);
        WriteFile(dir / "Vantaro.GBA", emulator);
        if (c.splash && c.splashSize >= 0)
            WriteFile(splashPath, splash);
        WriteFile(dir / "saved.txt", "old\r\n");
        WriteFile(dir / "out.gba", "old image");
        std::map<std::string, Bytes> expected = Snapshot(dir.Path());

        const CompilationJob job{.output = *c.output ? dir / c.output : fs::path(),
                                 .emulatorPath = dir / "Vantaro.GBA",
                                 .splash = c.splash ? std::optional(splashPath) : std::nullopt,
                                 .savedList = c.saved ? std::optional(dir / c.saved) : std::nullopt,
                                 .entries = entries,
                                 .autonumber = c.autonumber,
                                 .flag190k = !c.autonumber};
        std::vector<std::string> warnings;
        std::vector<std::pair<std::size_t, std::uint64_t>> progress;
        CompilationHooks hooks;
        hooks.warning = [&](std::string_view text) { warnings.emplace_back(text); };
        hooks.progress = [&](std::size_t position, std::uint64_t bytes) {
            progress.emplace_back(position, bytes);
            if (c.fault == FolderInPlace && position == entries.size()) {
                fs::remove(dir / "out.gba");
                fs::create_directories(dir / "out.gba" / "inside");
            }
        };
        test::UnreliableBuffer buffer(std::string(emulator.begin(), emulator.end()), emulator.size(),
                                      c.fault == ReadError ? 500 : SIZE_MAX);
        std::istream in(&buffer);
        in.seekg(0, std::ios::end);

        const CompilationResult result = WriteCompilation(job, in, hooks);
        EXPECT_EQ(result.outcome, c.fault ? WriteOutcome::OutputUnwritable : WriteOutcome::ImageWritten);
        EXPECT_EQ(static_cast<bool>(result.outputError), c.fault != None);
        EXPECT_TRUE(fs::is_empty(dir / "folder.gba"));
        if (c.fault != None) {
            EXPECT_EQ(warnings.empty() && progress.empty(), c.fault != FolderInPlace);
            expected["out.gba"] = c.fault == FolderInPlace ? Bytes{} : expected["out.gba"];
            EXPECT_EQ(Snapshot(dir.Path()), expected);
            continue;
        }
        const std::string(&titles)[3] = headerTitles[c.autonumber];
        const Bytes a = RecordOf(entries[0], titles[0]), b = RecordOf(entries[2], titles[1]);
        const Bytes start = Concat({PaddedBytes(emulator), c.taken ? PaddedBytes(splash, kSplashSize) : Bytes{}});
        expected["out.gba"] = Concat({start, a, b, RecordOf(entries[4], titles[2])});
        const bool listWritten = c.saved && c.saved == std::string_view("saved.txt");
        expected["saved.txt"] = listWritten ? Bytes(list.begin(), list.end()) : expected["saved.txt"];
        EXPECT_EQ(Snapshot(dir.Path()), expected);
        EXPECT_EQ(result.imageSize, expected["out.gba"].size());
        const std::uint64_t s = start.size(), sa = s + a.size(), sb = sa + b.size();
        EXPECT_EQ(progress, (decltype(progress){{0, s}, {1, sa}, {2, sa}, {3, sb}, {4, sb}, {5, result.imageSize}}));
        EXPECT_EQ(warnings, std::vector<std::string>(c.warned, std::string(kSplashWarning)));
        EXPECT_EQ(result.splashLeftOut.has_value(), c.splash && !c.taken);
        if (c.warned) { // the reason gives the size the file has once padded
            EXPECT_NE(result.splashLeftOut->find(std::to_string(Padded(splash.size()))), std::string::npos);
        }
        EXPECT_EQ(static_cast<bool>(result.savedListError), c.saved && !listWritten);
        ASSERT_EQ(result.leftOut.size(), 2u);
        EXPECT_EQ(std::tie(result.leftOut[0].position, result.leftOut[0].path, result.leftOut[0].problem),
                  std::make_tuple(1u, entries[1].FullPath(), "cannot be opened (No such file or directory)"));
        EXPECT_EQ(std::tie(result.leftOut[1].position, result.leftOut[1].problem), std::make_tuple(3u, "is a folder"));
        ASSERT_EQ(result.written.size(), 3u);
        const WrittenRom& beta = result.written[1];
        EXPECT_EQ(std::tie(beta.position, beta.headerTitle, beta.crc, beta.romLength),
                  std::make_tuple(2u, titles[1], entries[2].crc, 195540u));
    }
    // A record fails on an output that takes no more bytes, even with no ROM bytes to copy.
    WriteFile(entries[4].FullPath(), Bytes{});
    auto closed = AtomicFile::Create(dir / "closed.gba");
    ASSERT_TRUE(closed && closed->Commit());
    EXPECT_TRUE(WriteRomRecord(entries[4], *closed, false, false, 0, nullptr).failed);
}

} // namespace
} // namespace brimble
