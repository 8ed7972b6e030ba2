// Pipes named where a file is read, which only POSIX tests can make.
#include "CliRun.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brimble {
namespace {

// A pipe that nobody writes to makes an ordinary open wait for ever. Should a case hang, the
// alarm ends the test program instead of the whole suite waiting for it.
TEST(CliPosix, APipeNamedAsAnyInputIsRefusedWithoutWaiting) {
    test::TempDir dir;
    test::CurrentDirectory cwd(dir.Path());
    ASSERT_EQ(::mkfifo("pipe", 0600), 0);
    test::WriteFile(dir / "Vantaro.GBA", test::PatternBytes(100, 1));
    test::WriteNesFile(dir / "a.nes", 100);
    test::WriteFile(dir / "list.txt", "./pipe\n./a.nes\n");
    const std::string notAFile = "pipe: is not a regular file (a device, pipe or socket)";
    const std::string build = "build --emulator Vantaro.GBA --output out.gba ";
    const std::pair<std::string, std::string> cases[] = {
        {"info pipe", notAFile},
        {"info --db pipe a.nes", notAFile},
        {"splash convert pipe out.raw", notAFile},
        {"build --emulator pipe --output out.gba a.nes", notAFile},
        {build + "a.nes pipe", notAFile + ", left out"},
        {build + "--splash pipe a.nes", notAFile + "; the image has no splash screen"},
        {build + "--from-list pipe a.nes", notAFile},
        {build + "--from-list list.txt", "list.txt:1: ./" + notAFile + ", left out"},
    };
    ::alarm(60);
    for (const auto& [line, message] : cases) {
        const auto run = test::RunCli(test::Words(line));
        EXPECT_NE(run.status, 0) << message;
        EXPECT_EQ(run.err.substr(0, run.err.find('\n') + 1), "brimble-cli: " + message + "\n");
    }
    ::alarm(0);
    EXPECT_TRUE(std::filesystem::is_fifo(dir / "pipe"));
}

} // namespace
} // namespace brimble
