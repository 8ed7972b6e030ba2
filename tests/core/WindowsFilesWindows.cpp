// How the core meets Windows: wide file names, backslash paths, and targets that another
// program holds open or that are read-only.
#include "builder/CompilationWriter.h"
#include "catalogue/AddRom.h"
#include "catalogue/ListFiles.h"
#include "catalogue/Paths.h"
#include "support/TestFiles.h"

#include <fstream>
#include <gtest/gtest.h>
#include <windows.h>

namespace brimble {
namespace {

using std::filesystem::path;

// An open handle that shares nothing, as an editor or a virus scanner may hold a file.
class ExclusiveHandle {
public:
    explicit ExclusiveHandle(const path& file)
        : m_handle(
              ::CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~ExclusiveHandle() {
        if (m_handle != INVALID_HANDLE_VALUE)
            ::CloseHandle(m_handle);
    }
    bool IsOpen() const { return m_handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_handle;
};

TEST(WindowsFiles, RomsWithWideNamesOpenAndTheirTitlesAreWindows1252) {
    test::TempDir dir;
    const path latin(u8"\u00e9\u00fc\u00f1_(E).nes");
    const path wide(u8"\u0142\u65e5\u672c.nes");
    test::WriteNesFile(dir / latin, 300, 1);
    test::WriteNesFile(dir / wide, 300, 2);

    const auto first = AddRom(dir.Path(), latin, NameTable{}, GameDatabase{});
    const auto second = AddRom(dir.Path(), wide, NameTable{}, GameDatabase{});
    ASSERT_TRUE(first);
    ASSERT_TRUE(second);
    EXPECT_EQ(first->title, "\xE9\xFC\xF1");
    EXPECT_EQ(second->title, "???");
}

TEST(WindowsFiles, PathsAreJoinedWithABackslashAndTakenAsTheyStand) {
    EXPECT_EQ(JoinPath(path(L"C:\\ROMS"), path(L"GAME.NES")).native(), L"C:\\ROMS\\GAME.NES");
    EXPECT_EQ(JoinPath(path(L"C:"), path(L"GAME.NES")).native(), L"C:\\GAME.NES");
    for (const wchar_t* text :
         {L"C:\\ROMS\\GAME.NES", L"\\\\server\\share\\GAME.NES", L"C:roms\\GAME.NES", L"\\GAME.NES"}) {
        const auto parts = SplitPath(path(text));
        ASSERT_TRUE(parts);
        EXPECT_EQ(JoinPath(parts->first, parts->second).native(), text);
    }
}

TEST(WindowsFiles, TheSavedListHoldsBackslashPathsInUtf8) {
    test::TempDir dir;
    const path name(u8"\u0142\u00e9.nes");
    test::WriteNesFile(dir / name, 100, 3);
    test::WriteFile(dir / "emu.gba", test::PatternBytes(8, 1));
    CompilationJob job;
    job.output = dir / "out.gba";
    job.emulatorPath = dir / "emu.gba";
    job.savedList = dir / "saved.txt";
    job.entries.push_back(*AddRom(dir.Path(), name, NameTable{}, GameDatabase{}));
    std::ifstream emulator(job.emulatorPath, std::ios::binary);
    ASSERT_EQ(WriteCompilation(job, emulator, {}).outcome, WriteOutcome::ImageWritten);
    EXPECT_EQ(test::ReadText(dir / "saved.txt"), PathToStoredText(dir.Path()) + "\\\xC5\x82\xC3\xA9.nes\r\n");
}

class UnreplaceableTarget : public ::testing::TestWithParam<bool> {
protected:
    // true: the target is read-only; false: another program holds it open without sharing.
    bool ReadOnly() const { return GetParam(); }
};

TEST_P(UnreplaceableTarget, TheImageIsNotWrittenAndTheOldFileStays) {
    test::TempDir dir;
    test::WriteFile(dir / "emu.gba", test::PatternBytes(16, 1));
    test::WriteNesFile(dir / "a.nes", 100, 1);
    const test::Bytes old = test::PatternBytes(77, 9);
    test::WriteFile(dir / "out.gba", old);
    if (ReadOnly())
        std::filesystem::permissions(dir / "out.gba", std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::remove);
    CompilationJob job;
    job.output = dir / "out.gba";
    job.emulatorPath = dir / "emu.gba";
    job.entries.push_back(*AddRom(dir.Path(), "a.nes", NameTable{}, GameDatabase{}));
    {
        ExclusiveHandle holder(ReadOnly() ? dir / "absent" : dir / "out.gba");
        ASSERT_TRUE(ReadOnly() || holder.IsOpen());
        std::ifstream emulator(job.emulatorPath, std::ios::binary);
        EXPECT_EQ(WriteCompilation(job, emulator, {}).outcome, WriteOutcome::OutputUnwritable);
    }
    EXPECT_EQ(test::ReadFile(dir / "out.gba"), old);
}

TEST_P(UnreplaceableTarget, TheDatabaseWriterSaysItDidNotWrite) {
    test::TempDir dir;
    test::WriteFile(dir / "db.lst", std::string_view("old database\r\n"));
    if (ReadOnly())
        std::filesystem::permissions(dir / "db.lst", std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::remove);
    GameDatabase database;
    database.Store(0xABCD, GameRecord{"Abc", ColourCode::None, "", 0, 0});
    {
        ExclusiveHandle holder(ReadOnly() ? dir / "absent" : dir / "db.lst");
        EXPECT_FALSE(WriteGameDatabase(dir / "db.lst", database));
    }
    EXPECT_EQ(test::ReadText(dir / "db.lst"), "old database\r\n");
}

INSTANTIATE_TEST_SUITE_P(ReadOnlyOrHeldOpen, UnreplaceableTarget, ::testing::Bool());

} // namespace
} // namespace brimble
