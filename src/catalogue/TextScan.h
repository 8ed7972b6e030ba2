#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace brimble {

// Number readers with the rules of the C conversions that the list formats were defined by.
// Each returns the value and the position after the last character it used, or nothing when
// no number could be read or the value does not fit in 32 bits.
struct ScannedNumber {
    std::uint32_t value = 0; // the 32 bits; cast to std::int32_t for signed readings
    std::size_t end = 0;
};

// "%x": leading blanks skipped, an optional 0x or 0X, hexadecimal digits of either case.
std::optional<ScannedNumber> ScanHex(std::string_view text);

// "%i": leading blanks skipped, an optional sign, then decimal, octal after a leading 0,
// or hexadecimal after 0x. Values from -2^31 to 2^32 - 1 are taken as their 32 bits.
std::optional<ScannedNumber> ScanInteger(std::string_view text);

// The leading decimal number (optional sign, then digits) after leading blanks, or 0 when
// the text does not begin with one. Out-of-range values saturate to the int range.
int LeadingDecimal(std::string_view text);

} // namespace brimble
