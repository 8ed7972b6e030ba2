// The settings and the saved list on Windows: backslash lines, wide names, and a settings file
// that cannot be replaced.
#include "settings/SavedList.h"
#include "settings/SettingsStore.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace brimble {
namespace {

using std::filesystem::path;

TEST(SettingsOnWindows, SavedListLinesSplitAtTheLastBackslashAndStandAsTheyAre) {
    test::TempDir dir;
    test::WriteFile(dir / "saved.txt", std::string_view("C:\\ROMS\\GAME.NES\r\n\\\\server\\share\\deep\\x.nes\r\n"
                                                        "C:roms\\rel.nes\r\nno-separator.nes\r\n"
                                                        "D:\\caf\xC3\xA9\\\xC5\x82.nes"));
    const auto roms = RestoreSavedList(dir / "saved.txt");
    ASSERT_EQ(roms.size(), 4u);
    EXPECT_EQ(roms[0].directory.native(), L"C:\\ROMS");
    EXPECT_EQ(roms[0].fileName.native(), L"GAME.NES");
    EXPECT_EQ(roms[1].directory.native(), L"\\\\server\\share\\deep");
    EXPECT_EQ(roms[2].directory.native(), L"C:roms");
    EXPECT_EQ(roms[3].directory.native(), L"D:\\caf\u00e9");
    EXPECT_EQ(roms[3].fileName.native(), L"\u0142.nes");
}

TEST(SettingsOnWindows, AFileThatCannotBeReplacedIsLeftWhole) {
    test::TempDir dir;
    const std::string before = "[config]\r\nautonumber=1\r\n";
    for (const bool readOnly : {true, false}) {
        test::WriteFile(dir / "brimble.ini", before);
        HANDLE holder = INVALID_HANDLE_VALUE;
        if (readOnly) {
            std::filesystem::permissions(dir / "brimble.ini", std::filesystem::perms::owner_write,
                                         std::filesystem::perm_options::remove);
        } else {
            holder = ::CreateFileW((dir / "brimble.ini").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
            ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        }
        const SettingsStore store(dir / "brimble.ini");
        EXPECT_FALSE(store.WriteString("config", "autonumber", "0"));
        if (holder != INVALID_HANDLE_VALUE)
            ::CloseHandle(holder);
        std::filesystem::permissions(dir / "brimble.ini", std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add);
        EXPECT_EQ(test::ReadText(dir / "brimble.ini"), before) << (readOnly ? "read-only" : "held open");
    }
}

} // namespace
} // namespace brimble
