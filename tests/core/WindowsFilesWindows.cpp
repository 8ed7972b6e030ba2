// How the core meets Windows: wide file names, and targets that another program holds open or
// that are read-only.
#include "builder/CompilationWriter.h"
#include "catalogue/AddRom.h"
#include "catalogue/ListFiles.h"
#include "catalogue/Paths.h"
#include "support/GameFiles.h"
#include "support/TestFiles.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <windows.h>

namespace brimble {
namespace {

using std::filesystem::path;

// Wide file names open, their titles are Windows-1252 and the saved list UTF-8. A read-only
// target, or one that another program holds open without sharing (as an editor or a virus scanner
// may), is not replaced: the image and the database say they did not write, and the old files stay.
TEST(WindowsFiles, WideNamesAreReadAndTargetsThatCannotBeReplacedKeepTheirContents) {
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
    job.entries = {*AddRom(dir.Path(), latin, NameTable{}, GameDatabase{}),
                   *AddRom(dir.Path(), wide, NameTable{}, GameDatabase{})};
    EXPECT_EQ(job.entries[0].title, "\xE9\xFC\xF1");
    EXPECT_EQ(job.entries[1].title, "??");
    ASSERT_EQ(test::WriteImage(job).outcome, WriteOutcome::ImageWritten);
    const std::string folder = PathToStoredText(dir.Path());
    EXPECT_EQ(test::ReadText(dir / "saved.txt"),
              folder + "\\\xC3\xA9\xC3\xBC\xC3\xB1_(E).nes\r\n" + folder + "\\\xC5\x82\xE6\x97\xA5.nes\r\n");

    for (const std::string kind : {"read-only", "held open"}) {
        SCOPED_TRACE(kind);
        job.output = dir / (kind + ".gba");
        const path list = dir / (kind + ".lst");
        std::vector<HANDLE> holders;
        for (const path& target : {job.output, list}) {
            test::WriteFile(target, std::string_view("old"));
            if (kind == "read-only")
                std::filesystem::permissions(target, std::filesystem::perms::none);
            else
                holders.push_back(::CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        }
        EXPECT_EQ(std::ranges::count(holders, INVALID_HANDLE_VALUE), 0);
        EXPECT_EQ(test::WriteImage(job).outcome, WriteOutcome::OutputUnwritable);
        EXPECT_FALSE(WriteGameDatabase(list, GameDatabase{}));
        for (const HANDLE holder : holders)
            ::CloseHandle(holder);
        EXPECT_EQ(test::ReadText(job.output), "old");
        EXPECT_EQ(test::ReadText(list), "old");
    }
}

} // namespace
} // namespace brimble
