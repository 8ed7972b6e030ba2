#include "settings/SettingsStore.h"

#include "support/TestFiles.h"

#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <string_view>

namespace brimble {
namespace {

using namespace std::string_literals;
using test::ReadText;
using test::TempDir;
using test::WriteFile;

struct IniFile {
    TempDir dir;
    SettingsStore store{dir / "brimble.ini"};
    explicit IniFile(std::string_view text) { WriteFile(dir / "brimble.ini", text); }
};

// What a key of section "config" reads as, then the file after writing a value to it.
TEST(SettingsStore, ReadsAndWritesFilesAsTheProfileFunctionsDo) {
    const std::string noEquals = "noequals" + std::string(1u << 20, 'q'); // hides no key
    const std::string longValue = std::string(1u << 20, '\\') + "z";
    const auto junkBytes = test::PatternBytes(4096, 7);
    const std::string junk(junkBytes.begin(), junkBytes.end());
    struct Case {
        std::string before, read, after, value = "v", key = "k"; // read "-": the default; after "": unchanged
    };
    const Case cases[] = {
        {"[config]\r\nk=\"C:\\new\\t b\"%20=b\r\n", "\"C:\\new\\t b\"%20=b", "", "\"C:\\new\\t b\"%20=b"},
        {"[config]\r\nk=first\r\nK=second\r\n[config]\r\nk=late\r\n", "first",
         "[config]\r\nk=3\r\nK=second\r\n[config]\r\nk=late\r\n", "3"},
        {"[config] ; settings\r\n[broken\r\njunk line\r\nk\r\nk=v\r\n", "v", ""},
        {"[config]\r\n;k=commented\r\n", "-", "[config]\r\n;k=commented\r\nk=v\r\n"},
        {"[config]\r\nk=abc \0def\r\n"s, "abc", "[config]\r\nk=x\r\n", "x"},
        {"[config]\r\n\xC9t\xE9=1\r\n", "-", "[config]\r\n\xC9t\xE9=1\r\n\xE9t\xE9=2\r\n", "2", "\xE9t\xE9"},
        {"; my settings\r\n[other]\r\nk=x\n[CONFIG]\r\n  K =\t0 \r\nlastdir=C:\\roms\n\r\n[more]\r\nz=1", "0",
         "; my settings\r\n[other]\r\nk=x\n[CONFIG]\r\nK=1\r\nlastdir=C:\\roms\n\r\n[more]\r\nz=1", "1"},
        {"[config]\na=1\nk=old\nb=2\n", "old", "[config]\na=1\nk=new\r\nb=2\n", "new"},
        {"[config]\r\na=1\r\nb=2\r\n; note\r\n\r\n[other]\r\nc=3\r\n", "-",
         "[config]\r\na=1\r\nb=2\r\nk=v\r\n; note\r\n\r\n[other]\r\nc=3\r\n"},
        {"[config]\r\n; empty\r\n[other]\r\nk=3\r\n", "-", "[config]\r\nk=v\r\n; empty\r\n[other]\r\nk=3\r\n"},
        {"k=top\r\n[config]\r\na=1", "-", "k=top\r\n[config]\r\na=1\r\nk=v\r\n"},
        {"[other]\r\nc=3", "-", "[other]\r\nc=3\r\n[config]\r\nk=v\r\n"},
        {"[config]\r\na=1\r\n[other]\r\nb=2\r\n[Config]\r\nk=old\r\n", "old",
         "[config]\r\na=1\r\n[other]\r\nb=2\r\n[Config]\r\nk=new\r\n", "new"},
        {"[config]\r\na=1\r\n[other]\r\nb=2\r\n[config]\r\nc=3\r\n[end]\r\n", "-",
         "[config]\r\na=1\r\n[other]\r\nb=2\r\n[config]\r\nc=3\r\nk=v\r\n[end]\r\n"},
        {"\xEF\xBB\xBF[config]\r\nk=1\r\n", "1", "\xEF\xBB\xBF[config]\r\nk=2\r\n", "2"},
        {"\xEF\xBB\xBF", "-", "\xEF\xBB\xBF[config]\r\nk=v\r\n"},
        {"", "-", "[config]\r\nk=C:\\a b\\\"q\".gba\r\n", "C:\\a b\\\"q\".gba"},
        {"[config]\r\n" + noEquals + "\r\nk=old\r\n", "old", "[config]\r\n" + noEquals + "\r\nk=" + longValue + "\r\n",
         longValue},
        {junk + "\r\n[config]\r\nkeep=yes\r\n[after]\r\n" + junk, "-",
         junk + "\r\n[config]\r\nkeep=yes\r\nadded=1\r\n[after]\r\n" + junk, "1", "added"},
    };
    for (const auto& c : cases) {
        const std::string what = c.before.substr(0, 60);
        const IniFile ini(c.before);
        const auto written = std::filesystem::last_write_time(ini.store.File()) - std::chrono::hours(1);
        std::filesystem::last_write_time(ini.store.File(), written);
        for (const SettingsStore& store : {ini.store, SettingsStore::FromBytes(c.before)}) { // the file, then memory
            EXPECT_EQ(store.ReadString("config", c.key, "-"), c.read) << what;
            EXPECT_TRUE(store.WriteString("config", c.key, c.value)) << what;
            EXPECT_EQ(store.Bytes(), c.after.empty() ? c.before : c.after) << what;
        }
        // A file left as it was is not written again.
        EXPECT_EQ(std::filesystem::last_write_time(ini.store.File()) == written, c.after.empty()) << what;
    }
}

TEST(SettingsStore, AMissingFileReadsAsDefaultsAndIsMadeByTheFirstWrite) {
    TempDir dir;
    const SettingsStore store(dir / "brimble.ini");
    EXPECT_EQ(store.ReadInt("config", "k", 9), 9);
    EXPECT_FALSE(std::filesystem::exists(dir / "brimble.ini")) << "reading must not create the file";
    EXPECT_TRUE(store.WriteString("config", "k", ""));
    EXPECT_EQ(ReadText(dir / "brimble.ini"), "[config]\r\nk=\r\n");
    EXPECT_EQ(store.ReadInt("config", "k", 9), 0); // a value with no leading number
}

TEST(SettingsStore, RefusesWhatCannotBeOneLineAndLeavesTheFile) {
    using namespace std::string_view_literals;
    const std::array<std::string_view, 3> cases[] = {
        {"config", "k", "a\nb=1"}, {"config", "k", "a\rb"}, {"config", "k", "a\0b"sv}, {"config", "k=x", "v"},
        {"config", "", "v"},       {"config", "[k]", "v"},  {"config", " k", "v"},     {"con]fig", "k", "v"},
        {"con\nfig", "k", "v"},    {" config", "k", "v"},   {"con\0fig"sv, "k", "v"},  {"config", "k\0"sv, "v"},
    };
    const std::string original = "[config]\r\nk=keep\r\n";
    for (const auto& [section, key, value] : cases) {
        const IniFile ini(original);
        EXPECT_FALSE(ini.store.WriteString(section, key, value)) << section << " " << key << " " << value;
        EXPECT_EQ(ini.store.Bytes(), original);
    }
}

TEST(SettingsStore, WhatCannotBeReplacedIsLeftAsItWas) {
    namespace fs = std::filesystem;
    TempDir dir;
    const std::string original = "[config]\r\nk=1\r\n";
    fs::create_directory(dir / "folder.ini");
    fs::create_directory(dir / "ro");
    WriteFile(dir / "ro" / "brimble.ini", original);
    WriteFile(dir / "unreadable.ini", original);
    fs::permissions(dir / "ro", fs::perms::owner_read | fs::perms::owner_exec);
    fs::permissions(dir / "unreadable.ini", fs::perms::none);
    const bool permissionsHold = !std::ofstream(dir / "ro" / "probe").is_open(); // they do not stop root
    fs::remove(dir / "ro" / "probe");
    for (const auto& [file, byPermissions] : {std::pair{dir / "nowhere" / "brimble.ini", false},
                                              {dir / "folder.ini", false},
                                              {dir / "ro" / "brimble.ini", true},
                                              {dir / "unreadable.ini", true}}) {
        if (byPermissions && !permissionsHold)
            continue;
        EXPECT_FALSE(SettingsStore(file).WriteString("config", "k", "2")) << file;
    }
    fs::permissions(dir / "ro", fs::perms::owner_all);
    fs::permissions(dir / "unreadable.ini", fs::perms::owner_read);
    EXPECT_EQ(ReadText(dir / "ro" / "brimble.ini"), original);
    EXPECT_EQ(ReadText(dir / "unreadable.ini"), original);
    EXPECT_EQ(test::FileNames(dir.Path()), (std::set<std::string>{"folder.ini", "ro", "unreadable.ini"}));
    EXPECT_EQ(test::FileNames(dir / "ro"), std::set<std::string>{"brimble.ini"});
}

} // namespace
} // namespace brimble
