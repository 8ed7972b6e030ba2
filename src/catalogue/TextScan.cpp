#include "TextScan.h"

#include <climits>

namespace brimble {
namespace {

constexpr std::uint64_t kMax32 = 0xFFFFFFFFu;

// The blanks that the C conversions skip in the "C" locale.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::size_t SkipBlanks(std::string_view text, std::size_t at) {
    while (at < text.size() && IsBlank(text[at]))
        ++at;
    return at;
}

// The value of c as a digit of base, or -1.
int DigitValue(char c, int base) {
    int value = -1;
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    return value < base ? value : -1;
}

bool HasHexPrefix(std::string_view text, std::size_t at) {
    return at + 2 < text.size() && text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X') &&
           DigitValue(text[at + 2], 16) >= 0;
}

struct Digits {
    std::uint64_t magnitude = 0; // capped just above kMax32 once the value no longer fits
    std::size_t end = 0;
    bool any = false;
};

// Reads digits of base from at on. All digits are used even after the value has grown too
// large, so that the end is where the C conversion would stop.
Digits ReadDigits(std::string_view text, std::size_t at, int base) {
    Digits digits;
    for (; at < text.size(); ++at) {
        const int value = DigitValue(text[at], base);
        if (value < 0)
            break;
        digits.any = true;
        if (digits.magnitude <= kMax32)
            digits.magnitude = digits.magnitude * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(value);
    }
    digits.end = at;
    return digits;
}

} // namespace

std::optional<ScannedNumber> ScanHex(std::string_view text) {
    std::size_t at = SkipBlanks(text, 0);
    // "0x" counts as a prefix only before a digit; otherwise the '0' is the number.
    if (HasHexPrefix(text, at))
        at += 2;
    const Digits digits = ReadDigits(text, at, 16);
    if (!digits.any || digits.magnitude > kMax32)
        return std::nullopt;
    return ScannedNumber{static_cast<std::uint32_t>(digits.magnitude), digits.end};
}

std::optional<ScannedNumber> ScanInteger(std::string_view text) {
    std::size_t at = SkipBlanks(text, 0);
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    int base = 10;
    if (HasHexPrefix(text, at)) {
        base = 16;
        at += 2;
    } else if (at < text.size() && text[at] == '0') {
        base = 8;
    }
    const Digits digits = ReadDigits(text, at, base);
    if (!digits.any)
        return std::nullopt;
    if (negative) {
        if (digits.magnitude > 0x80000000u)
            return std::nullopt;
        return ScannedNumber{static_cast<std::uint32_t>((kMax32 + 1 - digits.magnitude) & kMax32), digits.end};
    }
    if (digits.magnitude > kMax32)
        return std::nullopt;
    return ScannedNumber{static_cast<std::uint32_t>(digits.magnitude), digits.end};
}

int LeadingDecimal(std::string_view text) {
    std::size_t at = SkipBlanks(text, 0);
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    const Digits digits = ReadDigits(text, at, 10);
    if (!digits.any)
        return 0;
    const std::int64_t value =
        negative ? -static_cast<std::int64_t>(digits.magnitude) : static_cast<std::int64_t>(digits.magnitude);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

} // namespace brimble
