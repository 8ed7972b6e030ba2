#include "catalogue/TextScan.h"

#include <climits>
#include <gtest/gtest.h>
#include <string_view>

namespace brimble {
namespace {

using namespace std::string_view_literals;

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

TEST(TextScan, HexReadsLikePercentX) {
    const ScanCase cases[] = {
        {"0123ABCD", true, 0x0123ABCDu, 8},
        {"0123abcd", true, 0x0123ABCDu, 8},
        {"fFfFfFfF", true, 0xFFFFFFFFu, 8},
        {"  \t1a\xAC", true, 0x1Au, 5},
        {"0x1F", true, 0x1Fu, 4},
        {"0X1f!", true, 0x1Fu, 4},
        // "0x" without a digit after it is the number 0 followed by an 'x'.
        {"0x", true, 0, 1},
        {"0xg", true, 0, 1},
        {"00000000000000000012", true, 0x12u, 20},
        {"12 34", true, 0x12u, 2},
        {"", false, 0, 0},
        {"   ", false, 0, 0},
        {"g12", false, 0, 0},
        {"x12", false, 0, 0},
        {"\xAC"
         "12",
         false, 0, 0},
        {"-1", false, 0, 0},
        // Over 32 bits gives nothing rather than a wrapped or saturated value.
        {"100000000", false, 0, 0},
        {"0x123456789", false, 0, 0},
        {"FFFFFFFFFFFFFFFFFFFFFFFF", false, 0, 0},
    };
    for (const auto& expected : cases)
        ExpectScan(ScanHex(expected.text), expected);
}

TEST(TextScan, IntegerReadsLikePercentI) {
    const ScanCase cases[] = {
        {"33", true, 33u, 2},
        {"+33|", true, 33u, 3},
        {"-1", true, 0xFFFFFFFFu, 2},
        {"0x21", true, 0x21u, 4},
        {"-0x21", true, static_cast<std::uint32_t>(-0x21), 5},
        {"010", true, 8u, 3},
        {"-010", true, static_cast<std::uint32_t>(-8), 4},
        // Octal stops at the first digit that is not one; "0x" without a hex digit is 0.
        {"08", true, 0u, 1},
        {"0x|", true, 0u, 1},
        {"0", true, 0u, 1},
        {"-0", true, 0u, 2},
        {" \t 7z", true, 7u, 4},
        {"2147483647", true, 0x7FFFFFFFu, 10},
        {"2147483648", true, 0x80000000u, 10},
        {"4294967295", true, 0xFFFFFFFFu, 10},
        {"-2147483648", true, 0x80000000u, 11},
        {"0xFFFFFFFF", true, 0xFFFFFFFFu, 10},
        {"037777777777", true, 0xFFFFFFFFu, 12},
        {"4294967296", false, 0, 0},
        {"-2147483649", false, 0, 0},
        {"0x100000000", false, 0, 0},
        {"99999999999999999999999", false, 0, 0},
        {"", false, 0, 0},
        {"-", false, 0, 0},
        {"+ 1", false, 0, 0},
        {"|5", false, 0, 0},
        {"a", false, 0, 0},
    };
    for (const auto& expected : cases)
        ExpectScan(ScanInteger(expected.text), expected);
}

TEST(TextScan, LeadingDecimalSaturatesAndDefaultsToZero) {
    const struct {
        std::string_view text;
        int value;
    } cases[] = {
        {"1", 1},
        {"  42 rest", 42},
        {"-17", -17},
        {"+5", 5},
        {"007", 7},
        {"0x10", 0},
        {"", 0},
        {"abc", 0},
        {"- 3", 0},
        {"2147483647", INT_MAX},
        {"2147483648", INT_MAX},
        {"99999999999999999999", INT_MAX},
        {"-2147483648", INT_MIN},
        {"-99999999999999999999", INT_MIN},
        {"12\0"
         "34"sv,
         12},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(LeadingDecimal(text), value) << "text: " << text;
}

} // namespace
} // namespace brimble
