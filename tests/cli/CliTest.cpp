// brimble-cli's wiring; the rules behind it (titles, lists, the image, pictures) are tested where they live.
#include "CliRun.h"
#include "catalogue/ListFiles.h"
#include "samples/ZipWriter.h"
#include "support/GameFiles.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <unistd.h>

namespace brimble::test {
namespace {

namespace fs = std::filesystem;

// Saved lists are written with the platform's separator.
std::string Native(std::string text) {
    std::replace(text.begin(), text.end(), '/', static_cast<char>(fs::path::preferred_separator));
    return text;
}

// What run writes to the process's standard output (the C stream and the descriptor under
// it), caught in the scratch file and returned. The file is opened in binary mode, which the
// standard output descriptor takes over on Windows.
std::string CaptureStandardOutput(const fs::path& scratch, const std::function<void()>& run) {
    std::fflush(stdout);
    const int saved = ::dup(::fileno(stdout));
    std::FILE* file = std::fopen(scratch.string().c_str(), "wb");
    ::dup2(::fileno(file), ::fileno(stdout));
    std::fclose(file);
    run();
    std::fflush(stdout);
    ::dup2(saved, ::fileno(stdout));
    ::close(saved);
    return ReadText(scratch);
}

// A bad command line or input writes nothing; what the image goes without leaves it written all the
// same, with exit status 1, and a ROM left out of a build is also left out of the saved list it rewrites.
TEST_F(CliTest, WhatCannotBeUsedIsNamedWithItsReason) {
    ASSERT_EQ(RunCli(kBuild + "alpha.gba roms/Alpha.nes").status, 0);
    ASSERT_EQ(RunCli(kBuild + "both.gba roms/Alpha.nes roms/Beta_(E).nes").status, 0);
    WriteZip(dir / "Set.zip", {{.name = "Alpha.nes", .data = ReadFile(dir / "roms" / "Alpha.nes")},
                               {.name = "sub/Beta_(E).nes", .data = ReadFile(dir / "roms" / "Beta_(E).nes")}});
    WriteFile(dir / "list.txt", "roms/Alpha.nes\nroms/Gone.nes\njunk\nroms/Beta_(E).nes\n");
    // Sparse where the file system allows: the image would be 32 MiB and 4 bytes.
    WriteFile(dir / "Big.GBA", std::string_view("x"));
    fs::resize_file(dir / "Big.GBA", (32u << 20) - 48 - 32784 + 4);
    const std::string help = " (see brimble-cli build --help)";
    const std::string missing = ": cannot be opened (No such file or directory)";
    const std::string noRom = ": names no ROM (a folder and a file name), skipped\nbrimble-cli: ";
    const struct {
        int status;
        std::string line, err;
        const char* image = nullptr; // what out.gba holds then
    } cases[] = {
        {2, "", "name a command: info, db, build or splash (see brimble-cli --help)"},
        {2, "build --frobnicate", "'--frobnicate' is not an option or argument of build" + help},
        {2, "build --autonumber --no-autonumber", "--autonumber and --no-autonumber contradict each other" + help},
        {2, "build x.nes", "name the emulator image with --emulator (no brimble.ini in this folder gives it)" + help},
        {2, "db --db list.txt --write out.lst", "list.txt: not a naming list or game database"},
        {1, "build --emulator No.GBA --output o.gba roms/Alpha.nes", "No.GBA" + missing},
        {1, kBuild + "no/o.gba roms/Alpha.nes", "no/o.gba: cannot be written (No such file or directory)"},
        {1, kBuild + "Vantaro.GBA roms/Alpha.nes",
         "Vantaro.GBA: cannot be written (is one of the files the build reads)"},
        {1, "build --emulator Big.GBA --output o.gba roms/Alpha.nes",
         "o.gba: the image would be 33,554,436 bytes (32.1 MiB); a cartridge holds 33,554,432 (32 MiB); --oversize "
         "writes it anyway"},
        {2, kBuild + "o.gba x.nes", "x.nes" + missing + ", left out\nbrimble-cli: no ROM to build"},
        {1, "info /db", "/db" + missing}, // a Windows path, not an option
        {1, "splash convert screen.raw ./screen.raw", "./screen.raw: is the file to read; name another file to write"},
        {1, kBuild + "out.gba --from-list list.txt --saved-list new.txt",
         "list.txt:3" + noRom + "list.txt:2: " + Native("roms/Gone.nes") + missing + ", left out", "both.gba"},
        {1, kBuild + "out.gba --splash no.png roms/Alpha.nes roms/\x1B[2Jx\xC2\x9B.nes",
         "roms/\\x1B[2Jx\\u009B.nes" + missing + ", left out\nbrimble-cli: no.png" + missing +
             "; the image has no splash screen",
         "alpha.gba"},
        {1, kBuild + "out.gba --saved-list no/saved.txt Set.zip",
         "no/saved.txt: cannot be written (No such file or directory)", "both.gba"},
        {1, kBuild + "out.gba --from-list absent.txt roms/Alpha.nes", "absent.txt" + missing, "alpha.gba"},
    };
    for (const auto& [status, line, err, image] : cases) {
        const auto run = RunCli(line);
        EXPECT_EQ(run.status, status) << err;
        EXPECT_EQ(run.err, "brimble-cli: " + err + "\n");
        if (image != nullptr)
            EXPECT_EQ(ReadFile(dir / "out.gba"), ReadFile(dir / image)) << err;
        else
            EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(FileNames(dir.Path()),
              (std::set<std::string>{"Big.GBA", "Vantaro.GBA", "alpha.gba", "both.gba", "Set.zip", "list.txt",
                                     "new.txt", "out.gba", "roms", "screen.raw"}));
    EXPECT_EQ(ReadFile(dir / "screen.raw"), raw);
    EXPECT_EQ(ReadText(dir / "new.txt"), Native("roms/Alpha.nes\r\nroms/Beta_(E).nes\r\n"));
    EXPECT_EQ(RunCli("build --emulator Big.GBA --output o.gba roms/Alpha.nes --oversize").status, 0);
    EXPECT_EQ(fs::file_size(dir / "o.gba"), (32u << 20) + 4);
}

TEST_F(CliTest, BuildAndInfoListWhatTheyFoundAndInfoTakesTitlesFromTheLists) {
    const auto build =
        RunCli(kBuild + "out.gba --autonumber " + (dir / "roms" / "Alpha.nes").string() + " roms/Beta_(E).nes");
    ASSERT_EQ(build.status, 0) << build.err;
    EXPECT_EQ(build.out, "1\t1. Alpha\t5669AF2B\t32784\n2\t2. Beta\tBF89D06A\t8212\nout.gba: 42096 bytes\n");
    GameDatabase records;
    records.Store(RomCrc(8195, 2), Record("Caf\xE9 Night", 33, -2));
    ASSERT_TRUE(WriteGameDatabase(dir / "db.lst", records));
    const auto info = RunCli("info --db db.lst roms/Alpha.nes roms/Beta_(E).nes missing.nes");
    EXPECT_EQ(info.status, 1);
    EXPECT_EQ(info.out, "5669AF2B\t32832\t0\t0\tAlpha\nBF89D06A\t8260\t33\t-2\tCaf\xC3\xA9 Night\n");
    EXPECT_EQ(info.err, "brimble-cli: missing.nes: cannot be opened (No such file or directory)\n");
}

// The settings give what the options leave out, and brimble-cli never writes them.
TEST_F(CliTest, AConfiguredFolderNeedsNoOptionsAndMatchesTheSpelledOutBuild) {
    WriteFile(dir / "names.dat", NamingList({{RomCrc(32768, 1), "Alpha Prime (U)"}}));
    WriteFile(dir / "saved.txt", Native("roms/Beta_(E).nes\r\nroms/Alpha.nes\r\n"));
    const std::string ini = "[config]\r\nvantaro=Vantaro.GBA\r\noutputfile=auto.gba\r\nautonumber=1\r\nflag190k=1\r\n"
                            "usesplash=1\r\nsplashfile=screen.raw\r\nsavelist=1\r\ngoodnes=names.dat\r\n";
    WriteFile(dir / "brimble.ini", ini);
    EXPECT_NE(RunCli("build").out.find("\n2\t2* Alpha Prime\t"), std::string::npos);
    EXPECT_EQ(RunCli("build --no-autonumber --output o.gba roms/Alpha.nes").out.substr(0, 15), "1\tAlpha Prime*\t");
    EXPECT_TRUE(ReadText(dir / "brimble.ini") == ini && !fs::exists(dir / "goodQuorrel.lst"));
    fs::remove(dir / "brimble.ini");
    RunCli(kBuild + "spelled.gba --autonumber --flag190k --splash screen.raw --db names.dat --from-list saved.txt");
    EXPECT_EQ(ReadFile(dir / "spelled.gba"), ReadFile(dir / "auto.gba"));
}

// A splash goes to a picture and back, a build takes the picture as it takes the raw file, and
// "-" is standard output wherever a command writes a file (what it says then goes to standard error).
TEST_F(CliTest, SplashPicturesGoBothWaysAndAnOutputOfADashIsStandardOutput) {
    EXPECT_EQ(RunCli("splash preview screen.raw screen.png").out, "screen.png: 240x160 PNG\n");
    EXPECT_EQ(RunCli("splash convert screen.png back.raw").out, "back.raw: 76800 bytes\n");
    ASSERT_EQ(RunCli(kBuild + "picture.gba --splash screen.png roms/Alpha.nes").status, 0);
    const std::pair<std::string, const char*> cases[] = {
        {"splash convert screen.png -", "screen.raw"},
        {kBuild + "- --splash screen.raw roms/Alpha.nes", "picture.gba"},
    };
    for (const auto& [line, same] : cases) {
        CliRun run;
        const auto piped = CaptureStandardOutput(dir / "stdout.bin", [&, &line = line] { run = RunCli(line); });
        EXPECT_TRUE(run.status == 0 && piped == ReadText(dir / same) && run.out.empty() && !fs::exists(dir / "-"))
            << same << run.err;
    }
}

} // namespace
} // namespace brimble::test
