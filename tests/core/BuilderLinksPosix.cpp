#include "builder/CompilationWriter.h"
#include "support/TestFiles.h"

#include <fstream>
#include <gtest/gtest.h>

namespace brimble {
namespace {

namespace fs = std::filesystem;

// An output that is a symbolic link to an input would have the input replaced through the
// link; it is refused like the input's own path.
TEST(BuilderLinksTest, OutputLinkedToAnInputIsRefused) {
    test::TempDir dir;
    const fs::path emulator = dir / "Vantaro.GBA";
    const test::Bytes emulatorBytes = test::PatternBytes(100, 1);
    test::WriteFile(emulator, emulatorBytes);
    const test::Bytes romBytes = test::WriteNesFile(dir / "a.nes", 10, 2);

    RomEntry rom;
    rom.directory = dir.Path();
    rom.fileName = "a.nes";
    rom.title = "A";
    rom.size = 28 + kRomHeaderSize;

    fs::create_symlink(emulator, dir / "to-emulator.gba");
    fs::create_symlink(dir / "a.nes", dir / "to-rom.gba");
    for (const char* link : {"to-emulator.gba", "to-rom.gba"}) {
        SCOPED_TRACE(link);
        CompilationJob job;
        job.output = dir / link;
        job.emulatorPath = emulator;
        job.entries = {rom};
        std::ifstream emulatorStream(emulator, std::ios::binary);
        EXPECT_EQ(WriteCompilation(job, emulatorStream, {}).outcome, WriteOutcome::OutputUnwritable);
        EXPECT_EQ(test::ReadFile(emulator), emulatorBytes);
        EXPECT_EQ(test::ReadFile(dir / "a.nes"), romBytes);
        EXPECT_TRUE(fs::is_symlink(dir / link));
    }
}

} // namespace
} // namespace brimble
