// Pipes named where a file is read, which only POSIX tests can make.
#include "CliRun.h"

#include <sys/stat.h>
#include <unistd.h>

namespace brimble::test {
namespace {

// A pipe that nobody writes to makes an ordinary open wait for ever. Should a case hang, the
// alarm ends the test program instead of the whole suite waiting for it.
TEST_F(CliTest, APipeNamedAsAnyInputIsRefusedWithoutWaiting) {
    ASSERT_EQ(::mkfifo("pipe", 0600), 0);
    WriteFile(dir / "list.txt", "./pipe\nroms/Alpha.nes\n");
    const std::string notAFile = "pipe: is not a regular file (a device, pipe or socket)";
    const std::pair<std::string, std::string> cases[] = {
        {"info pipe", notAFile},
        {"info --db pipe roms/Alpha.nes", notAFile},
        {"splash convert pipe out.raw", notAFile},
        {"build --emulator pipe --output out.gba roms/Alpha.nes", notAFile},
        {kBuild + "out.gba roms/Alpha.nes pipe", notAFile + ", left out"},
        {kBuild + "out.gba --splash pipe roms/Alpha.nes", notAFile + "; the image has no splash screen"},
        {kBuild + "out.gba --from-list pipe roms/Alpha.nes", notAFile},
        {kBuild + "out.gba --from-list list.txt", "list.txt:1: ./" + notAFile + ", left out"},
    };
    ::alarm(60);
    for (const auto& [line, message] : cases) {
        const auto run = RunCli(line);
        EXPECT_NE(run.status, 0) << message;
        EXPECT_EQ(run.err.substr(0, run.err.find('\n') + 1), "brimble-cli: " + message + "\n");
    }
    ::alarm(0);
    EXPECT_TRUE(std::filesystem::is_fifo(dir / "pipe"));
}

} // namespace
} // namespace brimble::test
