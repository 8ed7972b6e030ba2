// How the core meets Windows: wide file names, backslash paths, and targets that another
// program holds open or that are read-only.
#include "builder/CompilationWriter.h"
#include "catalogue/AddRom.h"
#include "catalogue/ListFiles.h"
#include "catalogue/Paths.h"
#include "support/GameFiles.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace brimble {
namespace {

using std::filesystem::path;

TEST(WindowsFiles, RomsWithWideNamesOpenTheirTitlesAreWindows1252AndTheSavedListIsUtf8) {
    test::TempDir dir;
    const path latin(u8"\u00e9\u00fc\u00f1_(E).nes");
    const path wide(u8"\u0142\u65e5.nes");
    test::WriteNesFile(dir / latin, 300, 1);
    test::WriteNesFile(dir / wide, 300, 2);
    test::WriteFile(dir / "emu.gba", test::PatternBytes(8, 1));
    CompilationJob job;
    job.output = dir / "out.gba";
    job.emulatorPath = dir / "emu.gba";
    job.savedList = dir / "saved.txt";
    for (const path& name : {latin, wide}) {
        const auto entry = AddRom(dir.Path(), name, NameTable{}, GameDatabase{});
        ASSERT_TRUE(entry);
        job.entries.push_back(*entry);
    }
    EXPECT_EQ(job.entries[0].title, "\xE9\xFC\xF1");
    EXPECT_EQ(job.entries[1].title, "??");
    ASSERT_EQ(test::WriteImage(job).outcome, WriteOutcome::ImageWritten);
    EXPECT_EQ(test::ReadText(dir / "saved.txt"), PathToStoredText(dir.Path()) +
                                                     "\\\xC3\xA9\xC3\xBC\xC3\xB1_(E).nes\r\n" +
                                                     PathToStoredText(dir.Path()) + "\\\xC5\x82\xE6\x97\xA5.nes\r\n");
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

// A read-only target, or one that another program holds open without sharing (as an editor
// or a virus scanner may), is not replaced: the image and the database say they did not
// write, and the old files stay.
TEST(WindowsFiles, ATargetThatCannotBeReplacedKeepsItsOldContents) {
    for (const bool readOnly : {true, false}) {
        SCOPED_TRACE(readOnly ? "read-only" : "held open");
        test::TempDir dir;
        test::WriteFile(dir / "emu.gba", test::PatternBytes(16, 1));
        test::WriteNesFile(dir / "a.nes", 100, 1);
        const test::Bytes old = test::PatternBytes(77, 9);
        test::WriteFile(dir / "out.gba", old);
        test::WriteFile(dir / "db.lst", std::string_view("old database\r\n"));
        std::vector<HANDLE> holders;
        for (const char* name : {"out.gba", "db.lst"}) {
            if (readOnly) {
                std::filesystem::permissions(dir / name, std::filesystem::perms::owner_write,
                                             std::filesystem::perm_options::remove);
            } else {
                holders.push_back(::CreateFileW((dir / name).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                                FILE_ATTRIBUTE_NORMAL, nullptr));
                ASSERT_NE(holders.back(), INVALID_HANDLE_VALUE);
            }
        }
        CompilationJob job;
        job.output = dir / "out.gba";
        job.emulatorPath = dir / "emu.gba";
        job.entries.push_back(*AddRom(dir.Path(), "a.nes", NameTable{}, GameDatabase{}));
        EXPECT_EQ(test::WriteImage(job).outcome, WriteOutcome::OutputUnwritable);
        GameDatabase database;
        database.Store(0xABCD, GameRecord{"Abc", ColourCode::None, "", 0, 0});
        EXPECT_FALSE(WriteGameDatabase(dir / "db.lst", database));
        for (const HANDLE holder : holders)
            ::CloseHandle(holder);
        EXPECT_EQ(test::ReadFile(dir / "out.gba"), old);
        EXPECT_EQ(test::ReadText(dir / "db.lst"), "old database\r\n");
    }
}

} // namespace
} // namespace brimble
