#pragma once

#include "Cli.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <iterator>
#include <sstream>

namespace brimble::test {

// One run of brimble-cli in this process, with what it printed.
struct CliRun {
    int status = -1;
    std::string out, err;
};

// Runs a command line as written, split at its blanks.
inline CliRun RunCli(const std::string& line) {
    std::istringstream words(line);
    std::ostringstream out, err;
    const int status = cli::RunCli({std::istream_iterator<std::string>(words), {}}, out, err);
    return {status, out.str(), err.str()};
}

// The start of a build command line that names the emulator image, up to the output's name.
inline const std::string kBuild = "build --emulator Vantaro.GBA --output ";

// A folder, the current directory meanwhile, with an emulator image, two ROMs and a raw splash.
class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFile(dir / "Vantaro.GBA", PatternBytes(1001, 5));
        std::filesystem::create_directory(dir / "roms");
        WriteNesFile(dir / "roms" / "Alpha.nes", 32768, 1); // 32784 bytes
        WriteNesFile(dir / "roms" / "Beta_(E).nes", 8195, 2);
        // Its pixels are all colours (bit 15 clear), as a preview gives them back.
        for (auto& byte : raw)
            byte &= 0x7F;
        WriteFile(dir / "screen.raw", raw);
    }
    TempDir dir;
    CurrentDirectory cwd{dir.Path()};
    Bytes raw = PatternBytes(76800, 11);
};

} // namespace brimble::test
