// A settings file that Windows will not let be replaced, read-only or held open by another
// program, is left whole and the write says it failed.
#include "settings/SettingsStore.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace brimble {
namespace {

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
        EXPECT_FALSE(SettingsStore(dir / "brimble.ini").WriteString("config", "autonumber", "0"));
        if (holder != INVALID_HANDLE_VALUE)
            ::CloseHandle(holder);
        std::filesystem::permissions(dir / "brimble.ini", std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add);
        EXPECT_EQ(test::ReadText(dir / "brimble.ini"), before) << (readOnly ? "read-only" : "held open");
    }
}

} // namespace
} // namespace brimble
