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

TEST_F(CliTest, BadCommandLinesGiveOneErrorLineAndTheUsage) {
    const std::vector<std::vector<std::string>> cases = {{"build", "--frobnicate"},
                                                         {"info", "--db"},
                                                         {},
                                                         {"nonsense"},
                                                         {"db"},
                                                         {"splash"},
                                                         {"splash", "convert", "in.png"},
                                                         {"splash", "show", "a", "b"}};
    for (const auto& arguments : cases) {
        const auto run = test::RunCli(arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err.rfind("brimble-cli: ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find("Usage"), std::string::npos) << run.err;
    }
}

TEST_F(CliTest, HelpAndVersionGoToStandardOutput) {
    const auto help = test::RunCli({"build", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("brimble.ini"), std::string::npos);
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

TEST_F(CliBuildTest, FailuresUseTheWindowMessages) {
    const auto noEmulator = test::RunCli({"build", "--emulator", "Nope.GBA", "--output", "out.gba", "roms/Alpha.nes"});
    EXPECT_EQ(noEmulator.status, 1);
    EXPECT_EQ(noEmulator.err, "Can't open Nope.GBA.\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "out.gba"));

    const auto badOutput =
        test::RunCli({"build", "--emulator", "Vantaro.GBA", "--output", "missing/out.gba", "roms/Alpha.nes"});
    EXPECT_EQ(badOutput.status, 1);
    EXPECT_EQ(badOutput.err, "Can't write to missing/out.gba.\n");

    const auto nothing = test::RunCli({"build", "--emulator", "Vantaro.GBA", "--output", "out.gba", "roms/absent.nes"});
    EXPECT_EQ(nothing.status, 2);
    EXPECT_FALSE(std::filesystem::exists(dir / "out.gba"));
}

TEST_F(CliBuildTest, TheSplashWarningGoesToStandardErrorAndTheBuildGoesOn) {
    test::WriteFile(dir / "small.raw", test::PatternBytes(100, 1));
    const auto run = test::RunCli(
        {"build", "--emulator", "Vantaro.GBA", "--output", "out.gba", "--splash", "small.raw", "roms/Alpha.nes"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "Skipping splash screen.\n(wrong format)\n");
    EXPECT_EQ(test::ReadFile(dir / "out.gba").size(), 1004 + 48 + first.size());
}

TEST_F(CliBuildTest, ARomMissingFromTheSavedListIsLeftOutAndNamed) {
    test::WriteFile(dir / "list.txt", "roms/Alpha.nes\nroms/Gone.nes\nroms/Beta_(E).nes\n");
    const auto run = test::RunCli({"build", "--emulator", "Vantaro.GBA", "--output", "out.gba", "--from-list",
                                   "list.txt", "--saved-list", "new.txt"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("Gone.nes"), std::string::npos);
    EXPECT_EQ(test::ReadText(dir / "new.txt"), Native("roms/Alpha.nes\r\nroms/Beta_(E).nes\r\n"));
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
    EXPECT_EQ(run.err, Native("Locked.zip/Gamma.nes") + ": is encrypted\n");
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
    ASSERT_EQ(zipped.status, 0) << zipped.err;
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(zipped.err, "brimble-cli: " + Native("Locked.zip/Gamma.nes") + ": is encrypted, left out\n");
    EXPECT_EQ(test::ReadText(dir / "saved.txt"), Native("Set.zip/Alpha.nes\r\nSet.zip/sub/Beta_(E).nes\r\n"));
    const test::Bytes image = test::ReadFile(dir / "plain.gba");
    EXPECT_EQ(test::ReadFile(dir / "zipped.gba"), image);
    EXPECT_EQ(test::ReadFile(dir / "again.gba"), image);
}

TEST_F(CliBuildTest, WithoutSettingsTheEmulatorAndOutputAreRequired) {
    const auto run = test::RunCli({"build", "roms/Alpha.nes"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("--emulator"), std::string::npos);
}

} // namespace
} // namespace brimble
