// How the core meets a full disk, symbolic links and sparse files, which tests can make only
// on POSIX systems.
#include "builder/CompilationWriter.h"
#include "catalogue/AddRom.h"
#include "catalogue/AtomicFile.h"
#include "catalogue/NesFile.h"
#include "catalogue/Platform.h"
#include "support/GameFiles.h"
#include "support/TestFiles.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace brimble {
namespace {

namespace fs = std::filesystem;
using test::Bytes;

// Caps the size of any file this process writes, so that writes past the cap fail as they
// would on a full disk; the signal that the cap raises is ignored so that the write returns
// an error instead. Both are restored when the object goes.
class FileSizeCap {
public:
    explicit FileSizeCap(rlim_t bytes) {
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        m_active = getrlimit(RLIMIT_FSIZE, &m_previous) == 0;
        if (m_active) {
            rlimit capped = m_previous;
            capped.rlim_cur = bytes;
            m_active = setrlimit(RLIMIT_FSIZE, &capped) == 0;
        }
    }
    ~FileSizeCap() {
        if (m_active)
            setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    FileSizeCap(const FileSizeCap&) = delete;
    FileSizeCap& operator=(const FileSizeCap&) = delete;
    bool Active() const { return m_active; }

private:
    rlimit m_previous{};
    void (*m_previousHandler)(int) = SIG_DFL;
    bool m_active = false;
};

TEST(FilesPosix, DiskFullMidImageKeepsTheOldOutputAndSavedList) {
    test::TempDir dir;
    test::WriteFile(dir / "Vantaro.GBA", test::PatternBytes(40000, 1));
    const Bytes old = test::PatternBytes(3000, 2);
    test::WriteFile(dir / "out.gba", old);
    test::WriteFile(dir / "saved.txt", "old\r\n");
    CompilationJob job;
    job.output = dir / "out.gba";
    job.emulatorPath = dir / "Vantaro.GBA";
    job.savedList = dir / "saved.txt";
    for (std::uint32_t i = 0; i < 4; ++i) {
        const std::string name = "rom" + std::to_string(i) + ".nes";
        test::WriteNesFile(dir / name, 50000, i + 10);
        job.entries.push_back(*AddRom(dir.Path(), name, NameTable{}, GameDatabase{}));
    }
    const auto before = test::FileNames(dir.Path());
    {
        // The image needs about 240,000 bytes; the cap lets it get past the emulator image.
        FileSizeCap cap(100000);
        ASSERT_TRUE(cap.Active());
        EXPECT_EQ(test::WriteImage(job).outcome, WriteOutcome::OutputUnwritable);
    }
    EXPECT_EQ(test::ReadFile(dir / "out.gba"), old);
    EXPECT_EQ(test::ReadText(dir / "saved.txt"), "old\r\n");
    EXPECT_EQ(test::FileNames(dir.Path()), before);
    // Without the cap the same job succeeds, so the cap was what stopped it.
    EXPECT_EQ(test::WriteImage(job).outcome, WriteOutcome::ImageWritten);
    EXPECT_GT(fs::file_size(dir / "out.gba"), 200000u);
}

// An output that is a symbolic link to an input would have the input replaced through the
// link; it is refused like the input's own path.
TEST(FilesPosix, OutputLinkedToAnInputIsRefused) {
    test::TempDir dir;
    const Bytes emulatorBytes = test::PatternBytes(100, 1);
    test::WriteFile(dir / "Vantaro.GBA", emulatorBytes);
    const Bytes romBytes = test::WriteNesFile(dir / "a.nes", 10, 2);
    fs::create_symlink(dir / "Vantaro.GBA", dir / "to-emulator.gba");
    fs::create_symlink(dir / "a.nes", dir / "to-rom.gba");
    for (const char* link : {"to-emulator.gba", "to-rom.gba"}) {
        CompilationJob job;
        job.output = dir / link;
        job.emulatorPath = dir / "Vantaro.GBA";
        job.entries = {*AddRom(dir.Path(), "a.nes", NameTable{}, GameDatabase{})};
        EXPECT_EQ(test::WriteImage(job).outcome, WriteOutcome::OutputUnwritable) << link;
        EXPECT_EQ(test::ReadFile(dir / "Vantaro.GBA"), emulatorBytes);
        EXPECT_EQ(test::ReadFile(dir / "a.nes"), romBytes);
        EXPECT_TRUE(fs::is_symlink(dir / link));
    }
}

// A pipe, a device or a link to one is written in place: replacing it by a plain file would
// destroy it (as root, a link such as /dev/stdout or /dev/null itself).
TEST(FilesPosix, APipeOrDeviceNamedAsOutputIsWrittenInPlaceAndKept) {
    test::TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    fs::create_symlink(dir / "pipe", dir / "link-to-pipe");
    fs::create_symlink("/dev/null", dir / "null.gba");
    for (const char* name : {"pipe", "link-to-pipe"}) {
        SCOPED_TRACE(name);
        std::string received;
        std::thread reader([&] { received = test::ReadText(dir / "pipe"); });
        auto file = AtomicFile::Create(dir / name);
        ASSERT_TRUE(file);
        EXPECT_TRUE(file->IsStream());
        EXPECT_TRUE(file->Write(std::string_view("through the pipe")));
        EXPECT_TRUE(file->Commit());
        reader.join();
        EXPECT_EQ(received, "through the pipe");
    }
    auto null = AtomicFile::Create(dir / "null.gba");
    ASSERT_TRUE(null);
    EXPECT_TRUE(null->Write(std::string_view("gone")) && null->Commit());
    EXPECT_TRUE(fs::is_fifo(dir / "pipe"));
    EXPECT_TRUE(fs::is_symlink(dir / "link-to-pipe"));
    EXPECT_TRUE(fs::is_symlink(dir / "null.gba"));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_EQ(test::FileNames(dir.Path()), (std::set<std::string>{"link-to-pipe", "null.gba", "pipe"}));
}

// SIGINT and SIGTERM remove the temporary file of a write under way, and the process still
// ends by the signal.
TEST(FilesPosix, AnInterruptedWriteLeavesNoTemporaryFile) {
    for (const int signal : {SIGINT, SIGTERM}) {
        test::TempDir dir;
        test::WriteFile(dir / "out.gba", "old");
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            platform::RemoveTemporaryFilesOnInterrupt();
            auto file = AtomicFile::Create(dir / "out.gba");
            if (file && file->Write(std::string_view("half")))
                std::raise(signal);
            ::_exit(99); // not reached when the signal ends the process
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        EXPECT_EQ(test::FileNames(dir.Path()), std::set<std::string>{"out.gba"});
        EXPECT_EQ(test::ReadText(dir / "out.gba"), "old");
    }
}

// A sparse file: its size is refused before any of it is read.
TEST(FilesPosix, RomOfFiveGigabytesIsTooLarge) {
    test::TempDir dir;
    test::WriteNesFile(dir / "huge.nes", 0);
    fs::resize_file(dir / "huge.nes", 5ull << 30);
    const RomInspection inspection = InspectRom(dir / "huge.nes");
    EXPECT_EQ(inspection.status, RomInspectionStatus::TooLarge);
    EXPECT_EQ(inspection.size, 0u);
}

} // namespace
} // namespace brimble
