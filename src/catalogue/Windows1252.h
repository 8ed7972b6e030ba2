#pragma once

#include <string>
#include <string_view>

namespace brimble {

// Titles, names and details are Windows-1252 bytes; these convert at the edges.

// UTF-8 to Windows-1252. A character without a Windows-1252 form, and every byte of an
// invalid UTF-8 sequence, becomes '?'.
std::string Utf8ToWindows1252(std::string_view utf8);

// Windows-1252 to UTF-8. The five bytes that the code page leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) map to the C1 controls of the same value, as Windows maps them.
std::string Windows1252ToUtf8(std::string_view text);

// Code page 437 (the original PC character set, used for names in zip archives) to UTF-8.
std::string CodePage437ToUtf8(std::string_view text);

// True when the bytes are well-formed UTF-8 (no overlongs, no surrogates).
bool IsValidUtf8(std::string_view bytes);

} // namespace brimble
