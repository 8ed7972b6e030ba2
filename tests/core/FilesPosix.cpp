// How the core meets full disks, kills, symbolic links, pipes and sparse files: POSIX-only cases.
#include "builder/CompilationWriter.h"
#include "catalogue/AddRom.h"
#include "catalogue/AtomicFile.h"
#include "catalogue/NesFile.h"
#include "catalogue/Platform.h"
#include "support/GameFiles.h"
#include "support/TestFiles.h"

#include <cerrno>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace brimble {
namespace {

namespace fs = std::filesystem;

// Runs body in a child process, which ends with what body returns; gives the child's wait status.
int StatusOfChild(const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(body());
    int status = -1;
    return ::waitpid(child, &status, 0) == child ? status : -1;
}

// A full disk, or an output linked to an input (which would be replaced through it), keeps every file.
TEST(FilesPosix, AFullDiskOrAnOutputLinkedToAnInputKeepsEveryFile) {
    test::TempDir dir;
    const auto emulator = test::WriteNesFile(dir / "Vantaro.GBA", 40000, 1);
    const auto rom = test::WriteNesFile(dir / "a.nes", 200000, 2);
    const auto old = test::WriteNesFile(dir / "out.gba", 3000, 3);
    test::WriteFile(dir / "saved.txt", "old\r\n");
    fs::create_symlink(dir / "Vantaro.GBA", dir / "to-emulator.gba");
    fs::create_symlink(dir / "a.nes", dir / "to-rom.gba");
    CompilationJob job;
    job.emulatorPath = dir / "Vantaro.GBA";
    job.savedList = dir / "saved.txt";
    job.entries = {*AddRom(dir.Path(), "a.nes", NameTable{}, GameDatabase{})};
    const auto before = test::FileNames(dir.Path());
    for (const char* link : {"to-emulator.gba", "to-rom.gba"}) {
        job.output = dir / link;
        EXPECT_EQ(test::WriteImage(job).outcome, WriteOutcome::OutputUnwritable) << link;
        EXPECT_TRUE(fs::is_symlink(dir / link));
    }
    job.output = dir / "out.gba";
    // A cap on the child's file sizes fails the writes past the emulator image as a full disk would.
    const int status = StatusOfChild([&] {
        std::signal(SIGXFSZ, SIG_IGN); // so that the writes past the cap return errors
        const rlimit cap{100000, 100000};
        return ::setrlimit(RLIMIT_FSIZE, &cap) != 0 || test::WriteImage(job).outcome != WriteOutcome::OutputUnwritable;
    });
    EXPECT_EQ(status, 0); // the child was capped and its build failed
    EXPECT_EQ(test::FileNames(dir.Path()), before);
    EXPECT_EQ(test::ReadFile(dir / "Vantaro.GBA"), emulator);
    EXPECT_EQ(test::ReadFile(dir / "a.nes"), rom);
    EXPECT_EQ(test::ReadFile(dir / "out.gba"), old);
    EXPECT_EQ(test::ReadText(dir / "saved.txt"), "old\r\n");
    // Without the cap the same job succeeds, so the cap was what stopped it.
    EXPECT_EQ(test::WriteImage(job).outcome, WriteOutcome::ImageWritten);
}

// SIGINT and SIGTERM remove the temporary file of a write under way and still end the process; the
// temporary file of a process that runs (this one, for the child) stays, even with errno left at ESRCH.
TEST(FilesPosix, AnInterruptedWriteLeavesNoTemporaryFile) {
    for (const int signal : {SIGINT, SIGTERM}) {
        test::TempDir dir;
        test::WriteFile(dir / "out.gba", "old");
        const std::string running = "out.gba.tmp-" + std::to_string(platform::CurrentProcessId()) + "-1";
        test::WriteFile(dir / running, "running");
        const int status = StatusOfChild([&] {
            platform::RemoveTemporaryFilesOnInterrupt();
            errno = ESRCH;
            auto file = AtomicFile::Create(dir / "out.gba");
            if (file && file->Write(std::string_view("half")))
                std::raise(signal);
            return 99; // not reached when the signal ends the process
        });
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        EXPECT_EQ(test::FileNames(dir.Path()), (std::set<std::string>{"out.gba", running}));
        EXPECT_EQ(test::ReadText(dir / "out.gba"), "old");
    }
}

// A pipe, a device or a link to one is written in place: replacing it by a plain file would
// destroy it (as root, a link such as /dev/stdout or /dev/null itself).
TEST(FilesPosix, APipeOrALinkToOneNamedAsOutputIsWrittenInPlaceAndKept) {
    test::TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    fs::create_symlink(dir / "pipe", dir / "link-to-pipe");
    for (const char* name : {"pipe", "link-to-pipe"}) {
        std::string received;
        std::thread reader([&] { received = test::ReadText(dir / "pipe"); });
        auto file = AtomicFile::Create(dir / name);
        ASSERT_TRUE(file && file->IsStream()) << name;
        EXPECT_TRUE(file->Write(std::string_view("through the pipe")) && file->Commit());
        reader.join();
        EXPECT_EQ(received, "through the pipe") << name;
    }
    EXPECT_TRUE(fs::is_fifo(dir / "pipe") && fs::is_symlink(dir / "link-to-pipe"));
}

// A sparse file: its size is refused before any of it is read.
TEST(FilesPosix, RomOfFiveGigabytesIsTooLarge) {
    test::TempDir dir;
    test::WriteNesFile(dir / "huge.nes", 0);
    fs::resize_file(dir / "huge.nes", 5ull << 30);
    EXPECT_EQ(InspectRom(dir / "huge.nes").status, RomInspectionStatus::TooLarge);
}

} // namespace
} // namespace brimble
