#include "catalogue/LineReader.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace brimble {
namespace {

struct ReadResult {
    std::vector<std::string> lines;
    std::vector<bool> ended;
};

ReadResult ReadAll(const std::filesystem::path& path) {
    ReadResult result;
    LineReader reader(path);
    std::string line;
    while (reader.Next(line)) {
        result.lines.push_back(line);
        result.ended.push_back(reader.LineWasEnded());
    }
    return result;
}

TEST(LineReader, AcceptsCrLfAndLfAlike) {
    test::TempDir dir;
    test::WriteFile(dir / "crlf.txt", std::string_view("one\r\ntwo\r\n"));
    test::WriteFile(dir / "lf.txt", std::string_view("one\ntwo\n"));
    EXPECT_EQ(ReadAll(dir / "crlf.txt").lines, (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(ReadAll(dir / "lf.txt").lines, (std::vector<std::string>{"one", "two"}));
}

TEST(LineReader, KeepsALoneCrAndEmptyLines) {
    test::TempDir dir;
    test::WriteFile(dir / "mixed.txt", std::string_view("a\rb\n\n\r\nlast"));
    const auto result = ReadAll(dir / "mixed.txt");
    EXPECT_EQ(result.lines, (std::vector<std::string>{"a\rb", "", "", "last"}));
    EXPECT_EQ(result.ended, (std::vector<bool>{true, true, true, false}));
}

TEST(LineReader, ReadsAMegabyteLineWhole) {
    test::TempDir dir;
    const std::string longLine(1 << 20, 'x');
    test::WriteFile(dir / "long.txt", longLine + "\r\nnext\r\n");
    const auto result = ReadAll(dir / "long.txt");
    ASSERT_EQ(result.lines.size(), 2u);
    EXPECT_EQ(result.lines[0], longLine);
    EXPECT_EQ(result.lines[1], "next");
}

TEST(LineReader, MissingFileOrFolderReadsNothing) {
    test::TempDir dir;
    EXPECT_FALSE(LineReader(dir / "absent.txt").IsOpen());
    EXPECT_FALSE(LineReader(dir.Path()).IsOpen());
    EXPECT_TRUE(ReadAll(dir.Path()).lines.empty());
}

TEST(LineReader, UpToNulCutsAtTheFirstNul) {
    EXPECT_EQ(UpToNul(std::string_view("ab\0cd", 5)), "ab");
    EXPECT_EQ(UpToNul("abcd"), "abcd");
}

} // namespace
} // namespace brimble
