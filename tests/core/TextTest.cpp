// The text handling under the list files: whole lines, numbers read as the C library reads
// them, and the Windows-1252 code page.
#include "catalogue/LineReader.h"
#include "catalogue/TextScan.h"
#include "catalogue/Windows1252.h"
#include "support/TestFiles.h"

#include <climits>
#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <vector>

namespace brimble {
namespace {

using namespace std::string_view_literals;

TEST(LineReader, SplitsAtLfDropsTheCrBeforeItAndReadsLinesWhole) {
    const std::string longLine(1 << 20, 'x');
    const struct {
        std::string text;
        std::vector<std::string> lines;
        std::vector<bool> ended;
    } cases[] = {
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

struct ScanCase {
    std::string_view text;
    bool read;
    std::uint32_t value;
    std::size_t end;
};

void ExpectScan(const std::optional<ScannedNumber>& scanned, const ScanCase& expected) {
    ASSERT_EQ(scanned.has_value(), expected.read) << "text: " << expected.text;
    if (scanned) {
        EXPECT_EQ(scanned->value, expected.value) << "text: " << expected.text;
        EXPECT_EQ(scanned->end, expected.end) << "text: " << expected.text;
    }
}

// Hex: either case and a 0x prefix; "0x" without a digit after it is the number 0 followed
// by an 'x'; over 32 bits gives nothing rather than a wrapped or saturated value.
TEST(TextScan, HexReadsLikePercentX) {
    const ScanCase cases[] = {{"0123abcd", true, 0x0123ABCDu, 8},
                              {"fFfFfFfF", true, 0xFFFFFFFFu, 8},
                              {"  \t1a\xAC", true, 0x1Au, 5},
                              {"0X1f!", true, 0x1Fu, 4},
                              {"0x", true, 0, 1},
                              {"00000000000000000012", true, 0x12u, 20},
                              {"", false, 0, 0},
                              {"g12", false, 0, 0},
                              {"-1", false, 0, 0},
                              {"100000000", false, 0, 0},
                              {"0x123456789", false, 0, 0}};
    for (const auto& expected : cases)
        ExpectScan(ScanHex(expected.text), expected);
}

// Integer: decimal, 0x hex or 0 octal with a sign; octal stops at the first digit that is not
// one; a value that needs more than 32 bits gives nothing.
TEST(TextScan, IntegerReadsLikePercentI) {
    const ScanCase cases[] = {{"+33|", true, 33u, 3},
                              {"-1", true, 0xFFFFFFFFu, 2},
                              {"-0x21", true, static_cast<std::uint32_t>(-0x21), 5},
                              {"-010", true, static_cast<std::uint32_t>(-8), 4},
                              {"08", true, 0u, 1},
                              {"0x|", true, 0u, 1},
                              {" \t 7z", true, 7u, 4},
                              {"2147483648", true, 0x80000000u, 10},
                              {"4294967295", true, 0xFFFFFFFFu, 10},
                              {"-2147483648", true, 0x80000000u, 11},
                              {"0xFFFFFFFF", true, 0xFFFFFFFFu, 10},
                              {"037777777777", true, 0xFFFFFFFFu, 12},
                              {"4294967296", false, 0, 0},
                              {"-2147483649", false, 0, 0},
                              {"0x100000000", false, 0, 0},
                              {"", false, 0, 0},
                              {"-", false, 0, 0},
                              {"+ 1", false, 0, 0}};
    for (const auto& expected : cases)
        ExpectScan(ScanInteger(expected.text), expected);
}

TEST(TextScan, LeadingDecimalSaturatesAndDefaultsToZero) {
    const std::pair<std::string_view, int> cases[] = {{"  42 rest", 42},
                                                      {"-17", -17},
                                                      {"007", 7},
                                                      {"0x10", 0},
                                                      {"", 0},
                                                      {"- 3", 0},
                                                      {"2147483647", INT_MAX},
                                                      {"2147483648", INT_MAX},
                                                      {"-2147483648", INT_MIN},
                                                      {"12\0"
                                                       "34"sv,
                                                       12}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(LeadingDecimal(text), value) << "text: " << text;
}

// Every mapped character both ways; what has no Windows-1252 form, and malformed UTF-8, become
// one question mark per character or stray byte.
TEST(Windows1252, EncodesAndDecodesEveryMappedCharacter) {
    const struct {
        const char* utf8;
        const char* windows1252;
        bool both; // decoding the Windows-1252 text gives the UTF-8 text back
    } cases[] = {
        {"plain ASCII", "plain ASCII", true},
        {"\xC3\xA9\xC3\xBC\xC3\xB1", "\xE9\xFC\xF1", true}, // é ü ñ
        {"\xE2\x82\xAC", "\x80", true},                     // euro sign
        {"\xC5\xB8", "\x9F", true},                         // Ÿ
        {"\xC2\xAC", "\xAC", true},                         // NOT SIGN, the list separator
        {"\xC5\x82", "?", false},                           // ł
        {"a\xF0\x9F\x98\x80z", "a?z", false},               // outside the BMP
        {"\xE9t\xE9", "?t?", false},                        // Latin-1 bytes, not UTF-8
        {"\xC3", "?", false},                               // truncated sequence at the end
        {"\xC0\xAF", "??", false},                          // overlong form of '/'
        {"\xED\xA0\x80", "???", false},                     // surrogate
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToWindows1252(c.utf8), c.windows1252) << c.utf8;
        if (c.both) {
            EXPECT_EQ(Windows1252ToUtf8(c.windows1252), c.utf8) << c.utf8;
        }
    }
    EXPECT_FALSE(IsValidUtf8("\xE9t\xE9"));
    std::string all;
    for (int byte = 1; byte < 256; ++byte)
        all += static_cast<char>(byte);
    const std::string utf8 = Windows1252ToUtf8(all);
    EXPECT_TRUE(IsValidUtf8(utf8));
    EXPECT_EQ(Utf8ToWindows1252(utf8), all);
}

} // namespace
} // namespace brimble
