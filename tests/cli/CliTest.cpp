#include "CliRun.h"
#include "catalogue/Crc32.h"
#include "support/TestFiles.h"
#include "support/ZipWriter.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace brimble {
namespace {

std::string S(const std::filesystem::path& path) {
    const auto text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string Hex(std::uint32_t value) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

// Saved lists are written with the platform's separator.
std::string Native(std::string text) {
    for (auto& c : text) {
        if (c == '/')
            c = static_cast<char>(std::filesystem::path::preferred_separator);
    }
    return text;
}

std::size_t Padded(std::size_t size) {
    return (size + 3) & ~std::size_t{3};
}

std::uint32_t RomCrc(const test::Bytes& image) {
    return Crc32(std::span(image).subspan(16));
}

class CliTest : public ::testing::Test {
protected:
    test::TempDir dir;
    test::CurrentDirectory cwd{dir.Path()};
};

TEST_F(CliTest, InfoPrintsOneTabSeparatedLinePerAcceptedRom) {
    const auto rom = test::WriteNesFile(dir / "Super_Game_(U)_[!].nes", 40960, 3);
    const auto run = test::RunCli({"info", S(dir / "Super_Game_(U)_[!].nes")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, Hex(RomCrc(rom)) + "\t41024\t0\t0\tSuper Game\n");
    EXPECT_EQ(run.err, "");
}

TEST_F(CliTest, InfoReportsEachRefusedFileAndFails) {
    test::WriteNesFile(dir / "good.nes", 100);
    test::WriteFile(dir / "text.nes", std::string_view("not a game at all"));
    const auto run = test::RunCli({"info", "missing.nes", "text.nes", "good.nes"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("missing.nes: "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("text.nes: "), std::string::npos) << run.err;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1);
}

TEST_F(CliTest, InfoTakesTitlesFlagsAndFollowFromLoadedLists) {
    const auto rom = test::WriteNesFile(dir / "x.nes", 1000, 9);
    const std::string sep(1, test::kSep);
    test::WriteFile(dir / "db.lst", "Checksum" + sep + "t" + sep + "c" + sep + "d" + sep + "o\r\n" + Hex(RomCrc(rom)) +
                                        sep + "Caf\xE9 Night" + sep + "Red" + sep + sep + "|33|-2\r\n");
    test::WriteNesFile(dir / "y.nes", 1000, 10);
    // Each --db takes one list; the ROMs after it stay ROMs.
    const auto run = test::RunCli({"info", "--db", "db.lst", "x.nes", "y.nes"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find('\n') + 1), Hex(RomCrc(rom)) + "\t1064\t33\t-2\tCaf\xC3\xA9 Night\n");
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 2);
}

TEST_F(CliTest, AListThatLoadsNothingStopsTheCommandBeforeWriting) {
    test::WriteFile(dir / "junk.lst", std::string_view("neither kind\n"));
    for (const char* list : {"absent.lst", "junk.lst"}) {
        const auto run = test::RunCli({"db", "--db", list, "--write", "out.lst"});
        EXPECT_EQ(run.status, 2) << list;
        EXPECT_NE(run.err.find(list), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(dir / "out.lst"));
    }
}

TEST_F(CliTest, DbMergesListsInOrderAndWritesTheDatabaseFormat) {
    const std::string sep(1, test::kSep);
    const std::string header =
        "Checksum" + sep + "NES rom title" + sep + "Color code" + sep + "Details" + sep + "Options\r\n";
    test::WriteFile(dir / "a.lst", header + "80000000" + sep + "Late" + sep + "Green" + sep + "note" + sep + "|1|2\n" +
                                       "0000ABCD" + sep + "Old" + sep + sep + sep + "|0|0\n");
    test::WriteFile(dir / "b.lst", header + "0000ABCD" + sep + "New" + sep + sep + sep + "|33|-1\n");
    const auto run = test::RunCli({"db", "--db", "a.lst", "--db", "b.lst", "--write", "out.lst"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(test::ReadText(dir / "out.lst"), header + "0000ABCD" + sep + "New" + sep + sep + sep + "|33|-1\r\n" +
                                                   "80000000" + sep + "Late" + sep + "Green" + sep + "note" + sep +
                                                   "|1|2\r\n");
}

TEST_F(CliTest, BadCommandLinesSayWhatToGiveInOneLine) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "name a command: info, db, build or splash (see brimble-cli --help)"},
        {{"nonsense"}, "'nonsense' is not a command (see brimble-cli --help)"},
        {{"build", "--frobnicate"},
         "'--frobnicate' is not an option or argument of build (see brimble-cli build --help)"},
        {{"build", "--autonumber", "--no-autonumber", "x.nes"},
         "--autonumber and --no-autonumber contradict each other (see brimble-cli build --help)"},
        {{"build", "x.nes"},
         "name the emulator image with --emulator (no brimble.ini in this folder gives it) (see brimble-cli build "
         "--help)"},
        {{"info"}, "name at least one ROM (see brimble-cli info --help)"},
        {{"info", "--db"}, "--db needs a file name after it (see brimble-cli info --help)"},
        {{"db"}, "name the database to write with --write (see brimble-cli db --help)"},
        {{"splash"}, "name convert or preview (see brimble-cli splash --help)"},
        {{"splash", "convert", "in.png"},
         "name the picture to read and the file to write (see brimble-cli splash convert --help)"},
        {{"splash", "show", "a", "b"}, "'show' is not a command of splash (see brimble-cli splash --help)"},
    };
    for (const auto& [arguments, message] : cases) {
        const auto run = test::RunCli(arguments);
        EXPECT_EQ(run.status, 2) << message;
        EXPECT_EQ(run.err, "brimble-cli: " + message + "\n");
    }
}

// A Windows path begins with '/' or '\\' as often as not; neither is taken for an option.
TEST_F(CliTest, ArgumentsThatLookLikeWindowsOptionsAreFiles) {
    for (const std::string name : {"/x.nes", "/db", "/?"}) {
        const auto run = test::RunCli({"info", name});
        EXPECT_EQ(run.status, 1) << name;
        EXPECT_EQ(run.err.rfind("brimble-cli: " + name + ": cannot be opened (", 0), 0u) << run.err;
    }
}

TEST_F(CliTest, HelpAndVersionGoToStandardOutput) {
    const auto help = test::RunCli({"build", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("brimble.ini"), std::string::npos);
    // Each option on one line with its description.
    for (const char* option : {"--autonumber", "--no-flag190k", "--from-list TEXT", "--oversize"}) {
        const auto line = help.out.find("\n  " + std::string(option));
        ASSERT_NE(line, std::string::npos) << option;
        const std::string text = help.out.substr(line + 1, help.out.find('\n', line + 1) - line - 1);
        EXPECT_GT(text.find_first_not_of(' ', text.find("  ", 2)), 30u) << text;
    }
    const auto splashHelp = test::RunCli({"splash", "--help"});
    EXPECT_EQ(splashHelp.status, 0);
    EXPECT_NE(splashHelp.out.find("preview"), std::string::npos);
    const auto version = test::RunCli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("brimble-cli ", 0), 0u);
}

class CliBuildTest : public CliTest {
protected:
    void SetUp() override {
        emulator = test::PatternBytes(1001, 5);
        test::WriteFile(dir / "Vantaro.GBA", emulator);
        std::filesystem::create_directory(dir / "roms");
        first = test::WriteNesFile(dir / "roms" / "Alpha.nes", 32768, 1);
        second = test::WriteNesFile(dir / "roms" / "Beta_(E).nes", 8192 + 3, 2);
    }
    test::Bytes emulator, first, second;
};

TEST_F(CliBuildTest, BuildsTheImageAndListsWhatItWrote) {
    const auto run = test::RunCli({"build", "--emulator", "Vantaro.GBA", "--output", "out.gba", "--autonumber",
                                   S(dir / "roms" / "Alpha.nes"), S(dir / "roms" / "Beta_(E).nes")});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto image = test::ReadFile(dir / "out.gba");
    const std::size_t expected = 1004 + 48 + first.size() + 48 + ((second.size() + 3) & ~std::size_t{3});
    EXPECT_EQ(image.size(), expected);
    EXPECT_EQ(run.out, "1\t1. Alpha\t" + Hex(RomCrc(first)) + "\t" + std::to_string(first.size()) + "\n" +
                           "2\t2. Beta\t" + Hex(RomCrc(second)) + "\t" + std::to_string(second.size() + 1) + "\n" +
                           "out.gba: " + std::to_string(expected) + " bytes\n");
}

TEST_F(CliBuildTest, FailuresNameTheFileAndTheSystemsReasonAndWriteNothing) {
    std::filesystem::create_directory(dir / "folder.gba");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--emulator", "Nope.GBA", "--output", "out.gba"}, "Nope.GBA: cannot be opened (No such file or directory)"},
        {{"--emulator", "roms", "--output", "out.gba"}, "roms: is a folder"},
        {{"--emulator", "Vantaro.GBA", "--output", "missing/out.gba"},
         "missing/out.gba: cannot be written (No such file or directory)"},
        {{"--emulator", "Vantaro.GBA", "--output", "folder.gba"}, "folder.gba: cannot be written (Is a directory)"},
        {{"--emulator", "Vantaro.GBA", "--output", "Vantaro.GBA"},
         "Vantaro.GBA: cannot be written (is one of the files the build reads)"},
    };
    for (auto [arguments, message] : cases) {
        arguments.insert(arguments.begin(), "build");
        arguments.push_back("roms/Alpha.nes");
        const auto run = test::RunCli(arguments);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "brimble-cli: " + message + "\n");
        EXPECT_FALSE(std::filesystem::exists(dir / "out.gba"));
    }
    EXPECT_EQ(test::ReadFile(dir / "Vantaro.GBA"), emulator);

    const auto nothing = test::RunCli({"build", "--emulator", "Vantaro.GBA", "--output", "out.gba", "roms/absent.nes"});
    EXPECT_EQ(nothing.status, 2);
    EXPECT_FALSE(std::filesystem::exists(dir / "out.gba"));
}

// Everything the image goes without is named, and the image is written all the same with exit
// status 1: a ROM left out of a build is also left out of the saved list it rewrites.
TEST_F(CliBuildTest, WhatTheImageGoesWithoutIsNamedAndTheStatusIsOne) {
    test::WriteFile(dir / "small.raw", test::PatternBytes(100, 1));
    test::WriteFile(dir / "list.txt", "roms/Alpha.nes\nroms/Gone.nes\njunk\nroms/Beta_(E).nes\n\x1B]0;x\x07\n");
    struct Case {
        std::vector<std::string> arguments;
        std::string err;
        bool both = false; // Beta is in the image too
    };
    const Case cases[] = {
        {{"--from-list", "list.txt", "--saved-list", "new.txt"},
         "brimble-cli: list.txt:3: names no ROM (a folder and a file name), skipped\n"
         "brimble-cli: list.txt:5: names no ROM (a folder and a file name), skipped\n"
         "brimble-cli: list.txt:2: " +
             Native("roms/Gone.nes") + ": cannot be opened (No such file or directory), left out\n",
         true},
        {{"--splash", "small.raw", "roms/Alpha.nes"},
         "brimble-cli: small.raw: neither a raw splash of 76800 bytes (it holds 100) nor a PNG, JPEG, BMP or GIF "
         "picture; the image has no splash screen\n"},
        {{"--splash", "nope.png", "roms/Alpha.nes", "roms/\x1B[2Jx.nes"},
         "brimble-cli: roms/\\x1B[2Jx.nes"
         ": cannot be opened (No such file or directory), left out\n"
         "brimble-cli: nope.png: cannot be opened (No such file or directory); the image has no splash screen\n"},
        {{"--saved-list", "missing/saved.txt", "roms/Alpha.nes"},
         "brimble-cli: missing/saved.txt: cannot be written (No such file or directory)\n"},
        {{"--from-list", "absent.txt", "roms/Alpha.nes"},
         "brimble-cli: absent.txt: cannot be opened (No such file or directory)\n"},
    };
    for (auto [arguments, err, both] : cases) {
        arguments.insert(arguments.begin(), {"build", "--emulator", "Vantaro.GBA", "--output", "out.gba"});
        const auto run = test::RunCli(arguments);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, err);
        EXPECT_EQ(test::ReadFile(dir / "out.gba").size(),
                  1004 + 48 + first.size() + (both ? 48 + Padded(second.size()) : 0))
            << err;
        std::filesystem::remove(dir / "out.gba");
    }
    EXPECT_EQ(test::ReadText(dir / "new.txt"), Native("roms/Alpha.nes\r\nroms/Beta_(E).nes\r\n"));
}

TEST_F(CliBuildTest, AnImageBeyondACartridgeIsWrittenOnlyWithOversize) {
    // Sparse where the file system allows: the image is 32 MiB and 4 bytes of emulator image,
    // header and ROM.
    std::filesystem::resize_file(dir / "Vantaro.GBA", (32u << 20) - 48 - first.size() + 4);
    const std::vector<std::string> arguments = {"build",    "--emulator", "Vantaro.GBA",
                                                "--output", "out.gba",    "roms/Alpha.nes"};
    const auto refused = test::RunCli(arguments);
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "brimble-cli: out.gba: the image would be 33,554,436 bytes (32.1 MiB); a cartridge holds "
                           "33,554,432 (32 MiB); --oversize writes it anyway\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "out.gba"));

    std::vector<std::string> oversize = arguments;
    oversize.push_back("--oversize");
    const auto written = test::RunCli(oversize);
    EXPECT_EQ(written.status, 0) << written.err;
    EXPECT_EQ(std::filesystem::file_size(dir / "out.gba"), (32u << 20) + 4);
}

TEST_F(CliBuildTest, AConfiguredFolderNeedsNoOptionsAndMatchesTheSpelledOutBuild) {
    test::WriteFile(dir / "splash.raw", test::PatternBytes(76800, 3));
    const std::string sep(1, test::kSep);
    test::WriteFile(dir / "names.dat", "[GAMES]\n\x01"
                                       "Alpha Prime (U)" +
                                           sep + sep + sep + sep + sep + Hex(RomCrc(first)) + sep + "\n");
    test::WriteFile(dir / "saved.txt", std::string_view("roms/Beta_(E).nes\r\nroms/Alpha.nes\r\n"));
    const std::string ini = "[config]\r\nvantaro=Vantaro.GBA\r\noutputfile=auto.gba\r\nautonumber=1\r\nflag190k=1\r\n"
                            "usesplash=1\r\nsplashfile=splash.raw\r\nsavelist=1\r\ngoodnes=names.dat\r\n";
    test::WriteFile(dir / "brimble.ini", ini);

    const auto automatic = test::RunCli({"build"});
    ASSERT_EQ(automatic.status, 0) << automatic.err;
    EXPECT_NE(automatic.out.find("Alpha Prime"), std::string::npos);

    std::filesystem::remove(dir / "brimble.ini");
    const auto spelled = test::RunCli({"build", "--emulator", "Vantaro.GBA", "--output", "spelled.gba", "--autonumber",
                                       "--flag190k", "--splash", "splash.raw", "--db", "names.dat", "--from-list",
                                       "saved.txt", "--saved-list", "saved.txt"});
    ASSERT_EQ(spelled.status, 0) << spelled.err;
    EXPECT_EQ(test::ReadFile(dir / "auto.gba"), test::ReadFile(dir / "spelled.gba"));
    EXPECT_EQ(test::ReadText(dir / "saved.txt"), Native("roms/Beta_(E).nes\r\nroms/Alpha.nes\r\n"));
}

TEST_F(CliBuildTest, OptionsOverrideTheSettingsWhichAreNeverWritten) {
    const std::string ini = "[config]\r\noutputfile=auto.gba\r\nautonumber=1\r\n";
    test::WriteFile(dir / "brimble.ini", ini);
    const auto run = test::RunCli({"build", "--no-autonumber", "roms/Alpha.nes"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, 8), "1\tAlpha\t");
    EXPECT_EQ(test::ReadText(dir / "brimble.ini"), ini);
    // The database key stays unwritten even though the build looked for goodQuorrel.lst.
    EXPECT_FALSE(std::filesystem::exists(dir / "goodQuorrel.lst"));
}

class CliArchiveTest : public CliBuildTest {
protected:
    void SetUp() override {
        CliBuildTest::SetUp();
        // Alpha deflated beside a read-me, Beta stored in a folder; and an encrypted game.
        test::WriteZip(dir / "Set.zip", {{.name = "Alpha.nes", .data = first},
                                         {.name = "read.txt", .data = {'x'}},
                                         {.name = "sub/Beta_(E).nes", .data = second, .method = 0}});
        test::WriteZip(dir / "Locked.zip", {{.name = "Gamma.nes", .data = first, .method = 0, .flags = 1}});
    }

    static std::string InfoLine(const test::Bytes& rom, const std::string& title) {
        return Hex(RomCrc(rom)) + "\t" + std::to_string(((rom.size() + 3) & ~std::size_t{3}) + 48) + "\t0\t0\t" +
               title + "\n";
    }
};

TEST_F(CliArchiveTest, InfoPrintsALinePerMemberAndNamesEachRefusal) {
    const auto run = test::RunCli({"info", "Set.zip", "Set.zip/sub/Beta_(E).nes", "Locked.zip"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, InfoLine(first, "Alpha") + InfoLine(second, "Beta") + InfoLine(second, "Beta"));
    EXPECT_EQ(run.err, "brimble-cli: " + Native("Locked.zip/Gamma.nes") + ": is encrypted\n");
}

TEST_F(CliArchiveTest, ArchivesBuildTheImageOfTheUnpackedFilesAndTheirSavedListReadsThemAgain) {
    const std::vector<std::string> build = {"build", "--emulator", "Vantaro.GBA", "--autonumber", "--output"};
    auto run = [&](std::vector<std::string> more) {
        std::vector<std::string> arguments = build;
        arguments.insert(arguments.end(), more.begin(), more.end());
        return test::RunCli(arguments);
    };
    const auto plain = run({"plain.gba", "roms/Alpha.nes", "roms/Beta_(E).nes"});
    const auto zipped = run({"zipped.gba", "--saved-list", "saved.txt", "Set.zip", "Locked.zip"});
    const auto again = run({"again.gba", "--from-list", "saved.txt"});
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(zipped.status, 1); // the encrypted game is left out
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(zipped.err, "brimble-cli: " + Native("Locked.zip/Gamma.nes") + ": is encrypted, left out\n");
    EXPECT_EQ(test::ReadText(dir / "saved.txt"), Native("Set.zip/Alpha.nes\r\nSet.zip/sub/Beta_(E).nes\r\n"));
    const test::Bytes image = test::ReadFile(dir / "plain.gba");
    EXPECT_EQ(test::ReadFile(dir / "zipped.gba"), image);
    EXPECT_EQ(test::ReadFile(dir / "again.gba"), image);
}

} // namespace
} // namespace brimble
