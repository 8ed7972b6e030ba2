#include "catalogue/Windows1252.h"

#include <gtest/gtest.h>

namespace brimble {
namespace {

struct CodecCase {
    const char* utf8;
    const char* windows1252;
};

TEST(Windows1252, EncodesAndDecodesEveryMappedCharacter) {
    const CodecCase cases[] = {
        {"plain ASCII", "plain ASCII"}, {"\xC3\xA9\xC3\xBC\xC3\xB1", "\xE9\xFC\xF1"}, // é ü ñ
        {"\xE2\x82\xAC", "\x80"},                                                     // euro sign
        {"\xC5\xB8", "\x9F"},                                                         // Ÿ
        {"\xE2\x84\xA2", "\x99"},                                                     // trade mark
        {"\xC2\xAC", "\xAC"},                                                         // NOT SIGN, the list separator
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToWindows1252(c.utf8), c.windows1252) << c.utf8;
        EXPECT_EQ(Windows1252ToUtf8(c.windows1252), c.utf8) << c.utf8;
    }
}

TEST(Windows1252, CharactersWithoutAFormBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToWindows1252("\xC5\x82"), "?");                  // ł
    EXPECT_EQ(Utf8ToWindows1252("\xE6\x97\xA5\xE6\x9C\xAC"), "??"); // two CJK characters
    EXPECT_EQ(Utf8ToWindows1252("a\xF0\x9F\x98\x80z"), "a?z");      // outside the BMP
}

TEST(Windows1252, MalformedUtf8BytesBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToWindows1252("\xE9t\xE9"), "?t?");    // Latin-1 bytes, not UTF-8
    EXPECT_EQ(Utf8ToWindows1252("\xC3"), "?");           // truncated sequence at the end
    EXPECT_EQ(Utf8ToWindows1252("\xC0\xAF"), "??");      // overlong form of '/'
    EXPECT_EQ(Utf8ToWindows1252("\xED\xA0\x80"), "???"); // surrogate
    EXPECT_FALSE(IsValidUtf8("\xE9t\xE9"));
    EXPECT_TRUE(IsValidUtf8("\xC3\xA9t\xC3\xA9"));
}

TEST(Windows1252, EveryByteSurvivesARoundTrip) {
    std::string all;
    for (int byte = 1; byte < 256; ++byte)
        all += static_cast<char>(byte);
    const std::string utf8 = Windows1252ToUtf8(all);
    EXPECT_TRUE(IsValidUtf8(utf8));
    EXPECT_EQ(Utf8ToWindows1252(utf8), all);
}

} // namespace
} // namespace brimble
