#include "catalogue/LineReader.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace brimble {
namespace {

TEST(LineReader, SplitsAtLfDropsTheCrBeforeItAndReadsLinesWhole) {
    const std::string longLine(1 << 20, 'x');
    const struct {
        std::string text;
        std::vector<std::string> lines;
        std::vector<bool> ended;
    } cases[] = {
        {"one\r\ntwo\r\n", {"one", "two"}, {true, true}},
        {"one\ntwo\n", {"one", "two"}, {true, true}},
        // A lone CR stays; empty lines are lines; the last may lack its end.
        {"a\rb\n\n\r\nlast", {"a\rb", "", "", "last"}, {true, true, true, false}},
        {longLine + "\r\nnext\r\n", {longLine, "next"}, {true, true}},
        {"", {}, {}},
    };
    test::TempDir dir;
    for (const auto& c : cases) {
        test::WriteFile(dir / "lines.txt", c.text);
        LineReader reader(dir / "lines.txt");
        EXPECT_TRUE(reader.IsOpen());
        std::vector<std::string> lines;
        std::vector<bool> ended;
        for (std::string line; reader.Next(line);) {
            lines.push_back(line);
            ended.push_back(reader.LineWasEnded());
        }
        EXPECT_TRUE(lines == c.lines) << c.text.substr(0, 20);
        EXPECT_EQ(ended, c.ended) << c.text.substr(0, 20);
    }
}

TEST(LineReader, MissingFileOrFolderReadsNothing) {
    test::TempDir dir;
    EXPECT_FALSE(LineReader(dir / "absent.txt").IsOpen());
    LineReader folder(dir.Path());
    EXPECT_FALSE(folder.IsOpen());
    std::string line;
    EXPECT_FALSE(folder.Next(line));
}

TEST(LineReader, UpToNulCutsAtTheFirstNul) {
    EXPECT_EQ(UpToNul(std::string_view("ab\0cd", 5)), "ab");
    EXPECT_EQ(UpToNul("abcd"), "abcd");
}

} // namespace
} // namespace brimble
