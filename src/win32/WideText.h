#pragma once

#include <string>
#include <string_view>

// The window's texts cross the presenter as UTF-8 and the Windows API as UTF-16; these convert
// exactly between the two (never through a code page's best fit).

namespace brimble::win32 {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

} // namespace brimble::win32
