#include "settings/SavedList.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <vector>

namespace brimble {
namespace {

using test::TempDir;
using test::WriteFile;

// The separator that the build writes between directory and file name on this system.
constexpr char kPathSep = static_cast<char>(std::filesystem::path::preferred_separator);

std::string Line(std::string_view directory, std::string_view fileName) {
    return std::string(directory) + kPathSep + std::string(fileName);
}

struct Pair {
    std::string directory;
    std::string fileName;
    bool operator==(const Pair&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Pair& pair) {
    return out << "(" << pair.directory << " | " << pair.fileName << ")";
}

std::vector<Pair> Restore(const std::string& fileText) {
    TempDir dir;
    WriteFile(dir / "saved.txt", fileText);
    std::vector<Pair> pairs;
    for (const auto& rom : RestoreSavedList(dir / "saved.txt")) {
        const std::u8string directory = rom.directory.u8string();
        const std::u8string fileName = rom.fileName.u8string();
        pairs.push_back(
            {std::string(directory.begin(), directory.end()), std::string(fileName.begin(), fileName.end())});
    }
    return pairs;
}

TEST(SavedList, SplitsEachLineAtItsLastSeparator) {
    using namespace std::string_literals;
    const std::string a = Line("roms", "a.nes");
    const std::string b = Line("roms", "b.nes");
    struct Case {
        const char* what;
        std::string file;
        std::vector<Pair> expected;
    };
    const std::string deepDir = Line(Line(Line("top", "mid"), "low"), "leaf");
    const std::string longDir(70000, 'd');
    const std::string longName = std::string(20000, 'f') + ".nes";
    const Case cases[] = {
        {"CR LF lines in file order", a + "\r\n" + b + "\r\n", {{"roms", "a.nes"}, {"roms", "b.nes"}}},
        {"middle line without a separator",
         a + "\r\nno separator.nes\r\n" + b + "\r\n",
         {{"roms", "a.nes"}, {"roms", "b.nes"}}},
        {"last line without line end is taken whole",
         a + "\r\n" + Line("roms", "last game (U).nes"),
         {{"roms", "a.nes"}, {"roms", "last game (U).nes"}}},
        {"several directories deep", Line(deepDir, "g.nes") + "\r\n", {{deepDir, "g.nes"}}},
        {"empty lines skipped", "\r\n\n" + a + "\r\n\r\n\n" + b, {{"roms", "a.nes"}, {"roms", "b.nes"}}},
        {"line cut at its first NUL", Line("roms", "a.nes") + "\0junk"s + kPathSep + "x\r\n", {{"roms", "a.nes"}}},
        {"NUL before the separator: no separator", "roms\0"s + kPathSep + "a.nes\r\n" + b, {{"roms", "b.nes"}}},
        {"separator at the end: empty file name", Line("roms", "") + "\r\n", {{"roms", ""}}},
        {"separator at the start: empty directory", Line("", "a.nes") + "\r\n", {{"", "a.nes"}}},
        {"Windows-1252 text", Line("caf\xE9", "\xC9t\xE9.nes") + "\r\n", {{"caf\xC3\xA9", "\xC3\x89t\xC3\xA9.nes"}}},
        {"one code page for the whole line",
         Line("caf\xC3\xA9", "\xE9.nes") + "\r\n",
         {{"caf\xC3\x83\xC2\xA9", "\xC3\xA9.nes"}}},
        {"UTF-8 text", Line("caf\xC3\xA9", "a.nes") + "\r\n", {{"caf\xC3\xA9", "a.nes"}}},
        {"lines of any length read whole",
         Line(longDir, longName) + "\r\n" + a + "\r\n" + std::string(40000, 'x'),
         {{longDir, longName}, {"roms", "a.nes"}}},
        {"empty file", "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Restore(c.file), c.expected);
    }
}

TEST(SavedList, SkippedLinesAndEachRomsLineAreNumbered) {
    using namespace std::string_literals;
    TempDir dir;
    WriteFile(dir / "saved.txt", Line("roms", "a.nes") + "\r\nno separator\r\n\r\n\0"s + kPathSep + "x\n" +
                                     Line("roms", "b.nes") + "\n\x1B[2J\n");
    const SavedListContents contents = ReadSavedList(dir / "saved.txt");
    ASSERT_EQ(contents.roms.size(), 2u);
    EXPECT_EQ(contents.roms[0].line, 1u);
    EXPECT_EQ(contents.roms[1].line, 5u);
    EXPECT_EQ(contents.skippedLines, (std::vector<std::size_t>{2, 6}));
    EXPECT_EQ(contents.problem, "");
}

TEST(SavedList, MissingOrUnreadableFileRestoresNothingAndSaysWhy) {
    TempDir dir;
    EXPECT_TRUE(RestoreSavedList(dir / "saved.txt").empty());
    EXPECT_EQ(ReadSavedList(dir / "saved.txt").problem, "cannot be opened (No such file or directory)");
    std::filesystem::create_directory(dir / "folder.txt");
    EXPECT_TRUE(RestoreSavedList(dir / "folder.txt").empty());
    EXPECT_EQ(ReadSavedList(dir / "folder.txt").problem, "is a folder");
}

} // namespace
} // namespace brimble
