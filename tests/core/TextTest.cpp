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

// Each line read, with "\n" added when its end was there. A lone CR stays; empty lines are
// lines; the last may lack its end; a missing file or a folder reads nothing.
TEST(LineReader, SplitsAtLfDropsTheCrBeforeItAndReadsLinesWhole) {
    const std::string longLine(1 << 20, 'x');
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"a\rb\n\n\r\nlast", {"a\rb\n", "\n", "\n", "last"}},
        {longLine + "\r\nnext\r\n", {longLine + "\n", "next\n"}},
        {"", {}},
    };
    test::TempDir dir;
    for (const auto& [text, expected] : cases) {
        test::WriteFile(dir / "lines.txt", text);
        LineReader reader(dir / "lines.txt");
        std::vector<std::string> lines;
        for (std::string line; reader.Next(line);)
            lines.push_back(line + (reader.LineWasEnded() ? "\n" : ""));
        EXPECT_TRUE(lines == expected) << text.substr(0, 20);
    }
    for (std::string line; const auto& missing : {dir / "absent.txt", dir.Path()})
        EXPECT_FALSE(LineReader(missing).IsOpen() || LineReader(missing).Next(line)) << missing;
}

using Scan = std::optional<std::pair<std::uint32_t, std::size_t>>; // the value and where it stopped

Scan Of(const std::optional<ScannedNumber>& scanned) {
    return scanned ? Scan({scanned->value, scanned->end}) : std::nullopt;
}

// Each text read three ways. Hex: either case, a 0x prefix, no sign; "0x" with no digit after it
// is 0 then an 'x'; past 32 bits gives nothing rather than a wrapped or saturated value. Integer:
// decimal, 0x hex or 0 octal with a sign; octal stops at a digit that is not one; past 32 bits
// gives nothing. LeadingDecimal: decimal only, saturated, and 0 when there is no number.
TEST(TextScan, HexReadsLikePercentXIntegerLikePercentIAndLeadingDecimalLikeAtoi) {
    const struct {
        std::string_view text;
        Scan hex, integer;
        int decimal;
    } cases[] = {
        {"0123abcd", {{0x0123ABCDu, 8}}, {{0123u, 4}}, 123},
        {"fFfFfFfF", {{0xFFFFFFFFu, 8}}, {}, 0},
        {"  \t1a\xAC", {{0x1Au, 5}}, {{1u, 4}}, 1},
        {"0X1f!", {{0x1Fu, 4}}, {{0x1Fu, 4}}, 0},
        {"0x|", {{0u, 1}}, {{0u, 1}}, 0},
        {"00000000000000000012", {{0x12u, 20}}, {{012u, 20}}, 12},
        {"g12", {}, {}, 0},
        {"+33|", {}, {{33u, 3}}, 33},
        {"-1", {}, {{0xFFFFFFFFu, 2}}, -1},
        {"-0x21", {}, {{static_cast<std::uint32_t>(-0x21), 5}}, 0},
        {"-010", {}, {{static_cast<std::uint32_t>(-8), 4}}, -10},
        {"08", {{8u, 2}}, {{0u, 1}}, 8},
        {"12\00034"sv, {{0x12u, 2}}, {{12u, 2}}, 12},
        {"100000000", {}, {{100000000u, 9}}, 100000000},
        {"2147483647", {}, {{0x7FFFFFFFu, 10}}, INT_MAX},
        {"4294967295", {}, {{0xFFFFFFFFu, 10}}, INT_MAX},
        {"-2147483648", {}, {{0x80000000u, 11}}, INT_MIN},
        {"0xFFFFFFFF", {{0xFFFFFFFFu, 10}}, {{0xFFFFFFFFu, 10}}, 0},
        {"037777777777", {}, {{0xFFFFFFFFu, 12}}, INT_MAX},
        {"4294967296", {}, {}, INT_MAX},
        {"-2147483649", {}, {}, INT_MIN},
        {"0x100000000", {}, {}, 0},
        {"", {}, {}, 0},
        {"-", {}, {}, 0},
        {"+ 1", {}, {}, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Of(ScanHex(c.text)), c.hex) << c.text;
        EXPECT_EQ(Of(ScanInteger(c.text)), c.integer) << c.text;
        EXPECT_EQ(LeadingDecimal(c.text), c.decimal) << c.text;
    }
}

// Every mapped character both ways; what has no Windows-1252 form, and malformed UTF-8, become
// one question mark per character or stray byte (and do not decode back).
TEST(Windows1252, EncodesAndDecodesEveryMappedCharacter) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"plain ASCII", "plain ASCII"},
        {"\xC3\xA9\xC3\xBC\xC3\xB1\xE2\x82\xAC\xC5\xB8\xC2\xAC", "\xE9\xFC\xF1\x80\x9F\xAC"}, // é ü ñ € Ÿ ¬
        {"\xC5\x82 a\xF0\x9F\x98\x80z", "? a?z"}, // ł, and one outside the BMP
        // Latin-1 bytes, an overlong '/', a surrogate, and a sequence cut short at the end.
        {"\xE9t\xE9 \xC0\xAF \xED\xA0\x80 \xC3", "?t? ?? ??? ?"},
    };
    for (const auto& [utf8, windows1252] : cases) {
        EXPECT_EQ(Utf8ToWindows1252(utf8), windows1252) << utf8;
        if (windows1252.find('?') == std::string_view::npos) {
            EXPECT_EQ(Windows1252ToUtf8(windows1252), utf8) << utf8;
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
