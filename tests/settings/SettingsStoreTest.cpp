#include "settings/SettingsStore.h"

#include "support/TestFiles.h"

#include <climits>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <vector>

namespace brimble {
namespace {

using test::ReadText;
using test::TempDir;
using test::WriteFile;

using Names = std::set<std::string>;

// A settings file holding the given text, in a folder of its own.
struct IniFile {
    TempDir dir;
    SettingsStore store{dir / "brimble.ini"};
    explicit IniFile(std::string_view text) { WriteFile(dir / "brimble.ini", text); }
    std::string Text() const { return ReadText(dir / "brimble.ini"); }
};

// ---- Reading ----

struct ReadCase {
    const char* what;
    std::string_view file;
    std::string_view section;
    std::string_view key;
    std::string_view expected; // "<default>" when the default must come back
};

constexpr std::string_view kDefault = "<default>";

TEST(SettingsStoreRead, ReadsFilesAsTheProfileFunctionsWriteThem) {
    using namespace std::string_view_literals;
    const ReadCase cases[] = {
        {"CR LF file", "[config]\r\nflag190k=1\r\noutputfile=C:\\out\\a.gba\r\n", "config", "outputfile",
         "C:\\out\\a.gba"},
        {"blanks around key and value", "[config]\r\n  outputfile \t=  C:\\out dir\\x.gba \t\r\n", "config",
         "outputfile", "C:\\out dir\\x.gba"},
        {"names in other case", "[CONFIG]\r\nVanTaro=emu.gba\r\n", "Config", "VANTARO", "emu.gba"},
        {"quotes, backslashes and '=' kept", "[config]\r\nk=\"C:\\new\\t b\"%20=b\r\n", "config", "k",
         "\"C:\\new\\t b\"%20=b"},
        {"empty value is no default", "[config]\r\nk=\r\n", "config", "k", ""},
        {"key before the section, in another section or missing", "k=1\r\n[config]\r\nother=1\r\n[other]\r\nk=2\r\n",
         "config", "k", kDefault},
        {"key given twice: first stands", "[config]\r\nk=first\r\nK=second\r\n", "config", "k", "first"},
        {"section given twice: keys of both", "[config]\r\na=1\r\n[other]\r\nb=2\r\n[Config]\r\nk=late\r\n", "config",
         "k", "late"},
        {"section given twice: first occurrence wins", "[config]\r\nk=early\r\n[config]\r\nk=late\r\n", "config", "k",
         "early"},
        {"lines without '=' ignored", "[config]\r\njunk line\r\nk\r\nk=v\r\n", "config", "k", "v"},
        {"a '[' line without ']' is no header", "[config]\r\n[broken\r\nk=v\r\n", "config", "k", "v"},
        {"text after the header's ']' ignored", "[config] ; settings\r\nk=v\r\n", "config", "k", "v"},
        {"comment line is its own key", "[config]\r\n;k=commented\r\n", "config", "k", kDefault},
        {"byte order mark", "\xEF\xBB\xBF[config]\r\nk=v\r\n", "config", "k", "v"},
        {"value ends at NUL", "[config]\r\nk=abc\0def\r\n"sv, "config", "k", "abc"},
        {"non-ASCII bytes compared exactly", "[config]\r\n\xC9t\xE9=1\r\n", "config", "\xE9t\xE9", kDefault},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string expected(c.expected == kDefault ? std::string_view("fallback") : c.expected);
        EXPECT_EQ(IniFile(c.file).store.ReadString(c.section, c.key, "fallback"), expected);
    }
}

TEST(SettingsStoreRead, ReadIntTakesTheLeadingDecimalNumber) {
    // The number rule itself is LeadingDecimal's; here: a present but empty value reads as 0.
    const std::pair<std::string_view, int> cases[] = {{"-12abc", -12}, {"", 0}};
    TempDir dir;
    for (const auto& [value, expected] : cases) {
        WriteFile(dir / "brimble.ini", "[config]\r\nn=" + std::string(value) + "\r\n");
        EXPECT_EQ(SettingsStore(dir / "brimble.ini").ReadInt("config", "n", 55), expected) << value;
    }
}

TEST(SettingsStoreRead, MissingFileSectionOrKeyGivesTheDefaultAndEveryReadSeesTheFileAsItIsNow) {
    TempDir dir;
    const SettingsStore store(dir / "brimble.ini");
    EXPECT_EQ(store.ReadString("config", "k", "dflt"), "dflt");
    EXPECT_EQ(store.ReadInt("config", "k", 9), 9);
    EXPECT_FALSE(std::filesystem::exists(dir / "brimble.ini")) << "reading must not create the file";
    EXPECT_EQ(SettingsStore(dir.Path()).ReadString("config", "k", "dflt"), "dflt");

    WriteFile(dir / "brimble.ini", "[config]\r\nk=one\r\n");
    EXPECT_EQ(store.ReadString("config", "k", ""), "one");
    EXPECT_EQ(store.ReadInt("nosection", "k", 4), 4);
    WriteFile(dir / "brimble.ini", "[config]\r\nk=two\r\n");
    EXPECT_EQ(store.ReadString("config", "k", ""), "two");
}

// ---- Writing ----

struct WriteCase {
    const char* what;
    std::string_view before;
    std::string_view key;
    std::string_view value;
    std::string_view after;
};

TEST(SettingsStoreWrite, ChangesOnlyTheKeysLine) {
    const WriteCase cases[] = {
        {"replace keeps the key's spelling and every other line",
         "; my settings\r\n[other]\r\nk=x\n[CONFIG]\r\n  FLAG190K = 0 \r\nlastdir=C:\\roms\n\r\n[more]\r\nz=1",
         "flag190k", "1",
         "; my settings\r\n[other]\r\nk=x\n[CONFIG]\r\nFLAG190K=1\r\nlastdir=C:\\roms\n\r\n[more]\r\nz=1"},
        {"replace a last line without line end", "[config]\r\na=1\r\nk=old", "k", "new",
         "[config]\r\na=1\r\nk=new\r\n"},
        {"replace an LF line gives CR LF to that line only", "[config]\na=1\nk=old\nb=2\n", "k", "new",
         "[config]\na=1\nk=new\r\nb=2\n"},
        {"add after the section's last key line", "[config]\r\na=1\r\nb=2\r\n; note\r\n\r\n[other]\r\nc=3\r\n", "k",
         "v", "[config]\r\na=1\r\nb=2\r\nk=v\r\n; note\r\n\r\n[other]\r\nc=3\r\n"},
        {"add to a section without keys", "[config]\r\n; empty\r\n[other]\r\nc=3\r\n", "k", "v",
         "[config]\r\nk=v\r\n; empty\r\n[other]\r\nc=3\r\n"},
        {"add after a last key line without line end", "[config]\r\na=1", "k", "v", "[config]\r\na=1\r\nk=v\r\n"},
        {"add the section at the end", "[other]\r\nc=3\r\n", "k", "v", "[other]\r\nc=3\r\n[config]\r\nk=v\r\n"},
        {"add the section after a line end", "[other]\r\nc=3", "k", "v", "[other]\r\nc=3\r\n[config]\r\nk=v\r\n"},
        {"keys before any section stay there", "k=top\r\n", "k", "v", "k=top\r\n[config]\r\nk=v\r\n"},
        {"key given twice: the first is replaced", "[config]\r\nk=1\r\nk=2\r\n", "k", "3",
         "[config]\r\nk=3\r\nk=2\r\n"},
        {"section given twice: the key is replaced where it stands",
         "[config]\r\na=1\r\n[other]\r\nb=2\r\n[config]\r\nk=old\r\n", "k", "new",
         "[config]\r\na=1\r\n[other]\r\nb=2\r\n[config]\r\nk=new\r\n"},
        {"section given twice: a new key goes after its last key line",
         "[config]\r\na=1\r\n[other]\r\nb=2\r\n[config]\r\nc=3\r\n[end]\r\n", "k", "v",
         "[config]\r\na=1\r\n[other]\r\nb=2\r\n[config]\r\nc=3\r\nk=v\r\n[end]\r\n"},
        {"byte order mark kept", "\xEF\xBB\xBF[config]\r\nk=1\r\n", "k", "2", "\xEF\xBB\xBF[config]\r\nk=2\r\n"},
        {"file of only a byte order mark", "\xEF\xBB\xBF", "k", "v", "\xEF\xBB\xBF[config]\r\nk=v\r\n"},
        {"empty file", "", "k", "v", "[config]\r\nk=v\r\n"},
        {"value stored as given", "[config]\r\n", "k", "C:\\a b\\\"q\".gba", "[config]\r\nk=C:\\a b\\\"q\".gba\r\n"},
        {"the same value leaves the line as it is", "[config]\r\n  k = v \r\n", "k", "v", "[config]\r\n  k = v \r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const IniFile ini(c.before);
        EXPECT_TRUE(ini.store.WriteString("config", c.key, c.value));
        EXPECT_EQ(ini.Text(), c.after);
        EXPECT_EQ(ini.store.ReadString("config", c.key, "fallback"), c.value);
        EXPECT_EQ(test::FileNames(ini.dir.Path()), Names{"brimble.ini"}) << "temporary file left behind";
    }
}

TEST(SettingsStoreWrite, CreatesTheFileWhenMissing) {
    TempDir dir;
    const SettingsStore store(dir / "brimble.ini");
    EXPECT_TRUE(store.WriteString("config", "quorrel", "C:\\x\\goodQuorrel.lst"));
    EXPECT_TRUE(store.WriteString("config", "flag190k", "1"));
    EXPECT_EQ(ReadText(dir / "brimble.ini"), "[config]\r\nquorrel=C:\\x\\goodQuorrel.lst\r\nflag190k=1\r\n");
}

TEST(SettingsStoreWrite, ValuesAndLinesOfAnyLengthStayWholeAndHideNoOtherKey) {
    const std::string big(1u << 20, 'q');
    for (const std::size_t length : {255u, 256u, 1u << 20}) {
        SCOPED_TRACE(length);
        TempDir dir;
        // A long line without '=' among the keys hides none of them.
        const std::string before = "[config]\r\nbefore=1\r\nnoequals" + big + "\r\nsplashfile=old\r\nafter=2\r\n";
        WriteFile(dir / "brimble.ini", before);
        const SettingsStore store(dir / "brimble.ini");
        std::string value(length, 'x');
        for (std::size_t i = 0; i < length; i += 7)
            value[i] = '\\';
        value.back() = 'z';
        EXPECT_TRUE(store.WriteString("config", "splashfile", value));
        EXPECT_TRUE(store.ReadString("config", "splashfile", "") == value);
        EXPECT_EQ(store.ReadString("config", "before", ""), "1");
        EXPECT_EQ(store.ReadString("config", "after", ""), "2");
        EXPECT_TRUE(ReadText(dir / "brimble.ini") ==
                    "[config]\r\nbefore=1\r\nnoequals" + big + "\r\nsplashfile=" + value + "\r\nafter=2\r\n");
    }
}

TEST(SettingsStoreWrite, RefusesWhatCannotBeOneLineAndLeavesTheFile) {
    using namespace std::string_view_literals;
    struct Refused {
        const char* what;
        std::string_view section;
        std::string_view key;
        std::string_view value;
    };
    const Refused cases[] = {
        {"LF in value", "config", "k", "a\nb=1"},
        {"CR in value", "config", "k", "a\rb"},
        {"NUL in value", "config", "k", "a\0b"sv},
        {"'=' in key", "config", "k=x", "v"},
        {"empty key", "config", "", "v"},
        {"key starting with '['", "config", "[k]", "v"},
        {"key with blanks around", "config", " k", "v"},
        {"']' in section", "con]fig", "k", "v"},
        {"LF in section", "con\nfig", "k", "v"},
    };
    const std::string original = "[config]\r\nk=keep\r\n";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const IniFile ini(original);
        EXPECT_FALSE(ini.store.WriteString(c.section, c.key, c.value));
        EXPECT_EQ(ini.Text(), original);
    }
}

// ---- Bad input ----

TEST(SettingsStoreBadInput, BinaryFileKeepsItsBytesAndItsKeys) {
    TempDir dir;
    const auto junkBefore = test::PatternBytes(4096, 7);
    const auto junkAfter = test::PatternBytes(4096, 8);
    std::string original(junkBefore.begin(), junkBefore.end());
    original += "\r\n[config]\r\nkeep=yes\r\n";
    const std::size_t insertAt = original.size();
    original += "[after]\r\n";
    original.append(junkAfter.begin(), junkAfter.end());
    WriteFile(dir / "brimble.ini", original);
    const SettingsStore store(dir / "brimble.ini");
    EXPECT_EQ(store.ReadString("config", "keep", ""), "yes");
    EXPECT_TRUE(store.WriteString("config", "added", "1"));
    EXPECT_EQ(store.ReadString("config", "added", ""), "1");
    std::string expected = original;
    expected.insert(insertAt, "added=1\r\n");
    EXPECT_TRUE(ReadText(dir / "brimble.ini") == expected);
}

TEST(SettingsStoreBadInput, MissingDirectoryOrAFolderInPlaceOfTheFileFailsAndChangesNothing) {
    TempDir dir;
    std::filesystem::create_directory(dir / "brimble.ini");
    for (const std::filesystem::path& file : {dir / "nowhere" / "brimble.ini", dir / "brimble.ini"}) {
        const SettingsStore store(file);
        EXPECT_EQ(store.ReadString("config", "k", "d"), "d");
        EXPECT_FALSE(store.WriteString("config", "k", "v")) << file;
    }
    EXPECT_EQ(test::FileNames(dir.Path()), Names{"brimble.ini"});
    EXPECT_TRUE(std::filesystem::is_empty(dir / "brimble.ini"));
}

TEST(SettingsStoreBadInput, ReadOnlyDirectoryKeepsTheFile) {
    TempDir dir;
    const auto folder = dir / "ro";
    std::filesystem::create_directory(folder);
    const std::string original = "[config]\r\nflag190k=1\r\nquorrel=db.lst\r\n";
    WriteFile(folder / "brimble.ini", original);
    std::filesystem::permissions(folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    if (std::ofstream(folder / "probe").is_open())
        GTEST_SKIP() << "permissions do not stop writes for this user";
    const SettingsStore store(folder / "brimble.ini");
    EXPECT_FALSE(store.WriteString("config", "flag190k", "0"));
    EXPECT_EQ(ReadText(folder / "brimble.ini"), original);
    EXPECT_EQ(test::FileNames(folder), Names{"brimble.ini"});
}

TEST(SettingsStoreBadInput, UnreadableFileIsNotReplaced) {
    TempDir dir;
    const std::string original = "[config]\r\nquorrel=db.lst\r\n";
    WriteFile(dir / "brimble.ini", original);
    std::filesystem::permissions(dir / "brimble.ini", std::filesystem::perms::none);
    if (std::ifstream(dir / "brimble.ini").is_open())
        GTEST_SKIP() << "permissions do not stop reads for this user";
    const SettingsStore store(dir / "brimble.ini");
    EXPECT_EQ(store.ReadString("config", "quorrel", "d"), "d");
    EXPECT_FALSE(store.WriteString("config", "flag190k", "1"));
    std::filesystem::permissions(dir / "brimble.ini", std::filesystem::perms::owner_read);
    EXPECT_EQ(ReadText(dir / "brimble.ini"), original);
}

} // namespace
} // namespace brimble
