// brimble-cli's wiring; the rules behind it (titles, lists, the image, pictures) are tested where they live.
#include "CliRun.h"
#include "samples/ZipWriter.h"
#include "support/GameFiles.h"
#include "support/StandardOutput.h"
#include "support/TestFiles.h"

#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>

namespace brimble {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::Words;

std::string Hex(std::uint32_t value) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

// Saved lists are written with the platform's separator.
std::string Native(std::string text) {
    std::replace(text.begin(), text.end(), '/', static_cast<char>(fs::path::preferred_separator));
    return text;
}

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::WriteFile(dir / "Vantaro.GBA", test::PatternBytes(1001, 5));
        fs::create_directory(dir / "roms");
        alpha = test::WriteNesFile(dir / "roms" / "Alpha.nes", 32768, 1);
        beta = test::WriteNesFile(dir / "roms" / "Beta_(E).nes", 8195, 2);
        // A raw splash whose pixels are all colours (bit 15 clear), as a preview gives them back.
        raw = test::PatternBytes(76800, 11);
        for (auto& byte : raw)
            byte &= 0x7F;
        test::WriteFile(dir / "screen.raw", raw);
    }
    // brimble-cli build with the emulator image and the output named, then the given arguments.
    static test::CliRun Build(const std::string& output, const std::string& more) {
        return test::RunCli(Words("build --emulator Vantaro.GBA --output " + output + " " + more));
    }
    test::TempDir dir;
    test::CurrentDirectory cwd{dir.Path()};
    test::Bytes alpha, beta, raw;
};

TEST_F(CliTest, BadCommandLinesAndFilesThatCannotBeUsedAreNamedWithTheirReasonAndNothingIsWritten) {
    test::WriteFile(dir / "junk.lst", std::string_view("neither kind\n"));
    // Sparse where the file system allows: the image would be 32 MiB and 4 bytes.
    test::WriteFile(dir / "Big.GBA", std::string_view("x"));
    fs::resize_file(dir / "Big.GBA", (32u << 20) - 48 - alpha.size() + 4);
    const std::string help = " (see brimble-cli build --help)";
    const std::tuple<int, std::string, std::string> cases[] = {
        {2, "", "name a command: info, db, build or splash (see brimble-cli --help)"},
        {2, "build --frobnicate", "'--frobnicate' is not an option or argument of build" + help},
        {2, "build --autonumber --no-autonumber", "--autonumber and --no-autonumber contradict each other" + help},
        {2, "build x.nes", "name the emulator image with --emulator (no brimble.ini in this folder gives it)" + help},
        {2, "db --db junk.lst --write out.lst", "junk.lst: not a naming list or game database"},
        {1, "build --emulator No.GBA --output o.gba roms/Alpha.nes",
         "No.GBA: cannot be opened (No such file or directory)"},
        {1, "build --emulator Vantaro.GBA --output no/o.gba roms/Alpha.nes",
         "no/o.gba: cannot be written (No such file or directory)"},
        {1, "build --emulator Vantaro.GBA --output Vantaro.GBA roms/Alpha.nes",
         "Vantaro.GBA: cannot be written (is one of the files the build reads)"},
        {1, "build --emulator Big.GBA --output o.gba roms/Alpha.nes",
         "o.gba: the image would be 33,554,436 bytes (32.1 MiB); a cartridge holds 33,554,432 (32 MiB); --oversize "
         "writes it anyway"},
        {2, "build --emulator Vantaro.GBA --output o.gba x.nes",
         "x.nes: cannot be opened (No such file or directory), left out\nbrimble-cli: no ROM to build"},
        {1, "info /db", "/db: cannot be opened (No such file or directory)"}, // a Windows path, not an option
        {1, "splash convert screen.raw ./screen.raw", "./screen.raw: is the file to read; name another file to write"},
        {1, "splash preview screen.raw no/o.png", "no/o.png: cannot be written (No such file or directory)"},
    };
    for (const auto& [status, line, err] : cases) {
        const auto run = test::RunCli(Words(line));
        EXPECT_EQ(run.status, status) << err;
        EXPECT_EQ(run.err, "brimble-cli: " + err + "\n");
        EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(test::FileNames(dir.Path()),
              (std::set<std::string>{"Big.GBA", "Vantaro.GBA", "junk.lst", "roms", "screen.raw"}));
    EXPECT_EQ(ReadFile(dir / "screen.raw"), raw);
    EXPECT_EQ(test::RunCli(Words("build --emulator Big.GBA --output o.gba roms/Alpha.nes --oversize")).status, 0);
    EXPECT_EQ(fs::file_size(dir / "o.gba"), (32u << 20) + 4);
}

TEST_F(CliTest, BuildAndInfoListWhatTheyFoundAndInfoTakesTitlesFromTheLists) {
    const auto build = Build("out.gba", "--autonumber " + (dir / "roms" / "Alpha.nes").string() + " roms/Beta_(E).nes");
    ASSERT_EQ(build.status, 0) << build.err;
    EXPECT_EQ(build.out, "1\t1. Alpha\t" + Hex(test::RomCrc(32768, 1)) + "\t32784\n2\t2. Beta\t" +
                             Hex(test::RomCrc(8195, 2)) +
                             "\t8212\nout.gba: " + std::to_string(fs::file_size(dir / "out.gba")) + " bytes\n");
    GameDatabase records;
    records.Store(test::RomCrc(8195, 2), test::Record("Caf\xE9 Night", 33, -2));
    test::WriteDatabaseFile(dir / "db.lst", records);
    const auto info = test::RunCli({"info", "--db", "db.lst", "roms/Alpha.nes", "roms/Beta_(E).nes", "missing.nes"});
    EXPECT_EQ(info.status, 1);
    EXPECT_EQ(info.out, Hex(test::RomCrc(32768, 1)) + "\t32832\t0\t0\tAlpha\n" + Hex(test::RomCrc(8195, 2)) +
                            "\t8260\t33\t-2\tCaf\xC3\xA9 Night\n");
    EXPECT_EQ(info.err, "brimble-cli: missing.nes: cannot be opened (No such file or directory)\n");
    EXPECT_NE(test::RunCli({"build", "--help"}).out.find("\n  --oversize "), std::string::npos);
}

// Everything the image goes without is named, and the image is written all the same with exit
// status 1: a ROM left out of a build is also left out of the saved list it rewrites.
TEST_F(CliTest, WhatTheImageGoesWithoutIsNamedAndTheStatusIsOne) {
    ASSERT_EQ(Build("alpha.gba", "roms/Alpha.nes").status, 0);
    ASSERT_EQ(Build("both.gba", "roms/Alpha.nes roms/Beta_(E).nes").status, 0);
    test::WriteFile(dir / "small.raw", test::PatternBytes(100, 1));
    // Alpha deflated beside a read-me, Beta stored in a folder; and an encrypted game.
    test::WriteZip(dir / "Set.zip", {{.name = "Alpha.nes", .data = alpha},
                                     {.name = "read.txt", .data = {'x'}},
                                     {.name = "sub/Beta_(E).nes", .data = beta, .method = 0}});
    test::WriteZip(dir / "Locked.zip", {{.name = "Gamma.nes", .data = alpha, .method = 0, .flags = 1}});
    test::WriteFile(dir / "list.txt", "roms/Alpha.nes\nroms/Gone.nes\njunk\nroms/Beta_(E).nes\n\x1B]0;x\x07\n");
    const std::string noRom = ": names no ROM (a folder and a file name), skipped\nbrimble-cli: ";
    const std::string missing = ": cannot be opened (No such file or directory)";
    const std::tuple<std::string, std::string, const char*> cases[] = {
        {"--from-list list.txt --saved-list new.txt",
         "list.txt:3" + noRom + "list.txt:5" + noRom + "list.txt:2: " + Native("roms/Gone.nes") + missing +
             ", left out",
         "both.gba"},
        {"--splash small.raw roms/Alpha.nes",
         "small.raw: neither a raw splash of 76800 bytes (it holds 100) nor a PNG, "
         "JPEG, BMP or GIF picture; the image has no splash screen",
         "alpha.gba"},
        {"--splash no.png roms/Alpha.nes roms/\x1B[2Jx\xC2\x9B.nes",
         "roms/\\x1B[2Jx\\u009B.nes" + missing + ", left out\nbrimble-cli: no.png" + missing +
             "; the image has no splash screen",
         "alpha.gba"},
        {"--saved-list zip.txt Set.zip Locked.zip", Native("Locked.zip/Gamma.nes") + ": is encrypted, left out",
         "both.gba"},
        {"--saved-list no/saved.txt roms/Alpha.nes", "no/saved.txt: cannot be written (No such file or directory)",
         "alpha.gba"},
        {"--from-list absent.txt roms/Alpha.nes", "absent.txt" + missing, "alpha.gba"},
    };
    for (const auto& [arguments, err, image] : cases) {
        const auto run = Build("out.gba", arguments);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "brimble-cli: " + err + "\n");
        EXPECT_EQ(ReadFile(dir / "out.gba"), ReadFile(dir / image)) << err;
    }
    EXPECT_EQ(test::ReadText(dir / "new.txt"), Native("roms/Alpha.nes\r\nroms/Beta_(E).nes\r\n"));
    EXPECT_EQ(test::ReadText(dir / "zip.txt"), Native("Set.zip/Alpha.nes\r\nSet.zip/sub/Beta_(E).nes\r\n"));
}

// The settings give what the options leave out, and brimble-cli never writes them.
TEST_F(CliTest, AConfiguredFolderNeedsNoOptionsAndMatchesTheSpelledOutBuild) {
    test::WriteNamingList(dir / "names.dat", {{test::RomCrc(32768, 1), "Alpha Prime (U)"}});
    test::WriteFile(dir / "saved.txt", Native("roms/Beta_(E).nes\r\nroms/Alpha.nes\r\n"));
    const std::string ini = "[config]\r\nvantaro=Vantaro.GBA\r\noutputfile=auto.gba\r\nautonumber=1\r\nflag190k=1\r\n"
                            "usesplash=1\r\nsplashfile=screen.raw\r\nsavelist=1\r\ngoodnes=names.dat\r\n";
    test::WriteFile(dir / "brimble.ini", ini);
    const auto automatic = test::RunCli({"build"});
    EXPECT_NE(automatic.out.find("\n2\t2* Alpha Prime\t"), std::string::npos) << automatic.out;
    EXPECT_EQ(test::RunCli({"build", "--no-autonumber", "--output", "o.gba", "roms/Alpha.nes"}).out.substr(0, 15),
              "1\tAlpha Prime*\t");
    EXPECT_EQ(test::ReadText(dir / "brimble.ini"), ini);
    EXPECT_FALSE(fs::exists(dir / "goodQuorrel.lst"));
    fs::remove(dir / "brimble.ini");
    const auto spelled = Build(
        "spelled.gba",
        "--autonumber --flag190k --splash screen.raw --db names.dat --from-list saved.txt --saved-list saved.txt");
    ASSERT_EQ(spelled.status, 0) << spelled.err;
    EXPECT_EQ(ReadFile(dir / "spelled.gba"), ReadFile(dir / "auto.gba")); // the second build changed nothing
    EXPECT_EQ(test::ReadText(dir / "saved.txt"), Native("roms/Beta_(E).nes\r\nroms/Alpha.nes\r\n"));
}

// What the GBA shows of a raw splash, as a picture, converts back to the same raw splash, and
// a build takes the picture as it takes the raw file.
TEST_F(CliTest, SplashPreviewAndConvertGoBothWaysAndABuildTakesThePicture) {
    EXPECT_EQ(test::RunCli({"splash", "preview", "screen.raw", "screen.png"}).out, "screen.png: 240x160 PNG\n");
    EXPECT_EQ(test::RunCli({"splash", "convert", "screen.png", "back.raw"}).out, "back.raw: 76800 bytes\n");
    EXPECT_EQ(ReadFile(dir / "back.raw"), raw);
    ASSERT_EQ(Build("picture.gba", "--splash screen.png roms/Alpha.nes").status, 0);
    ASSERT_EQ(Build("raw.gba", "--splash screen.raw roms/Alpha.nes").status, 0);
    EXPECT_EQ(ReadFile(dir / "picture.gba"), ReadFile(dir / "raw.gba"));
}

// "-" is standard output wherever a command writes a file; what the command says about it goes
// to standard error then.
TEST_F(CliTest, AnOutputOfADashIsStandardOutput) {
    ASSERT_EQ(Build("file.gba", "roms/Alpha.nes").status, 0);
    const std::pair<std::string, const char*> cases[] = {
        {"splash convert screen.raw -", "screen.raw"},
        {"build --emulator Vantaro.GBA --output - roms/Alpha.nes", "file.gba"},
    };
    for (const auto& [line, same] : cases) {
        test::CliRun run;
        const std::string written =
            test::CaptureStandardOutput(dir / "stdout.bin", [&, &line = line] { run = test::RunCli(Words(line)); });
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(written == test::ReadText(dir / same) && run.out.empty()) << same;
    }
    EXPECT_FALSE(fs::exists(dir / "-"));
}

} // namespace
} // namespace brimble
