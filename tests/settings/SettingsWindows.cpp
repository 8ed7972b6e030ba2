// A settings file that Windows will not let be replaced, read-only or held open by another
// program, is left whole and the write says it failed.
#include "settings/SettingsStore.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace brimble {
namespace {

TEST(SettingsOnWindows, AFileThatCannotBeReplacedIsLeftWhole) {
    namespace fs = std::filesystem;
    test::TempDir dir;
    const std::string before = "[config]\r\nautonumber=1\r\n";
    test::WriteFile(dir / "brimble.ini", before);
    const SettingsStore store(dir / "brimble.ini");
    fs::permissions(store.File(), fs::perms::owner_write, fs::perm_options::remove);
    EXPECT_FALSE(store.WriteString("config", "autonumber", "0")) << "read-only";
    fs::permissions(store.File(), fs::perms::owner_write, fs::perm_options::add);
    const HANDLE holder =
        ::CreateFileW(store.File().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(store.WriteString("config", "autonumber", "0")) << "held open";
    ::CloseHandle(holder);
    EXPECT_EQ(test::ReadText(store.File()), before);
}

} // namespace
} // namespace brimble
