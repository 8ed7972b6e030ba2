#include "builder/CompilationWriter.h"
#include "support/TestFiles.h"

#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <sys/resource.h>

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

std::set<std::string> Names(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& item : fs::directory_iterator(dir))
        names.insert(item.path().filename().string());
    return names;
}

TEST(BuilderFullDiskTest, WriteFailureMidImageKeepsOldOutputAndSavedList) {
    test::TempDir dir;
    const fs::path emulator = dir / "Vantaro.GBA";
    const fs::path output = dir / "out.gba";
    const fs::path saved = dir / "saved.txt";
    test::WriteFile(emulator, test::PatternBytes(40000, 1));
    const Bytes old = test::PatternBytes(3000, 2);
    test::WriteFile(output, old);
    test::WriteFile(saved, "old\r\n");

    CompilationJob job;
    job.output = output;
    job.emulatorPath = emulator;
    job.savedList = saved;
    for (std::uint32_t i = 0; i < 4; ++i) {
        const std::string name = "rom" + std::to_string(i) + ".nes";
        const Bytes file = test::WriteNesFile(dir / name, 50000, i + 10);
        RomEntry entry;
        entry.directory = dir.Path();
        entry.fileName = name;
        entry.title = name;
        entry.size = static_cast<std::uint32_t>(((file.size() + 3) & ~std::size_t{3}) + kRomHeaderSize);
        job.entries.push_back(entry);
    }
    const auto before = Names(dir.Path());

    CompilationResult result;
    std::size_t romsStarted = 0;
    CompilationHooks hooks;
    hooks.progress = [&](std::size_t position, std::uint64_t) { romsStarted = position; };
    {
        // The image needs about 240,000 bytes; the cap lets it get past the emulator image.
        FileSizeCap cap(100000);
        ASSERT_TRUE(cap.Active());
        std::ifstream emulatorStream(emulator, std::ios::binary);
        result = WriteCompilation(job, emulatorStream, hooks);
    }

    EXPECT_EQ(result.outcome, WriteOutcome::OutputUnwritable);
    EXPECT_GE(romsStarted, 1u); // the failure came while ROMs were being written
    EXPECT_EQ(test::ReadFile(output), old);
    EXPECT_EQ(test::ReadText(saved), "old\r\n");
    EXPECT_EQ(Names(dir.Path()), before);

    // The same job without the cap succeeds, so the cap was what stopped it.
    std::ifstream emulatorStream(emulator, std::ios::binary);
    EXPECT_EQ(WriteCompilation(job, emulatorStream, {}).outcome, WriteOutcome::ImageWritten);
    EXPECT_GT(fs::file_size(output), 200000u);
}

} // namespace
} // namespace brimble
